#pragma once
// The librarian's documents: the one image of the instrument's 256 user patches and any number
// of librarian files, each a patch list with one level of undo, and the templates that make a
// document with its child frame and view.
#include "librarian/app/ImageDocument.h"
#include "librarian/gp/MDIDocument.h"

#include <functional>
#include <memory>
#include <vector>

class CMDIFrameWnd;

// What a document asks of its views.
class IPatchView
{
public:
    // Hint 2: the list font changed (column widths are stored first).
    static constexpr int kFontHint = 2;
    virtual ~IPatchView() = default;
    virtual void OnDocumentUpdate(int hint) = 0;
};

class CDoc : public GP::CMDIDocument
{
public:
    static constexpr UINT kFileTemplateId = 4107;
    static constexpr UINT kImageTemplateId = 4097;

    virtual CImageDocument& GetData() = 0;
    virtual bool IsImage() const = 0;
    void UpdateAllViews(int hint = 0);

    // The window that shows the document, and the view in it; the document owns both.
    CMDIChildWnd* GetFrame() const { return m_frame.get(); }
    CView* GetView() const { return m_view.get(); }
    void SetWindows(std::unique_ptr<CMDIChildWnd> frame, std::unique_ptr<CView> view);
    void DestroyWindows();

private:
    std::unique_ptr<CView> m_view;
    std::unique_ptr<CMDIChildWnd> m_frame;
};

class CFileDoc : public CDoc
{
public:
    CImageDocument& GetData() override { return m_data; }
    bool IsImage() const override { return false; }

    // Reads the file; on success unmodified and its folder remembered.
    bool OnOpenDocument(const char* path);
    BOOL OnSaveDocument(const char* path) override;
    // The folder of the last librarian file opened or saved ("Document"/"InitialDirectory"), and
    // the file at the top of the recent files.
    static void RememberFolder(const std::string& path);

private:
    CFileDocument m_data;
};

class CImageDoc : public CDoc
{
public:
    // 256 initialised patches: from the initial file when one was accepted.
    CImageDoc();
    CImageDocument& GetData() override { return m_data; }
    bool IsImage() const override { return true; }

private:
    CImageDocument m_data;
};

// A kind of document and its windows. The template owns its documents; a closed document's
// objects live until PurgeClosed, as the close may come from inside its own frame's handler.
class CLibrarianTemplate : public CDocTemplate
{
public:
    using FMakeDocument = std::function<std::unique_ptr<CDoc>()>;
    using FMakeFrame = std::function<std::unique_ptr<CMDIChildWnd>()>;
    using FMakeView = std::function<std::unique_ptr<CView>()>;

    CLibrarianTemplate(UINT id, const std::string& strings, FMakeDocument document, FMakeFrame frame, FMakeView view);
    ~CLibrarianTemplate() override;

    // The main frame the children go in.
    static void SetMainFrame(CMDIFrameWnd* frame);

    // A new document (`path` null or empty) or the file's; null when the file cannot be read or
    // the windows cannot be made. A file that is open already is brought forward instead.
    CDoc* OpenDocumentFile(const char* path);
    // A new document holding a copy of `source`'s patches.
    CDoc* OpenCopy(const CPatchArray& source);
    void CloseDocument(CDoc* document);
    void CloseAllDocuments();
    void PurgeClosed();

    CDoc* FindDocument(const std::string& path) const;
    CDoc* GetFirstDocument() const;

private:
    CDoc* Open(std::unique_ptr<CDoc> document);

    FMakeDocument m_makeDocument;
    FMakeFrame m_makeFrame;
    FMakeView m_makeView;
    std::vector<std::unique_ptr<CDoc>> m_owned;
    std::vector<std::unique_ptr<CDoc>> m_closed;
    int m_untitled = 0;
};
