#pragma once
// The editor's application base: locale, the window title, the command-line document and the
// idle pass that keeps the title, the tip bar, the buffered diagnostics and the delayed functor
// calls current.
#include "editor/EditorNames.h"
#include "editor/EditorSeams.h"
#include "platform/WinApp.h"

#include <memory>
#include <string>

class CEditorApp : public CWinApp, public CEditorNames
{
public:
    enum : int
    {
        kDone = IEditorDocumentRecord::kDone,
        kCancelled = IEditorDocumentRecord::kCancelled,
        kFailed = IEditorDocumentRecord::kFailed,
    };

    explicit CEditorApp(const char* applicationName);
    ~CEditorApp() override;

    // The application object when it is an editor application, else null.
    static CEditorApp* GetEditorApp();

    BOOL InitInstance() override;
    // The base's idle, then the title, the tip bar, the buffered diagnostics and the due functor
    // calls, on every pass; returns what the base returned.
    BOOL OnIdle(LONG count) override;

    // Through the document record: save prompt, file dialog for an empty path, load.
    virtual bool OpenDocument(const std::string& path);
    virtual bool OpenMainPanel() = 0;
    // Application name, " - ", the document's path or "Untitled", and " *" while modified.
    virtual std::string GetDocumentTitle() const;
    // Sets the main window's text only when it differs.
    void RefreshTitle();
    // The save prompt of the main frame's close.
    virtual int QuerySaveOnClose();

    // The program's arguments after the program name, joined by blanks as Windows passes them.
    void SetCommandLine(const std::string& commandLine) { m_commandLine = commandLine; }
    const std::string& GetCommandLine() const { return m_commandLine; }
    // The command line without enclosing quotes, resolved as a shell path; empty when empty.
    std::string GetCommandLineFile() const;

    IEditorDocumentRecord& GetDocumentRecord() { return *m_documents; }
    void SetDocumentRecord(std::unique_ptr<IEditorDocumentRecord> record);
    // Null until the instrument layer is installed (not owned).
    IEditorInstrumentLayer* GetInstrumentLayer() const { return m_instrument; }
    void SetInstrumentLayer(IEditorInstrumentLayer* layer) { m_instrument = layer; }

protected:
    std::string m_commandLine;
    std::unique_ptr<IEditorDocumentRecord> m_documents;
    IEditorInstrumentLayer* m_instrument = nullptr;
};
