#include "toolkit/progress/CProgressBarB.h"

#include "platform/Dialog.h"
#include "platform/Messages.h"
#include "platform/UserLanguage.h"

CProgressBarB::CProgressBarB() : UL::CProgressBarA(IDD_PROGRESS, IDC_PROGRESS_MESSAGE, IDC_PROGRESS_BAR) {}

CProgressBarB& CProgressBarB::GetWindow()
{
    static CProgressBarB* window = [] {
        RegisterTemplate();
        auto* made = new CProgressBarB;
        // A transfer cut short by the end of the program leaves no window behind.
        AddShutdownHandler([made] {
            if (made->IsShown())
                made->End();
        });
        return made;
    }();
    return *window;
}

GT::IProgress& CProgressBarB::GetInstance() { return GetWindow(); }

void CProgressBarB::RegisterTemplate()
{
    // 167 x 54 dialog units of the 9-point dialog font, in pixels. Both programs take their
    // language from the user's locale, so the window's one button follows it too.
    const bool english = GetUserLanguage() == "English";
    CDialogTemplate progress;
    progress.width = 250;
    progress.height = 88;
    progress.items = {
        {EDialogControl::Static, IDC_PROGRESS_MESSAGE, "Text", {15, 13, 234, 26}},
        {EDialogControl::Progress, IDC_PROGRESS_BAR, "", {15, 33, 234, 49}},
        {EDialogControl::Button, IDCANCEL, english ? "Cancel" : "キャンセル", {92, 55, 159, 80}},
    };
    RegisterDialogTemplate(IDD_PROGRESS, progress);
}
