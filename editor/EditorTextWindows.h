#pragma once
// The editor's text windows: the diagnostic output (toolkit/gt/TraceTextOut.h, whose window the
// editor never shows), the timed notice window and the clipboard as a text sink
// (toolkit/ul/Clipboard.h).
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/Clipboard.h"
#include "toolkit/ul/TimerTextOut.h"

// The timed notice window ("MIDI connect error.", "MIDI reconnected."), made on first use; its
// window goes at the platform's shutdown or when ReleaseTimerTextOutWindow is called.
UL::CTimerTextOutWindow& GetTimerTextOutWindow();
void ReleaseTimerTextOutWindow();
