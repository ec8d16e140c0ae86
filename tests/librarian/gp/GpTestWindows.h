#pragma once
// A top-level window that records what its child controls tell it (WM_COMMAND codes and WM_NOTIFY
// records) and answers the spin edit's step notification as the test asks.
#include "platform/CommonControls.h"

#include <string>
#include <vector>

class CRecordingParent : public CWnd
{
public:
    struct CNotice
    {
        UINT message;   // WM_COMMAND or WM_NOTIFY
        UINT code;      // notification code
        UINT id;        // control id
        WPARAM wParam;
        double value = 0;    // step notifications: current value and change
        double change = 0;
    };

    BOOL Create(int width = 400, int height = 300);
    // The codes of the recorded notices in order, as text ("301 step 302").
    std::string Codes() const;

    std::vector<CNotice> notices;
    // Non-zero answers refuse step notifications.
    LRESULT stepAnswer = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

#include "tests/librarian/gp/GpTestSupport.h"

// Actions posted to the message queue run inside whatever loop the code under test runs, in order.
using GpTest::CPostedActions;
