#pragma once
// The librarian's dialogs and its forms' templates: the warning shown before a transfer with the
// instrument (with "Don't show this dialog again."), the grid dialog, the Standard MIDI File
// dialogs with their remembered folder and name, and the layouts of the two list forms.
#include "platform/Dialog.h"
#include "platform/DocView.h"

#include <functional>
#include <string>

// Ids of the forms, dialogs and controls.
namespace LibrarianIds
{
constexpr UINT kImageForm = 4111;
constexpr UINT kFileForm = 4136;
constexpr UINT kWarningDialog = 4139;
constexpr UINT kGridDialog = 4140;
constexpr UINT kMidiSetupDialog = 3077;
// The MIDI set-up's one device-ID box, shared by its two input and two output rows.
constexpr UINT kMidiDeviceId = 4096;
constexpr UINT kList = 4130;
constexpr UINT kReadAllButton = 4267;
constexpr UINT kReadSelectedButton = 4268;
constexpr UINT kWriteAllButton = 4269;
constexpr UINT kWriteSelectedButton = 4270;
constexpr UINT kWarningText = 4274;
constexpr UINT kWarningCheck = 4275;
constexpr UINT kGridOff = 4278;
constexpr UINT kGridOn = 4279;
// The row buttons have a range of their own: it must not meet the list's id or the form's
// buttons, which 4130 + row would for row 0 and rows 137 to 142.
constexpr UINT kFirstRowButton = 0x6000;
constexpr UINT kRowButtonCount = 256;
}

// Registers the forms' and dialogs' templates, in English or Japanese; harmless when repeated.
void RegisterLibrarianTemplates(bool english = true);

// The warning before a transfer. Kinds: 0 "ReadUser", 1 "WriteUser", 2 "ReadTemporary",
// 3 "WriteTemporary", 4 "ImportSMF" (keys of section "Option"; 1 means "not shown any more").
class CMidiWarningDlg : public CDialog
{
public:
    enum EKind
    {
        kReadUser = 0,
        kWriteUser,
        kReadTemporary,
        kWriteTemporary,
        kImportSmf,
    };

    CMidiWarningDlg(int kind, CWnd* parent);

    // True when the command may run: at once when the kind's key is set, else after OK (which
    // stores the check box under the key). Cancel stores nothing.
    static bool Confirm(int kind, CWnd* parent);
    static const char* GetKey(int kind);
    static int32_t GetMessageId(int kind);

    // Tests answer the dialog themselves: the hook gets the kind and the text, sets the check box
    // value and returns true for OK. Null restores the dialog.
    using FAnswer = std::function<bool(int kind, const std::string& text, bool& dontShowAgain)>;
    static void SetAnswerHook(FAnswer hook);

    int m_kind;
    int m_dontShowAgain = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::string MakeText() const;
};

class CSetGridDlg : public CDialog
{
public:
    explicit CSetGridDlg(CWnd* parent);
    int m_grid = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(UINT id, UINT code) override;
};

// The file dialog of librarian files, for Open and Save As: it offers librarian files and all
// files, starts in the folder of the proposed name or else in the folder a librarian file was last
// opened from or saved to ("Document"/"InitialDirectory"), and keeps the chosen filter as
// "Document"/"InitialFilterIndex".
class CDocMan : public CDocManager
{
public:
    BOOL DoPromptFileName(std::string& fileName, UINT captionId, DWORD flags, BOOL openFileDialog,
                          CDocTemplate* docTemplate) override;
};

// The Standard MIDI File dialogs (section "SMF"): the chosen path, empty when cancelled. A
// successful transfer stores the chosen folder and name with RememberSmfFile.
std::string PromptSmfFile(bool open, CWnd* parent);
void RememberSmfFile(const std::string& path);
// Tests choose the file themselves: the hook gets open/save and returns the path (empty: cancel).
using FSmfFileAnswer = std::function<std::string(bool open)>;
void SetSmfFileHook(FSmfFileAnswer hook);
