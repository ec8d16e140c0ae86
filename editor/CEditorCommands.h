#pragma once
// The editor's menu commands: documents, Standard MIDI Files, the patch clipboard, the MIDI
// message copy, the manual and the MIDI setup, by command id.
#include "platform/Win32Types.h"

#include <cstdint>

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

    CEditorCommands(CBufferAccessor& instrument, CDocumentDialog& documents) : m_instrument(instrument), m_documents(documents) {}

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
    bool CopyMidiMessage();

private:
    CBufferAccessor& m_instrument;
    CDocumentDialog& m_documents;
};
