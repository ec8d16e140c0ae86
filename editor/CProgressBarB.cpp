#include "editor/CProgressBarB.h"
#include "editor/CViewUpdateProgress.h"

#include "editor/EditorResources.h"
#include "platform/Messages.h"

CProgressBarB::CProgressBarB() : UL::CProgressBarA(IDD_PROGRESS, IDC_PROGRESS_MESSAGE, IDC_PROGRESS_BAR) {}

CProgressBarB& CProgressBarB::GetWindow()
{
    static CProgressBarB* window = [] {
        RegisterEditorDialogTemplates();
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

CViewUpdateProgress& CViewUpdateProgress::GetInstance()
{
    static CViewUpdateProgress progress(CProgressBarB::GetInstance());
    return progress;
}
