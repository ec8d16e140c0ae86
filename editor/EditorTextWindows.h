#pragma once
// The editor's text windows: the diagnostic output (toolkit/gt/TraceTextOut.h) and its window,
// the timed notice window and the clipboard as a text sink (toolkit/ul/Clipboard.h).
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/Clipboard.h"
#include "toolkit/ul/TextOutWindow.h"
#include "toolkit/ul/TimerTextOut.h"

// The timed notice window ("MIDI connect error.", "MIDI reconnected."), made on first use; its
// window goes at the platform's shutdown or when ReleaseTimerTextOutWindow is called.
UL::CTimerTextOutWindow& GetTimerTextOutWindow();
void ReleaseTimerTextOutWindow();

// The diagnostic window: made hidden at start-up, where it was left at the last exit ("TextOutWindow",
// "Position" in the profile), and from then on every diagnostic line goes to it as well. The user
// shows and hides it (View > Diagnostics); it cannot be closed otherwise. Null when it cannot be
// made: the lines then still reach the diagnostic output.
UL::CTextOutWindow* CreateTraceTextOutWindow();
void ShowTraceTextOutWindow(bool show);
bool IsTraceTextOutWindowShown();
// Destroys the window, which stores its placement.
void ReleaseTraceTextOutWindow();
