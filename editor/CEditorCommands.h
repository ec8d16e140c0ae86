#pragma once
// The editor's menu commands: documents, Standard MIDI Files, the patch clipboard, the MIDI
// message copy, the MIDI setup, the manual and the about box, by command id.
#include "platform/Win32Types.h"

#include <cstdint>
#include <optional>
#include <string>

class CBufferAccessor;
class CDocumentDialog;

class CEditorCommands
{
public:
    enum : UINT
    {
        kCopyChorus = 32768,
        kCopyMfx = 32770,
        kCopyMidiMessage = 32774,
        kCopyReverb = 32791,
        kCopyTone1 = 32793,
        kCopyTone4 = 32796,
        kInitializePatch = 32799,
        kPasteChorus = 32803,
        kPasteMfx = 32805,
        kPasteReverb = 32825,
        kPasteTone1 = 32827,
        kPasteTone4 = 32830,
        kExit = 32833,
        kImportSmf = 32839,
        kOpen = 32840,
        kSave = 32841,
        kSaveAs = 32842,
        kAbout = 32844,
        kManual = 32845,
        kSetUpMidi = 32846,
        kExportSmf = 32856,
    };
    static constexpr int32_t kMessageLoadFailed = 4;
    static constexpr int32_t kMessageSaveFailed = 5;
    static constexpr int32_t kMessageManualPath = 9;
    static constexpr int32_t kMessageManualMissing = 57;
    static constexpr int32_t kMessageManualNotOpened = 58;

    CEditorCommands(CBufferAccessor& instrument, CDocumentDialog& documents) : m_instrument(instrument), m_documents(documents) {}
    // The commands on the running application's documents and the instrument layer; none while
    // the application has not installed the editor's document dialog.
    static std::optional<CEditorCommands> ForApplication();

    // The patch clipboard's code of a command; -1 for a command that is none of its.
    static int32_t PatchCodeOf(UINT id);

    // True when the command was one of these; `enabled` tells whether it may run now.
    bool IsEnabled(UINT id, bool& enabled) const;
    // True when the command was one of these (whatever its outcome).
    bool Run(UINT id);

    bool Open();
    int Save();
    int SaveAs();
    bool ImportSmf();
    bool ExportSmf();
    static bool CopyMidiMessage();
    static void SetUpMidiDevices();

    // The manual beside the program, in the language of the messages ("Manual/..." below the
    // program folder); the path is fixed by the first use and kept for the life of the process
    // (empty while the messages are not filled in).
    static const std::string& GetManualPath();
    // The manual's path in the language selected now, built afresh.
    static std::string BuildManualPath();
    // Hands the manual to the desktop's viewer. No manual may have been installed, or no viewer:
    // then a message box names the file, so a click on Manual never ends in silence (when the
    // desktop finds no viewer only after a while, the box comes then).
    static bool OpenManual();
    // The modal about box: the program's icon, name, version and copyright line.
    static void ShowAbout();

private:
    CBufferAccessor& m_instrument;
    CDocumentDialog& m_documents;
};
