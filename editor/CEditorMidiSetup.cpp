#include "editor/CEditorMidiSetup.h"

#include "editor/EditorResources.h"
#include "midi/framework/CMidiSetupDialog.h"

namespace
{
using namespace EditorMidiSetup;

// The instrument's input and output, a Through pair, one hidden device-ID combo box shared by all
// rows, and a "Local On" box the dialog hides.
void RegisterTemplate()
{
    static const bool registered = [] {
        // In the resources' language.
        const bool english = LoadResourceString(IDS_LANGUAGE) == "English";
        auto text = [english](const char* englishText, const char* japanese) { return english ? englishText : japanese; };
        CDialogTemplate t;
        t.caption = text("Set Up MIDI Devices", "MIDI 機器の設定");
        t.width = 660;
        t.height = 250;
        const DWORD hidden = 0;
        // The lists are wide enough for a JACK port's whole name ("client:port", an a2j bridge's
        // names run long) with " (Unconnected)" behind it.
        t.items = {
            {EDialogControl::Button, kGroup, "", RECT{10, 8, 650, 92}, WS_VISIBLE | BS_GROUPBOX},
            {EDialogControl::Static, IDC_STATIC, text("&Input:", "入力(&I):"), RECT{22, 32, 90, 52}},
            {EDialogControl::ComboBox, kInput, "", RECT{96, 28, 638, 54}},
            {EDialogControl::Static, IDC_STATIC, text("&Output:", "出力(&O):"), RECT{22, 62, 90, 82}},
            {EDialogControl::ComboBox, kOutput, "", RECT{96, 58, 638, 84}},
            {EDialogControl::Static, IDC_STATIC, text("&Device ID", "デバイス ID(&D)"), RECT{22, 94, 90, 112}, hidden},
            {EDialogControl::ComboBox, kDeviceId, "", RECT{96, 92, 160, 116}, hidden},
            {EDialogControl::Button, kThruGroup, text("Through", "スルー"), RECT{10, 100, 650, 184}, WS_VISIBLE | BS_GROUPBOX},
            {EDialogControl::Static, IDC_STATIC, text("I&nput:", "入力(&N):"), RECT{22, 124, 90, 144}},
            {EDialogControl::ComboBox, kThruInput, "", RECT{96, 120, 638, 146}},
            {EDialogControl::Static, IDC_STATIC, text("O&utput:", "出力(&U):"), RECT{22, 154, 90, 174}},
            {EDialogControl::ComboBox, kThruOutput, "", RECT{96, 150, 638, 176}},
            {EDialogControl::Button, kLocalOn, text("&Local On", "ローカル オン(&L)"), RECT{22, 192, 120, 212}, WS_VISIBLE | BS_AUTOCHECKBOX},
            {EDialogControl::Button, IDOK, "OK", RECT{484, 212, 560, 240}, WS_VISIBLE | BS_DEFPUSHBUTTON},
            {EDialogControl::Button, IDCANCEL, text("Cancel", "キャンセル"), RECT{570, 212, 646, 240}},
        };
        RegisterDialogTemplate(kTemplate, t);
        return true;
    }();
    (void)registered;
}
}

CMidiSetupDialogSettings EditorMidiSetup::Layout()
{
    RegisterTemplate();
    CMidiSetupDialogSettings settings;
    settings.templateId = kTemplate;
    settings.groupBoxId = kGroup;
    settings.groupBoxCaption = "Talvarix";
    settings.inputRows = {{kInput, kDeviceId, 16, 31}, {kThruInput, kDeviceId, 16, 31}};
    settings.outputRows = {{kOutput, kDeviceId, 16, 31}, {kThruOutput, kDeviceId, 16, 31}};
    settings.localOnId = kLocalOn;
    return settings;
}

void ShowEditorMidiSetUp(CWnd* parent)
{
    CMidiSetupDialog dialog(EditorMidiSetup::Layout(), parent);
    dialog.DoModal();
}
