// Build-time tool: pictures of the editor for its manual, taken from the program itself running
// offscreen on the script folder of the build (its panels as they look with the initial data).
//   q9_make_editor_manual_pictures <program folder> <output folder>
// Writes editor-main.png (the main window), editor-select.png and editor-system.png (two panel
// windows the main panel opens) and editor-midi-setup.png (the MIDI set-up dialog).
#include "editor/CApp.h"
#include "editor/CDocumentDialog.h"
#include "editor/CEditorMidiSetup.h"
#include "editor/EditorNames.h"
#include "editor/instrument/CBufferAccessor.h"
#include "manual/PictureSupport.h"
#include "platform/UiDriver.h"
#include "toolkit/gt/InstanceManager.h"
#include "ui/panels/CVeyPanel.h"
#include "ui/panels/CVeyViewManager.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{
// The MIDI set-up dialog's template and its first input and output device lists.
constexpr UINT kMidiSetupTemplate = 9301;
constexpr int kInputList = 201;
constexpr int kOutputList = 202;

CVeyControl* FindControl(const CVeyPanel& panel, const std::string& name)
{
    for (const auto& control : panel.GetChildControls())
        if (control->GetName() == name)
            return control.get();
    for (const auto& child : panel.GetChildPanels())
        if (CVeyControl* found = FindControl(*child, name))
            return found;
    return nullptr;
}

std::vector<CWnd*> VisibleTopLevelWindows()
{
    std::vector<CWnd*> windows;
    for (CWnd* window : CWnd::GetTopLevelWindows())
        if (window->IsWindowVisible())
            windows.push_back(window);
    return windows;
}

// Clicks a button of the main panel and saves the window it opens.
void SavePanelOpenedBy(CPictureSession& session, CWnd& frame, const std::string& button, const std::string& name)
{
    const CVeyPanel* main = CVeyViewManager::GetInstance().FindRootPanel("main");
    CVeyControl* control = main ? FindControl(*main, button) : nullptr;
    if (!control)
    {
        return session.Fail("the main panel has no control " + button);
    }
    const std::vector<CWnd*> before = VisibleTopLevelWindows();
    const CRect rect = control->GetRect();
    UiDriver::Click(frame, CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    CPictureSession::Settle();
    for (CWnd* window : VisibleTopLevelWindows())
        if (std::find(before.begin(), before.end(), window) == before.end())
        {
            session.Save(*window, name);
            // The same button closes the window again.
            UiDriver::Click(frame, CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
            CPictureSession::Settle();
            return;
        }
    session.Fail(button + " opened no window");
}
}

int main(int argc, char** argv)
{
    return RunPictureTool(argc, argv, [](CPictureSession& session, const std::string& programFolder) {
        SetProgramFolder(programFolder);
        GT::CInstanceManager::SetChannelFolder(session.Folder("channel"));
        CBufferAccessor& instrument = CBufferAccessor::GetInstance();
        instrument.SetViewStatePath(std::string());
        CApp application;
        application.SetInstrumentLayer(&instrument);
        application.SetDocumentRecord(std::make_unique<CDocumentDialog>());
        const bool started = application.InitInstance() && application.m_pMainWnd;
        if (started)
        {
            CPictureSession::Settle();
            CWnd& frame = *application.m_pMainWnd;
            session.Save(frame, "editor-main.png");
            SavePanelOpenedBy(session, frame, "selectButton", "editor-select.png");
            SavePanelOpenedBy(session, frame, "systemButton", "editor-system.png");
            session.PostMidiSetupPicture(kMidiSetupTemplate, {kInputList, kOutputList}, "editor-midi-setup.png");
            ShowEditorMidiSetUp(&frame);
            application.ExitInstance();
        }
        CPictureSession::Settle();
        GT::CInstanceManager::Close();
        GT::CInstanceManager::SetChannelFolder("");
        SetProgramFolder("");
        return started;
    });
}
