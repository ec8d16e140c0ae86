#pragma once
// Thin wrappers over the multimedia MIDI handles. Each call's result is judged by a reporter;
// the wrappers return its verdict.
#include "platform/MidiApi.h"

#include <string>
#include <vector>

namespace ML
{
class AMMReporter
{
public:
    virtual ~AMMReporter() = default;
    // True when the call succeeded.
    virtual bool Report(MMRESULT result);
};

// The reporters of input and output calls. Each accessor returns the installed reporter when one
// is set, its default one otherwise.
AMMReporter& GetInputReporter();
AMMReporter& GetOutputReporter();
void SetInputReporter(AMMReporter* reporter);
void SetOutputReporter(AMMReporter* reporter);

class CMMIn
{
public:
    CMMIn() = default;
    virtual ~CMMIn() = default;
    CMMIn(const CMMIn&) = delete;
    CMMIn& operator=(const CMMIn&) = delete;

    bool GetDevCaps(MIDIINCAPS& caps) const;
    bool Open(UINT deviceId, MIDIINPROC callback, DWORD_PTR instance, DWORD flags);
    bool Close();
    bool PrepareHeader(MIDIHDR* header);
    bool UnprepareHeader(MIDIHDR* header);
    bool AddBuffer(MIDIHDR* header);
    bool Start();
    bool Stop();
    bool Reset();

    // A handle is present and the device behind it still answers.
    bool IsOpen() const;
    bool HasHandle() const { return m_handle != nullptr; }

    // The names of the devices whose capabilities can be read, in device-number order.
    static std::vector<std::string> GetInputNames();
    // Opens the first device, by device number, whose name equals `name` exactly.
    bool OpenByName(const std::string& name, MIDIINPROC callback, DWORD_PTR instance, DWORD flags);

private:
    HMIDIIN m_handle = nullptr;
};

class CMMOut
{
public:
    CMMOut() = default;
    virtual ~CMMOut() = default;
    CMMOut(const CMMOut&) = delete;
    CMMOut& operator=(const CMMOut&) = delete;

    bool GetDevCaps(MIDIOUTCAPS& caps) const;
    bool Open(UINT deviceId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    bool Close();
    bool PrepareHeader(MIDIHDR* header);
    bool UnprepareHeader(MIDIHDR* header);
    bool Reset();
    bool LongMsg(MIDIHDR* header);
    bool ShortMsg(DWORD message);

    bool IsOpen() const;
    bool HasHandle() const { return m_handle != nullptr; }

    static std::vector<std::string> GetOutputNames();
    bool OpenByName(const std::string& name, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);

private:
    HMIDIOUT m_handle = nullptr;
};

// A MIDI buffer header with its own buffer.
class CPacket
{
public:
    static constexpr DWORD kSize = 2048;

    CPacket();
    virtual ~CPacket() = default;
    CPacket(const CPacket&) = delete;
    CPacket& operator=(const CPacket&) = delete;

    MIDIHDR* GetHeader() { return &m_header; }
    BYTE* GetData() { return m_buffer; }

private:
    MIDIHDR m_header;
    BYTE m_buffer[kSize];
};
}
