#include "midi/framework/CMidiSetupDialog.h"

#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "platform/Controls.h"

#include <algorithm>

namespace
{
constexpr int32_t kHighestDataByte = 0x7F;

CComboBox* Combo(const CWnd& dialog, UINT id) { return static_cast<CComboBox*>(dialog.GetDlgItem(id)); }

void FillChoices(CComboBox* combo, const std::vector<std::string>& choices, const std::string& shown)
{
    if (!combo)
        return;
    combo->SendMessage(CB_RESETCONTENT);
    for (const std::string& choice : choices)
        combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    combo->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(static_cast<intptr_t>(combo->FindStringExact(-1, shown.c_str()))));
}
}

CMidiSetupDialog::CMidiSetupDialog(const CMidiSetupDialogSettings& settings, CWnd* parent)
    : CDialog(settings.templateId, parent), m_settings(settings)
{
}

std::vector<std::string> CMidiSetupDialog::DeviceIdChoices(const CMidiSetupDialogSettings::CPortRow& row)
{
    std::vector<std::string> choices;
    const int32_t lowest = std::max(row.lowestDeviceId, 0);
    const int32_t highest = std::min(row.highestDeviceId, kHighestDataByte);
    for (int32_t id = lowest; id <= highest; ++id)
        choices.push_back(std::to_string(id + 1));
    return choices;
}

void CMidiSetupDialog::FillDeviceIds(const CMidiSetupDialogSettings::CPortRow& row, uint8_t deviceId)
{
    FillChoices(Combo(*this, row.deviceIdComboId), DeviceIdChoices(row), std::to_string(deviceId + 1));
}

void CMidiSetupDialog::DisableRow(const CMidiSetupDialogSettings::CPortRow& row)
{
    for (UINT id : {row.deviceComboId, row.deviceIdComboId})
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(FALSE);
}

bool CMidiSetupDialog::ReadDeviceId(const CMidiSetupDialogSettings::CPortRow& row, uint8_t& deviceId) const
{
    const CWnd* combo = GetDlgItem(row.deviceIdComboId);
    return combo && CVeyMidiSetup::ParseShownDeviceId(combo->GetWindowText(), row.lowestDeviceId,
                                                      row.highestDeviceId, deviceId);
}

BOOL CMidiSetupDialog::OnInitDialog()
{
    CVeyMidiSetup& setup = CVeyMidiSetup::GetInstance();
    // Open first, so that the shown names say which devices are really there.
    setup.OpenAllDevices();
    SetDlgItemText(m_settings.groupBoxId, m_settings.groupBoxCaption.c_str());

    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    for (size_t k = 0; k < m_settings.inputRows.size(); ++k)
    {
        const auto& row = m_settings.inputRows[k];
        if (k >= inputs.size())
        {
            DisableRow(row);
            continue;
        }
        FillChoices(Combo(*this, row.deviceComboId), setup.GetInputChoices(inputs[k]),
                    CVeyMidiSetup::GetShownName(inputs[k]));
        FillDeviceIds(row, inputs[k].GetDeviceId());
    }
    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    for (size_t k = 0; k < m_settings.outputRows.size(); ++k)
    {
        const auto& row = m_settings.outputRows[k];
        if (k >= outputs.size())
        {
            DisableRow(row);
            continue;
        }
        FillChoices(Combo(*this, row.deviceComboId), setup.GetOutputChoices(outputs[k]),
                    CVeyMidiSetup::GetShownName(outputs[k]));
        FillDeviceIds(row, outputs[k].GetDeviceId());
    }
    if (m_settings.localOnId != -1)
        if (CWnd* localOn = GetDlgItem(static_cast<UINT>(m_settings.localOnId)))
            localOn->ShowWindow(SW_HIDE);
    return CDialog::OnInitDialog();
}

void CMidiSetupDialog::OnOK()
{
    // The dialog ends here, but its controls stay readable until the handler returns.
    CDialog::OnOK();
    CVeyMidiSetup& setup = CVeyMidiSetup::GetInstance();
    setup.CloseAllDevices();
    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    for (size_t k = 0; k < m_settings.inputRows.size() && k < inputs.size(); ++k)
    {
        const auto& row = m_settings.inputRows[k];
        if (CWnd* combo = GetDlgItem(row.deviceComboId))
            setup.AttachInput(inputs[k], combo->GetWindowText());
        // A text that is no ID of the row (nothing chosen) leaves the port's ID as it was.
        uint8_t deviceId = inputs[k].GetDeviceId();
        if (ReadDeviceId(row, deviceId))
            inputs[k].SetDeviceId(deviceId);
    }
    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    for (size_t k = 0; k < m_settings.outputRows.size() && k < outputs.size(); ++k)
    {
        const auto& row = m_settings.outputRows[k];
        if (CWnd* combo = GetDlgItem(row.deviceComboId))
            setup.AttachOutput(outputs[k], combo->GetWindowText());
        uint8_t deviceId = outputs[k].GetDeviceId();
        if (ReadDeviceId(row, deviceId))
            outputs[k].SetDeviceId(deviceId);
    }
    setup.OpenAllDevices();
    setup.Save();
}
