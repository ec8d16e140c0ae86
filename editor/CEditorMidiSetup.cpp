#include "editor/CEditorMidiSetup.h"

#include "midi/framework/CMidiSetupDialog.h"

namespace
{
using namespace EditorMidiSetup;

// The instrument's input and output, a Through pair, one hidden device-ID combo box shared by all
// rows, and a "Local On" box the dialog hides.
void RegisterTemplate()
{
    static const bool registered = [] {
        CDialogTemplate t;
        t.caption = "Set Up MIDI Devices";
        t.width = 360;
        t.height = 250;
        const DWORD hidden = 0;
        t.items = {
            {EDialogControl::Button, kGroup, "", RECT{10, 8, 350, 92}, WS_VISIBLE | BS_GROUPBOX},
            {EDialogControl::Static, IDC_STATIC, "&Input:", RECT{22, 32, 90, 52}},
            {EDialogControl::ComboBox, kInput, "", RECT{96, 28, 338, 54}},
            {EDialogControl::Static, IDC_STATIC, "&Output:", RECT{22, 62, 90, 82}},
            {EDialogControl::ComboBox, kOutput, "", RECT{96, 58, 338, 84}},
            {EDialogControl::Static, IDC_STATIC, "&Device ID", RECT{22, 94, 90, 112}, hidden},
            {EDialogControl::ComboBox, kDeviceId, "", RECT{96, 92, 160, 116}, hidden},
            {EDialogControl::Button, kThruGroup, "Through", RECT{10, 100, 350, 184}, WS_VISIBLE | BS_GROUPBOX},
            {EDialogControl::Static, IDC_STATIC, "I&nput:", RECT{22, 124, 90, 144}},
            {EDialogControl::ComboBox, kThruInput, "", RECT{96, 120, 338, 146}},
            {EDialogControl::Static, IDC_STATIC, "O&utput:", RECT{22, 154, 90, 174}},
            {EDialogControl::ComboBox, kThruOutput, "", RECT{96, 150, 338, 176}},
            {EDialogControl::Button, kLocalOn, "&Local On", RECT{22, 192, 120, 212}, WS_VISIBLE | BS_AUTOCHECKBOX},
            {EDialogControl::Button, IDOK, "OK", RECT{184, 212, 260, 240}, WS_VISIBLE | BS_DEFPUSHBUTTON},
            {EDialogControl::Button, IDCANCEL, "Cancel", RECT{270, 212, 346, 240}},
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
