#pragma once
// The dialog that chooses a device for each MIDI port of the script and the ports' device ID.
// The program's dialog template supplies the controls; the settings record names them: per port
// row a device combo box and a device-ID combo box with its range. Row k of the inputs belongs to
// the k-th script input, row k of the outputs to the k-th script output. Device IDs are shown
// 1-based (ID 10h shows as "17").
#include "platform/Dialog.h"

#include <cstdint>
#include <string>
#include <vector>

class CMidiSetupDialogSettings
{
public:
    struct CPortRow
    {
        UINT deviceComboId;
        UINT deviceIdComboId;
        int32_t lowestDeviceId;
        int32_t highestDeviceId;
    };

    UINT templateId = 0;
    UINT groupBoxId = 0;
    std::string groupBoxCaption;
    std::vector<CPortRow> inputRows;
    std::vector<CPortRow> outputRows;
    int32_t localOnId = -1;   // a "Local On" check box to hide; -1 for none
};

class CMidiSetupDialog : public CDialog
{
public:
    explicit CMidiSetupDialog(const CMidiSetupDialogSettings& settings, CWnd* parent = nullptr);

    // The texts a device-ID combo box offers for a row: lowest + 1 to highest + 1, kept to the IDs
    // a data byte can carry (00h to 7Fh).
    static std::vector<std::string> DeviceIdChoices(const CMidiSetupDialogSettings::CPortRow& row);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void FillDeviceIds(const CMidiSetupDialogSettings::CPortRow& row, uint8_t deviceId);
    void DisableRow(const CMidiSetupDialogSettings::CPortRow& row);
    bool ReadDeviceId(const CMidiSetupDialogSettings::CPortRow& row, uint8_t& deviceId) const;

    CMidiSetupDialogSettings m_settings;
};
