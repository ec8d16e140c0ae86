#pragma once
// The progress window of the transfers with the instrument, shared by both programs: a modeless
// dialog over the main window that lets only messages below WM_USER through while it pumps, so
// MIDI deliveries wait for the transfer's own wait.
#include "toolkit/ul/ProgressBar.h"

// The window's dialog template and its items.
constexpr UINT IDD_PROGRESS = 26624;
constexpr UINT IDC_PROGRESS_BAR = 55339;
constexpr UINT IDC_PROGRESS_MESSAGE = 55340;

class CProgressBarB : public UL::CProgressBarA
{
public:
    // The GT::IProgress side of the process-wide window, made on first use. Its window goes at
    // the platform's shutdown; the object stays usable for the next transfer until then.
    static GT::IProgress& GetInstance();
    static CProgressBarB& GetWindow();

    CProgressBarB();
    // Registers the window's dialog template; harmless when repeated.
    static void RegisterTemplate();
};

