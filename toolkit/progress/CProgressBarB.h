#pragma once
// The progress window of the transfers with the instrument (the librarian's too): a modeless
// dialog over the main window that lets only messages below WM_USER through while it pumps, so
// MIDI deliveries wait for the transfer's own wait.
#include "toolkit/ul/ProgressBar.h"

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

