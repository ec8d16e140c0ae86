#pragma once
// The librarian's application object: start-up from the single-instance guard to the image of
// the instrument's user patches and the file named on the command line, the application-wide
// commands, opening files handed over by later starts, and an orderly shut-down.
#include "platform/WinApp.h"

#include <map>
#include <memory>
#include <string>

class CDoc;
class CDocMan;
class CImageDoc;
class CImageView;
class CLibrarianTemplate;
class CMainFrame;

class CApp : public CWinApp
{
public:
    static constexpr UINT kFrameResourceId = 4096;
    static constexpr UINT kAboutTemplateId = 32867;

    CApp();
    ~CApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // The framework's idle work, then titles, bar states, closed documents and diagnostics.
    BOOL OnIdle(LONG count) override;

    // The program's arguments, joined by blanks: one path, possibly quoted, possibly a shortcut.
    void SetCommandLine(const std::string& commandLine) { m_commandLine = commandLine; }
    // The command line as a file path: quotes removed, a shortcut followed; empty for none.
    std::string GetCommandLineFile() const;
    // Where "Script/Q9EL/InitialData.q9l" is looked for; the program's folder by default.
    void SetProgramFolder(const std::string& folder) { m_programFolder = folder; }
    std::string GetProgramFolder() const;
    // The manual beside the program in the language of the messages selected now
    // ("Manual/TalvarixLibrarianManualE.pdf" or "...J.pdf" below the program folder). Help >
    // Manual fixes it at its first use.
    std::string BuildManualPath() const;
    // The folder of the single-instance channel (tests); the per-user runtime folder by default.
    void SetInstanceFolder(const std::string& folder) { m_instanceFolder = folder; }
    // Japanese messages and menus unless this is "English"; without it the user's locale decides
    // (GetUserLanguage).
    void SetLanguage(const std::string& language) { m_language = language; }
    bool IsEnglish() const;

    // Opens a librarian file as a document (or brings its open document forward).
    bool OpenFile(const std::string& path);
    // A request of a later start: "[open("path")]" opens the file. False when not handled.
    bool OnDDECommand(const std::string& command);
    static std::string ParseOpenCommand(const std::string& command, bool* valid = nullptr);

    // The application-wide commands; true when handled.
    bool OnAppCommand(UINT id);
    // Close, Save and Save As of a file document.
    void OnDocumentCommand(CDoc* document, UINT id);
    void CloseDocument(CDoc* document);
    // Offers every modified file for saving: false when the user cancelled or a save failed.
    bool SaveAllModified();

    CLibrarianTemplate* GetTemplate(UINT id) const;
    CImageDoc* GetImageDoc() const;
    CImageView* GetImageView() const;
    CMainFrame* GetMainFrame() const { return m_frame.get(); }
    bool HasStarted() const { return m_started; }

private:
    void CreateDocManager();
    bool CreateMidi();
    void ReleaseMidi();
    bool OpenImage();
    void ShowFontDialog();
    void ShowMidiSetUp();
    void ShowAbout();
    void OpenManual();

    std::unique_ptr<CDocMan> m_docManager;
    std::map<UINT, std::unique_ptr<CLibrarianTemplate>> m_templates;
    std::unique_ptr<CMainFrame> m_frame;
    std::string m_commandLine;
    std::string m_programFolder;
    std::string m_instanceFolder;
    std::string m_language;
    bool m_started = false;
    bool m_midiCreated = false;
    int m_stopCode = 1;
};
