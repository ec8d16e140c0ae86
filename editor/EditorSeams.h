#pragma once
// What start-up, idle and shut-down call of the editor's document handling and instrument layer.
// The application holds one of each; until those parts are installed the stand-ins below keep
// the program working with plain data-file loading and no instrument transfers.
#include <string>

// The document record: current path, loading and the save prompt.
class IEditorDocumentRecord
{
public:
    enum Result : int
    {
        kDone = 1,
        kCancelled = 2,
        kFailed = 3,
    };

    virtual ~IEditorDocumentRecord() = default;
    // Loads the file into the model; kDone or kFailed.
    virtual int Load(const std::string& path) = 0;
    // Asks whether to save the changes and saves them; kDone to go on, kCancelled or kFailed to stay.
    virtual int QuerySaveOnClose() { return kDone; }
    // The save prompt, then the file (empty path: the user picks one), then Load; true when loaded.
    virtual bool Open(const std::string& path) = 0;
    // Full path of the current document; empty for an untitled one.
    virtual std::string GetCurrentPath() const = 0;
    virtual void SetFilters(const std::string& filterString, const std::string& defaultExtension) = 0;
};

// The instrument layer: set-up after the main panel opens, the transfers and the view state.
class IEditorInstrumentLayer
{
public:
    virtual ~IEditorInstrumentLayer() = default;
    // Binds the script's paths, fills the message table, registers the instrument's functors and
    // reads the initial data.
    virtual bool Initialize() = 0;
    virtual bool ReadAll() = 0;
    // After an identity check, the whole document to the instrument.
    virtual bool WriteAllChecked() = 0;
    virtual bool WriteAll() = 0;
    virtual bool SaveViewState(const std::string& path) = 0;
};

// Loads through the data file; no prompt and no file dialog.
class CPlainDocumentRecord : public IEditorDocumentRecord
{
public:
    int Load(const std::string& path) override;
    bool Open(const std::string& path) override;
    std::string GetCurrentPath() const override { return m_path; }
    void SetFilters(const std::string& filterString, const std::string& defaultExtension) override
    {
        m_filterString = filterString;
        m_defaultExtension = defaultExtension;
    }
    const std::string& GetFilterString() const { return m_filterString; }
    const std::string& GetDefaultExtension() const { return m_defaultExtension; }

private:
    std::string m_path;
    std::string m_filterString;
    std::string m_defaultExtension;
};
