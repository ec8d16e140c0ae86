#pragma once
// What the whole librarian shares: the patch clipboard, the reader and writer of the instrument,
// the options kept in the profile, the list font, and the texts of its user messages.
#include "librarian/app/Data.h"
#include "librarian/gp/FontEx.h"

#include <cstdint>
#include <memory>
#include <string>

class AReader;
class CWriter;

class CLibrarianData
{
public:
    // Message ids of the message table.
    enum EMessage : int32_t
    {
        kMessageInUse = 0,
        kMessageReadWrite = 2,
        kMessageFileType = 3,
        kMessageNotLoaded = 4,
        kMessageNotSaved = 5,
        kMessageMidiConnectError = 7,
        kMessageMidiReconnected = 8,
        kMessageManualPath = 9,
        kMessageDontShowAgain = 10,
        kMessageMidiNotSetUp = 12,
        kMessageImportSmf = 14,
        kMessageReadTemporary = 15,
        kMessageReadUser = 16,
        kMessageUndefined = 17,
        kMessageWriteTemporary = 18,
        kMessageWriteUser = 19,
        kMessageNoRegularTone = 20,
        kMessageManualMissing = 21,
        kMessageManualNotOpened = 22,
    };

    // Area codes of the transfers: the temporary patch and the user patches.
    static constexpr int kTemporaryArea = 0x11;
    static constexpr int kUserArea = 0x21;

    // The one object; its construction fills the message table.
    static CLibrarianData& GetInstance();

    static const std::string& GetInstrumentName();      // "Talvarix"
    static const std::string& GetExtension();           // ".q9l"
    static const std::string& GetInitialFileName();     // "InitialData.q9l"
    static const std::string& GetApplicationTitle();    // "Talvarix Librarian"

    // Enters every message in English (set 0) and Japanese (set 1, UTF-8).
    static void FillMessageTable();
    // The selected set's text of a message.
    static const std::string& GetMessage(int32_t id);
    // Shows a message of the table in a plain OK box.
    static void ShowMessage(int32_t id);
    // A plain OK box with any text.
    static void ShowText(const std::string& text);
    // Yes, No, Cancel: 1, 0, -1.
    static int AskYesNoCancel(const std::string& text);

    CPatchArray& GetClipboard() { return m_clipboard; }

    AReader* GetReader() const { return m_reader.get(); }
    CWriter* GetWriter() const { return m_writer.get(); }
    void SetTransfers(std::unique_ptr<AReader> reader, std::unique_ptr<CWriter> writer);
    // Deletes the reader and the writer; harmless when they are gone already.
    void ReleaseTransfers();

    // "Mode" 1: the lists show and transfer user patches, and Undo is offered.
    int32_t GetMode() const { return m_mode; }
    void SetMode(int32_t mode) { m_mode = mode; }
    bool IsUserMode() const { return m_mode == 1; }
    // The transfers' area: user patches in "Mode" 1, none otherwise.
    int GetArea() const { return IsUserMode() ? kUserArea : -1; }
    int32_t GetGridSw() const { return m_gridSw; }
    void SetGridSw(int32_t value) { m_gridSw = value; }
    GP::CFontEx& GetListFont() { return m_font; }

    // Section "Option": "Font", "GridSw", "Mode".
    void LoadOptions();
    void SaveOptions() const;

private:
    CLibrarianData();

    CPatchArray m_clipboard;
    std::unique_ptr<AReader> m_reader;
    std::unique_ptr<CWriter> m_writer;
    int32_t m_mode = 1;
    int32_t m_gridSw = 0;
    GP::CFontEx m_font;
};
