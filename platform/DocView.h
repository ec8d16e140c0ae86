#pragma once
// Documents, views and document templates with MFC's shapes. A template names a kind of document
// (its strings: window title, document name, new-file name, filter name, filter extension...) and
// lists its open documents; a document keeps its title, path, modified flag and views; a view is
// a (possibly scrolling) window inside a child frame that shows its document. The program's
// templates are registered with the application, and saved paths go to the recent-file list.
#include "platform/ScrollView.h"

#include <memory>
#include <string>
#include <vector>

class CDocTemplate;
class CDocument;
class CMDIChildWnd;

constexpr UINT AFX_IDS_SAVEFILE = 0xF000;
constexpr UINT AFX_IDS_SAVEFILECOPY = 0xF001;

class CView : public CScrollView
{
public:
    CView() = default;
    ~CView() override;

    CDocument* GetDocument() const { return m_document; }
    // The child frame the view lies in, or null.
    CMDIChildWnd* GetParentFrame() const;
    // Called once the view and its document are ready to show.
    virtual void OnInitialUpdate();

private:
    friend class CDocument;
    CDocument* m_document = nullptr;
};

class CDocument
{
public:
    CDocument() = default;
    virtual ~CDocument();
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    const std::string& GetTitle() const { return m_title; }
    virtual void SetTitle(const char* title);
    const std::string& GetPathName() const { return m_pathName; }
    // Sets the path and the title (the file's name); with `addToRecent` the path goes to the
    // recent-file list.
    virtual void SetPathName(const char* path, BOOL addToRecent = TRUE);
    virtual BOOL IsModified() const { return m_modified; }
    virtual void SetModifiedFlag(BOOL modified = TRUE) { m_modified = modified != FALSE; }

    CDocTemplate* GetDocTemplate() const { return m_template; }
    const std::vector<CView*>& GetViews() const { return m_views; }
    void AddView(CView* view);
    void RemoveView(CView* view);

    // Writes the document to `path`; the default writes nothing and fails.
    virtual BOOL OnSaveDocument(const char* path);
    // Save and Save As: without a path asks for one; with `replace` the saved path becomes the
    // document's. FALSE when cancelled or failed.
    virtual BOOL DoSave(const char* path, BOOL replace = TRUE);

private:
    friend class CDocTemplate;
    std::string m_title;
    std::string m_pathName;
    bool m_modified = false;
    CDocTemplate* m_template = nullptr;
    std::vector<CView*> m_views;
};

class CDocTemplate
{
public:
    enum DocStringIndex
    {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };

    // `strings` holds the seven strings separated by '\n'.
    CDocTemplate(UINT resourceId, const std::string& strings);
    virtual ~CDocTemplate();
    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;

    UINT GetResourceId() const { return m_resourceId; }
    BOOL GetDocString(std::string& text, int index) const;
    void AddDocument(CDocument* document);
    void RemoveDocument(CDocument* document);
    const std::vector<CDocument*>& GetDocuments() const { return m_documents; }

private:
    UINT m_resourceId;
    std::vector<std::string> m_strings;
    std::vector<CDocument*> m_documents;
};

// The application's document templates, in registration order. The program owns them.
void AfxAddDocTemplate(CDocTemplate* docTemplate);
void AfxRemoveDocTemplate(CDocTemplate* docTemplate);
const std::vector<CDocTemplate*>& AfxGetDocTemplates();

// The file dialog of the application's document commands (Open, Save As). The default dialog
// starts where the proposed name says and offers the template's filter and "All Files"; a program
// that wants its own folders or remembered choices derives from it and puts its manager in
// CWinApp::m_pDocManager.
class CDocManager
{
public:
    CDocManager() = default;
    virtual ~CDocManager();
    CDocManager(const CDocManager&) = delete;
    CDocManager& operator=(const CDocManager&) = delete;

    // `fileName` is the proposed name, and the chosen path when the user confirms; FALSE when
    // cancelled. The caption is AFX_IDS_SAVEFILE ("Save As"), AFX_IDS_SAVEFILECOPY ("Save Copy
    // As") or, for an open dialog, "Open".
    virtual BOOL DoPromptFileName(std::string& fileName, UINT captionId, DWORD flags, BOOL openFileDialog,
                                  CDocTemplate* docTemplate);
};

// The application's document manager's file dialog (the default one without an application or a
// manager of its own).
BOOL AfxDoPromptFileName(std::string& fileName, UINT captionId, DWORD flags, BOOL openFileDialog,
                         CDocTemplate* docTemplate);

// The recent-file list: newest first, at most `kRecentFiles` entries, one entry per path.
constexpr int kRecentFiles = 4;
void AddToRecentFileList(const char* path);
std::vector<std::string> GetRecentFileList();
void ClearRecentFileList();


// The id of a frame's view: the frame keeps it filling its client area.
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

// A view that shows a form built from a registered dialog template; its total size is the form's.
class CFormView : public CView
{
public:
    explicit CFormView(UINT templateId);
    ~CFormView() override;

    // Creates the view over `parent`'s client area with the template's controls.
    virtual BOOL Create(CWnd* parent, UINT id = AFX_IDW_PANE_FIRST);
    UINT GetTemplateId() const { return m_templateId; }
    // Sizes the parent frame so that the view shows the whole form; with `shrinkOnly` the frame
    // only gets smaller.
    void ResizeParentToFit(BOOL shrinkOnly = TRUE);

private:
    UINT m_templateId;
    std::vector<std::unique_ptr<CWnd>> m_controls;
};
