#include "platform/DocView.h"

#include "platform/Dialog.h"
#include "platform/FileDialog.h"
#include "platform/MdiFrame.h"
#include "platform/WinApp.h"

#include <algorithm>
#include <sstream>

namespace
{
std::vector<CDocTemplate*>& Templates()
{
    static std::vector<CDocTemplate*> templates;
    return templates;
}

std::vector<std::string>& RecentFiles()
{
    static std::vector<std::string> files;
    return files;
}

std::string FileNameOf(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}

// ---- view ----

CView::~CView()
{
    if (m_document)
        m_document->RemoveView(this);
}

CMDIChildWnd* CView::GetParentFrame() const
{
    for (CWnd* parent = GetParent(); parent; parent = parent->GetParent())
        if (auto* frame = dynamic_cast<CMDIChildWnd*>(parent))
            return frame;
    return nullptr;
}

void CView::OnInitialUpdate() {}

// ---- document ----

CDocument::~CDocument()
{
    for (CView* view : m_views)
        view->m_document = nullptr;
    if (m_template)
        m_template->RemoveDocument(this);
}

void CDocument::SetTitle(const char* title)
{
    m_title = title ? title : "";
}

void CDocument::SetPathName(const char* path, BOOL addToRecent)
{
    m_pathName = path ? path : "";
    SetTitle(FileNameOf(m_pathName).c_str());
    if (addToRecent)
        AddToRecentFileList(m_pathName.c_str());
}

void CDocument::AddView(CView* view)
{
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end())
        return;
    if (view->m_document)
        view->m_document->RemoveView(view);
    m_views.push_back(view);
    view->m_document = this;
}

void CDocument::RemoveView(CView* view)
{
    const auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end())
        return;
    m_views.erase(it);
    view->m_document = nullptr;
}

BOOL CDocument::OnSaveDocument(const char*)
{
    return FALSE;
}

BOOL CDocument::DoSave(const char* path, BOOL replace)
{
    std::string name = path ? path : "";
    if (name.empty())
    {
        name = m_pathName.empty() ? m_title : m_pathName;
        if (!AfxDoPromptFileName(name, replace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                                 OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT, FALSE, m_template))
            return FALSE;
    }
    if (!OnSaveDocument(name.c_str()))
        return FALSE;
    if (replace)
        SetPathName(name.c_str());
    return TRUE;
}

// ---- template ----

CDocTemplate::CDocTemplate(UINT resourceId, const std::string& strings) : m_resourceId(resourceId)
{
    std::string line;
    std::istringstream in(strings);
    while (std::getline(in, line, '\n'))
        m_strings.push_back(line);
}

CDocTemplate::~CDocTemplate()
{
    for (CDocument* document : m_documents)
        document->m_template = nullptr;
    AfxRemoveDocTemplate(this);
}

BOOL CDocTemplate::GetDocString(std::string& text, int index) const
{
    text.clear();
    if (index < 0 || index >= static_cast<int>(m_strings.size()))
        return FALSE;
    text = m_strings[static_cast<size_t>(index)];
    return !text.empty();
}

void CDocTemplate::AddDocument(CDocument* document)
{
    if (!document || document->m_template == this)
        return;
    if (document->m_template)
        document->m_template->RemoveDocument(document);
    m_documents.push_back(document);
    document->m_template = this;
}

void CDocTemplate::RemoveDocument(CDocument* document)
{
    const auto it = std::find(m_documents.begin(), m_documents.end(), document);
    if (it == m_documents.end())
        return;
    m_documents.erase(it);
    document->m_template = nullptr;
}

void AfxAddDocTemplate(CDocTemplate* docTemplate)
{
    if (docTemplate && std::find(Templates().begin(), Templates().end(), docTemplate) == Templates().end())
        Templates().push_back(docTemplate);
}

void AfxRemoveDocTemplate(CDocTemplate* docTemplate)
{
    Templates().erase(std::remove(Templates().begin(), Templates().end(), docTemplate), Templates().end());
}

const std::vector<CDocTemplate*>& AfxGetDocTemplates()
{
    return Templates();
}

