#pragma once
// Answers another process that wants to use this program's MIDI device factory: lists the device
// names, creates or releases devices, and asks the program to close. A request is its argument
// bytes followed by a 4-byte big-endian request code; nothing registers this receiver with a
// communicator in this program, so only a caller that holds it directly can reach it.
#include "toolkit/gt/SystemHooks.h"

#include <cstdint>
#include <string>
#include <vector>

class IMidiDeviceFactory;
class IVeyMidiDeviceFactory;

class CMidiDeviceIpc : public GT::CInterProcessCommunicator::IReceiver
{
public:
    enum ECode : uint32_t
    {
        kGetInputNames = 0,
        kGetOutputNames = 1,
        kCreateInputDevice = 2,
        kReleaseInputDevice = 3,
        kConfigureDevice = 4,
        kCreateOutputDevice = 5,
        kReleaseOutputDevice = 6,
        kQueryDevice = 7,
        kCloseProgram = 8,
    };

    static CMidiDeviceIpc& GetInstance();

    void OnReceive(const std::vector<uint8_t>& request, std::vector<uint8_t>& reply) override;

    void SetProgramName(const std::string& name) { m_programName = name; }
    const std::string& GetProgramName() const { return m_programName; }

protected:
    // The factory the requests act on: the program's device factory.
    virtual IVeyMidiDeviceFactory* GetFactory();

private:
    std::string m_programName;
};
