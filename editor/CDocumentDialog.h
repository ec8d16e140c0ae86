#pragma once
// The editor's documents: the current path, Open, Save and Save As through the file dialog, the
// save prompts, and the folders remembered in the settings. The Standard MIDI File dialog keeps
// its own folder and file name.
#include "editor/EditorSeams.h"

#include <functional>
#include <string>

class CDocumentDialog : public IEditorDocumentRecord
{
public:
    // Picks a file: (open mode, initial folder, initial file name) to the chosen path, empty when
    // cancelled. The file dialog by default; tests put their own in its place.
    using FChooser = std::function<std::string(bool open, const std::string& folder, const std::string& fileName)>;
    // Asks whether to save: IDYES, IDNO or IDCANCEL.
    using FAsker = std::function<int(const std::string& text)>;

    CDocumentDialog();

    int Load(const std::string& path) override;
    bool Open(const std::string& path) override;
    int QuerySaveOnClose() override;
    std::string GetCurrentPath() const override { return m_path; }
    void SetFilters(const std::string& filterString, const std::string& defaultExtension) override;

    int Save();
    int SaveAs();
    // Before another document replaces this one.
    int QuerySave();
    int AskToSave();
    std::string Choose(bool open);
    void RememberFolder(const std::string& path);

    void SetChooser(FChooser chooser) { m_chooser = std::move(chooser); }
    void SetAsker(FAsker asker) { m_asker = std::move(asker); }

private:
    // Saves to the path chosen for a prompt's Yes; kCancelled when the user cancelled the dialog.
    int SaveForPrompt();

    std::string m_path;
    std::string m_filterString;
    std::string m_defaultExtension;
    FChooser m_chooser;
    FAsker m_asker;
};

// True when the document's image carries changes not saved.
bool IsDocumentModified();

class CSmfDialog
{
public:
    using FChooser = CDocumentDialog::FChooser;
    static CSmfDialog& GetInstance();

    // True with the path kept when the user confirmed a file.
    bool Choose(bool open);
    void RememberPath();
    const std::string& GetPath() const { return m_path; }
    void SetChooser(FChooser chooser) { m_chooser = std::move(chooser); }

private:
    std::string m_path;
    FChooser m_chooser;
};