CDocManager::~CDocManager() = default;

BOOL AfxDoPromptFileName(std::string& fileName, UINT captionId, DWORD flags, BOOL openFileDialog,
                         CDocTemplate* docTemplate)
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pDocManager)
        return app->m_pDocManager->DoPromptFileName(fileName, captionId, flags, openFileDialog, docTemplate);
    CDocManager standard;
    return standard.DoPromptFileName(fileName, captionId, flags, openFileDialog, docTemplate);
}

BOOL CDocManager::DoPromptFileName(std::string& fileName, UINT captionId, DWORD flags, BOOL openFileDialog,
                                   CDocTemplate* docTemplate)
{
    CFileDialog dialog(openFileDialog);
    dialog.m_ofn.Flags = flags;
    dialog.m_ofn.lpstrTitle = captionId == AFX_IDS_SAVEFILECOPY ? "Save Copy As" : openFileDialog ? "Open" : "Save As";
    dialog.m_ofn.lpstrFile = fileName;
    std::string filterName, filterExt;
    if (docTemplate && docTemplate->GetDocString(filterName, CDocTemplate::filterName) &&
        docTemplate->GetDocString(filterExt, CDocTemplate::filterExt))
    {
        std::string pattern = "*" + filterExt.substr(0, filterExt.find(';'));
        dialog.m_ofn.lpstrFilter = filterName + std::string(1, '\0') + pattern + std::string(1, '\0');
        dialog.m_ofn.lpstrFilter += "All Files (*.*)" + std::string(1, '\0') + "*" + std::string(2, '\0');
        if (filterExt.size() > 1 && filterExt[0] == '.')
            dialog.m_ofn.lpstrDefExt = filterExt.substr(1, filterExt.find(';') - 1);
    }
    if (dialog.DoModal() != IDOK)
        return FALSE;
    fileName = dialog.GetPathName();
    return TRUE;
}

void AddToRecentFileList(const char* path)
{
    if (!path || !*path)
        return;
    auto& files = RecentFiles();
    files.erase(std::remove(files.begin(), files.end(), std::string(path)), files.end());
    files.insert(files.begin(), path);
    if (files.size() > static_cast<size_t>(kRecentFiles))
        files.resize(static_cast<size_t>(kRecentFiles));
}

std::vector<std::string> GetRecentFileList()
{
    return RecentFiles();
}

void ClearRecentFileList()
{
    RecentFiles().clear();
}


// ---- form view ----

CFormView::CFormView(UINT templateId) : m_templateId(templateId) {}

CFormView::~CFormView() = default;

BOOL CFormView::Create(CWnd* parent, UINT id)
{
    const CDialogTemplate* form = FindDialogTemplate(m_templateId);
    if (!form || !parent)
        return FALSE;
    CRect client;
    parent->GetClientRect(&client);
    if (!CreateEx(0, "", WS_CHILD | WS_VISIBLE, client, parent, id))
        return FALSE;
    for (const CDialogItemTemplate& item : form->items)
        if (std::unique_ptr<CWnd> control = CreateDialogControl(item, this))
        {
            control->ShowWindow((item.style & WS_VISIBLE) ? SW_SHOW : SW_HIDE);
            m_controls.push_back(std::move(control));
        }
    SetScrollSizes(SIZE{form->width, form->height});
    return TRUE;
}

void CFormView::ResizeParentToFit(BOOL shrinkOnly)
{
    CMDIChildWnd* frame = GetParentFrame();
    if (!frame)
        return;
    CRect frameRect, client;
    frame->GetFrameRect(&frameRect);
    GetClientRect(&client);
    const CSize total = GetTotalSize();
    int32_t width = frameRect.Width() + total.cx - client.Width();
    int32_t height = frameRect.Height() + total.cy - client.Height();
    if (shrinkOnly)
    {
        width = std::min(width, frameRect.Width());
        height = std::min(height, frameRect.Height());
    }
    frame->MoveFrame(CRect(frameRect.left, frameRect.top, frameRect.left + width, frameRect.top + height));
}
