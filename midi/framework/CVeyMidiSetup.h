#pragma once
// Which device serves which script MIDI port, and which device ID each port uses: kept in the
// settings ("MIDIConnection/MIDI%s"), opened and closed here, with a check that the instrument's
// input and output have devices at all.
#include <cstdint>
#include <string>
#include <vector>

class CVeyMidiIn;
class CVeyMidiOut;
class CVeyMidiInDevice;
class CVeyMidiOutDevice;

class CVeyMidiSetup
{
public:
    static constexpr const char* kKeyFormat = "MIDIConnection/MIDI%s";

    static CVeyMidiSetup& GetInstance();
    virtual ~CVeyMidiSetup() = default;

    // The device of that shown name (" (Unconnected)" stripped) from the device lists, made
    // through the device factory when there is none yet; null without a factory.
    virtual CVeyMidiInDevice* GetInputDevice(const std::string& shownName);
    virtual CVeyMidiOutDevice* GetOutputDevice(const std::string& shownName);

    // Nothing for "(none)"; otherwise the device serves the port (once).
    void AttachInput(CVeyMidiIn& port, const std::string& shownName);
    void AttachOutput(CVeyMidiOut& port, const std::string& shownName);

    // The device of a port, or null.
    static CVeyMidiInDevice* GetDeviceOf(const CVeyMidiIn& port);
    static CVeyMidiOutDevice* GetDeviceOf(const CVeyMidiOut& port);
    // The device's name for the settings, or "(none)".
    static std::string GetSettingName(const CVeyMidiIn& port);
    static std::string GetSettingName(const CVeyMidiOut& port);
    // The device's display name for the dialog, or "(none)".
    static std::string GetShownName(const CVeyMidiIn& port);
    static std::string GetShownName(const CVeyMidiOut& port);

    // The first script input and the first script output each have a device, open or not.
    bool IsConnected() const;
    // Opens every device, inputs first; true when all opened (all are tried).
    bool OpenAllDevices();
    // Detaches every device from the outputs and deletes all devices; the ports stay.
    void CloseAllDevices();

    // Reads the settings and attaches and opens the chosen devices. Settings follow ports by name;
    // of two ports with one name, the one at the stored index keeps its own row.
    void Load();
    void Save();

    // The choices of a dialog row: the present devices, "(none)", and the port's own device
    // with " (Unconnected)" when it is not among them.
    std::vector<std::string> GetInputChoices(const CVeyMidiIn& port);
    std::vector<std::string> GetOutputChoices(const CVeyMidiOut& port);

    // A device ID as the dialog shows it (1-based decimal) back to the port's ID: false, with
    // `deviceId` unchanged, unless the text is a number from lowest + 1 to highest + 1 and the
    // ID fits a data byte.
    static bool ParseShownDeviceId(const std::string& text, int lowest, int highest, uint8_t& deviceId);

private:
    CVeyMidiSetup() = default;
};
