#include "editor/CEditorCommands.h"

#include "editor/CDocumentDialog.h"
#include "editor/CEditorAbout.h"
#include "editor/CEditorApp.h"
#include "editor/CEditorMidiSetup.h"
#include "editor/EditorNames.h"
#include "editor/instrument/CBufferAccessor.h"
#include "editor/instrument/CWriter.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyErrorOut.h"
#include "model/IVeyModelLinks.h"
#include "platform/Shell.h"
#include "platform/WinApp.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/SafeFile.h"
#include "toolkit/gt/SystemPaths.h"
#include "toolkit/ul/Cursor.h"

#include <algorithm>
#include <fstream>

namespace
{
struct CPatchCommand
{
    UINT first;
    UINT last;
    int32_t code;
};

const CPatchCommand kPatchCommands[] = {
    {CEditorCommands::kCopyChorus, CEditorCommands::kCopyChorus, 0x10624},
    {CEditorCommands::kCopyMfx, CEditorCommands::kCopyMfx, 0x10620},
    {CEditorCommands::kCopyReverb, CEditorCommands::kCopyReverb, 0x10625},
    {CEditorCommands::kCopyTone1, CEditorCommands::kCopyTone4, 0x10410},
    {CEditorCommands::kInitializePatch, CEditorCommands::kInitializePatch, 0x200},
    {CEditorCommands::kPasteChorus, CEditorCommands::kPasteChorus, 0x20624},
    {CEditorCommands::kPasteMfx, CEditorCommands::kPasteMfx, 0x20620},
    {CEditorCommands::kPasteReverb, CEditorCommands::kPasteReverb, 0x20625},
    {CEditorCommands::kPasteTone1, CEditorCommands::kPasteTone4, 0x20410},
};

CWnd* MainWindow()
{
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

void RefreshViews()
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.UpdateViews();
    buffers.ClearChanges();
}
}

std::optional<CEditorCommands> CEditorCommands::ForApplication()
{
    CEditorApp* app = CEditorApp::GetEditorApp();
    auto* documents = app ? dynamic_cast<CDocumentDialog*>(&app->GetDocumentRecord()) : nullptr;
    if (!documents)
        return std::nullopt;
    return CEditorCommands(CBufferAccessor::GetInstance(), *documents);
}

int32_t CEditorCommands::PatchCodeOf(UINT id)
{
    for (const CPatchCommand& command : kPatchCommands)
        if (id >= command.first && id <= command.last)
            return command.code + static_cast<int32_t>(id - command.first);
    return -1;
}

bool CEditorCommands::IsEnabled(UINT id, bool& enabled) const
{
    const int32_t code = PatchCodeOf(id);
    if (code >= 0)
    {
        enabled = m_instrument.GetPatchClipboard().IsCommandEnabled(code);
        return true;
    }
    switch (id)
    {
    case kExportSmf:
        enabled = m_instrument.GetEditContext().IsCurrentUserPatch();
        return true;
    case kOpen:
    case kSave:
    case kSaveAs:
    case kImportSmf:
    case kCopyMidiMessage:
    case kSetUpMidi:
    case kManual:
    case kAbout:
        enabled = true;
        return true;
    default:
        return false;
    }
}

bool CEditorCommands::Run(UINT id)
{
    const int32_t code = PatchCodeOf(id);
    if (code >= 0)
    {
        UL::CWaitCursor wait;
        m_instrument.GetPatchClipboard().Execute(code);
        return true;
    }
    switch (id)
    {
    case kOpen:
        Open();
        return true;
    case kSave:
        Save();
        return true;
    case kSaveAs:
        SaveAs();
        return true;
    case kImportSmf:
        ImportSmf();
        return true;
    case kExportSmf:
    {
        bool enabled = false;
        if (IsEnabled(id, enabled) && enabled)
            ExportSmf();
        return true;
    }
    case kCopyMidiMessage:
        CopyMidiMessage();
        return true;
    case kSetUpMidi:
        SetUpMidiDevices();
        return true;
    case kManual:
        OpenManual();
        return true;
    case kAbout:
        ShowAbout();
        return true;
    default:
        return false;
    }
}

bool CEditorCommands::Open()
{
    CEditorApp* app = CEditorApp::GetEditorApp();
    return app ? app->OpenDocument(std::string()) : m_documents.Open(std::string());
}

int CEditorCommands::Save()
{
    UL::CWaitCursor wait;
    const int result = m_documents.Save();
    if (CEditorApp* app = CEditorApp::GetEditorApp(); app && result != IEditorDocumentRecord::kFailed)
        app->RefreshTitle();
    return result;
}

int CEditorCommands::SaveAs()
{
    const int result = m_documents.SaveAs();
    if (CEditorApp* app = CEditorApp::GetEditorApp(); app && result != IEditorDocumentRecord::kFailed)
        app->RefreshTitle();
    return result;
}

bool CEditorCommands::ImportSmf()
{
    CSmfDialog& dialog = CSmfDialog::GetInstance();
    if (!dialog.Choose(true))
        return false;
    std::ifstream in(dialog.GetPath(), std::ios::binary);
    if (!in)
    {
        CVeyErrorOut::ShowMessage(kMessageLoadFailed);
        return false;
    }
    bool imported = false;
    {
        UL::CWaitCursor wait;
        imported = m_instrument.ImportSmf(in);
    }
    // Whatever happened, the views show the image and nothing waits to be sent a second time.
    RefreshViews();
    if (!imported)
    {
        CVeyErrorOut::ShowMessage(kMessageLoadFailed);
        return false;
    }
    dialog.RememberPath();
    return true;
}

bool CEditorCommands::ExportSmf()
{
    CSmfDialog& dialog = CSmfDialog::GetInstance();
    if (!dialog.Choose(false))
        return false;
    CWriter* writer = m_instrument.GetWriter();
    // The new file replaces the old one only once it is complete.
    const bool saved = writer && GT::SaveFileAtomically(dialog.GetPath(), [writer](std::ostream& out) {
        return writer->ExportSmf(out, 8);
    });
    if (!saved)
    {
        CVeyErrorOut::ShowMessage(kMessageSaveFailed);
        return false;
    }
    dialog.RememberPath();
    return true;
}

bool CEditorCommands::CopyMidiMessage()
{
    const auto& links = CVeyBufferManager::GetInstance().GetMidiMessageValueLinks();
    if (links.empty() || !links.front())
        return false;
    std::string text = links.front()->GetText();
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return SetClipboardText(text);
}

void CEditorCommands::SetUpMidiDevices() { ShowEditorMidiSetUp(MainWindow()); }

std::string CEditorCommands::BuildManualPath()
{
    std::string relative = GetMessageTable().Find(kMessageManualPath);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return relative.empty() ? std::string() : GetProgramFolder() + "/" + relative;
}

const std::string& CEditorCommands::GetManualPath()
{
    static std::string path;
    // Fixed once the messages are there: a use before the set-up filled them fixes nothing.
    if (path.empty())
        path = BuildManualPath();
    return path;
}

bool CEditorCommands::OpenManual()
{
    auto show = [](const std::string& problem) { CVeyErrorOut::GetInstance().Write(problem); };
    const std::string problem = GT::OpenManualFile(GetManualPath(), GetMessageTable().Find(kMessageManualMissing),
                                                   GetMessageTable().Find(kMessageManualNotOpened), show);
    if (problem.empty())
        return true;
    show(problem);
    return false;
}

void CEditorCommands::ShowAbout() { ShowEditorAbout(); }
