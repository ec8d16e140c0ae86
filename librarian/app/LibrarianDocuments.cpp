#include "librarian/app/LibrarianDocuments.h"

#include "librarian/app/PatchListOperations.h"
#include "librarian/app/RecentFiles.h"
#include "platform/MdiFrame.h"
#include "platform/Profile.h"
#include "toolkit/ul/Cursor.h"

#include <algorithm>
#include <filesystem>

namespace
{
CMDIFrameWnd*& MainFrame()
{
    static CMDIFrameWnd* frame = nullptr;
    return frame;
}

std::string CanonicalPath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? std::filesystem::path(path).lexically_normal().string() : canonical.string();
}
}

// ---- documents ----

void CDoc::UpdateAllViews(int hint)
{
    for (CView* view : GetViews())
        if (auto* patchView = dynamic_cast<IPatchView*>(view))
            patchView->OnDocumentUpdate(hint);
}

void CDoc::SetWindows(std::unique_ptr<CMDIChildWnd> frame, std::unique_ptr<CView> view)
{
    m_frame = std::move(frame);
    m_view = std::move(view);
}

void CDoc::DestroyWindows()
{
    if (m_view)
        RemoveView(m_view.get());
    if (m_frame && m_frame->GetSafeHwnd())
        m_frame->DestroyWindow();
}

void CFileDoc::RememberFolder(const std::string& path)
{
    WriteProfileString("Document", "InitialDirectory", std::filesystem::path(path).parent_path().string());
    RecentFiles::Add(path);
}

bool CFileDoc::OnOpenDocument(const char* path)
{
    UL::CWaitCursor wait;
    if (!path || !m_data.ReadFile(path))
        return false;
    SetModifiedFlag(FALSE);
    RememberFolder(path);
    return true;
}

BOOL CFileDoc::OnSaveDocument(const char* path)
{
    UL::CWaitCursor wait;
    if (!path || !m_data.WriteFile(path))
        return FALSE;
    SetModifiedFlag(FALSE);
    RememberFolder(path);
    return TRUE;
}

CImageDoc::CImageDoc()
{
    m_data.GetCurrent().GetPatches().Resize(PatchList::kImageSize);
}

// ---- templates ----

CLibrarianTemplate::CLibrarianTemplate(UINT id, const std::string& strings, FMakeDocument document, FMakeFrame frame,
                                       FMakeView view)
    : CDocTemplate(id, strings), m_makeDocument(std::move(document)), m_makeFrame(std::move(frame)),
      m_makeView(std::move(view))
{
}

CLibrarianTemplate::~CLibrarianTemplate()
{
    CloseAllDocuments();
    PurgeClosed();
}

void CLibrarianTemplate::SetMainFrame(CMDIFrameWnd* frame) { MainFrame() = frame; }

CDoc* CLibrarianTemplate::FindDocument(const std::string& path) const
{
    const std::string wanted = CanonicalPath(path);
    for (const auto& document : m_owned)
        if (!document->GetPathName().empty() && CanonicalPath(document->GetPathName()) == wanted)
            return document.get();
    return nullptr;
}

CDoc* CLibrarianTemplate::GetFirstDocument() const { return m_owned.empty() ? nullptr : m_owned.front().get(); }

CDoc* CLibrarianTemplate::OpenDocumentFile(const char* path)
{
    const std::string file = path ? path : "";
    if (!file.empty())
        if (CDoc* open = FindDocument(file))
        {
            // One document per file: two would refuse each other's saves.
            if (open->GetFrame())
                open->GetFrame()->ActivateFrame();
            return open;
        }
    std::unique_ptr<CDoc> document = m_makeDocument();
    if (!file.empty())
    {
        auto* fileDocument = dynamic_cast<CFileDoc*>(document.get());
        if (!fileDocument || !fileDocument->OnOpenDocument(file.c_str()))
            return nullptr;
        document->SetPathName(file.c_str());
    }
    else
    {
        std::string name;
        GetDocString(name, docName);
        document->SetTitle((name.empty() ? std::string("Untitled") : name + std::to_string(++m_untitled)).c_str());
    }
    return Open(std::move(document));
}

CDoc* CLibrarianTemplate::OpenCopy(const CPatchArray& source)
{
    CDoc* document = OpenDocumentFile(nullptr);
    if (!document)
        return nullptr;
    document->GetData().GetCurrent().GetPatches() = source;
    document->SetModifiedFlag(TRUE);
    document->UpdateAllViews();
    return document;
}

CDoc* CLibrarianTemplate::Open(std::unique_ptr<CDoc> document)
{
    CDoc* made = document.get();
    AddDocument(made);
    m_owned.push_back(std::move(document));
    if (!MainFrame())
        return made;
    std::unique_ptr<CMDIChildWnd> frame = m_makeFrame();
    std::unique_ptr<CView> view = m_makeView();
    auto* form = dynamic_cast<CFormView*>(view.get());
    if (!frame->Create(made->GetTitle().c_str(), MainFrame()) || !form || !form->Create(frame.get()))
    {
        made->SetWindows(std::move(frame), nullptr);
        CloseDocument(made);
        return nullptr;
    }
    made->AddView(view.get());
    CView* shown = view.get();
    made->SetWindows(std::move(frame), std::move(view));
    shown->OnInitialUpdate();
    made->GetFrame()->ActivateFrame();
    return made;
}

void CLibrarianTemplate::CloseDocument(CDoc* document)
{
    const auto found = std::find_if(m_owned.begin(), m_owned.end(), [document](const auto& owned) { return owned.get() == document; });
    if (found == m_owned.end())
        return;
    document->DestroyWindows();
    RemoveDocument(document);
    m_closed.push_back(std::move(*found));
    m_owned.erase(found);
}

void CLibrarianTemplate::CloseAllDocuments()
{
    while (!m_owned.empty())
        CloseDocument(m_owned.back().get());
}

void CLibrarianTemplate::PurgeClosed() { m_closed.clear(); }
