#pragma once
// A root struct that mirrors the MIDI channel messages of 16 channels (notes and controllers)
// instead of system-exclusive data. Its values have paths like any other ("ms.ch[3].cc[7]"), so
// controls bind to them; they transmit themselves as channel messages through the struct's MIDI
// output, and channel messages from the MIDI input are written into them.
#include "model/CVeyStruct.h"

#include <array>
#include <memory>
#include <vector>

class CVeyMidiOut;
class CVeyMidiStruct;

// A value of one channel: it has no bytes in the parameter memory, only its parent and channel.
class CVeyMidiChannelValue : public CVeyValue
{
public:
    explicit CVeyMidiChannelValue(const CVeyValueDefinition* definition) : CVeyValue(definition) {}

    CVeyStruct* GetParent() const override { return m_parent; }
    // Only records the parent.
    bool Attach(CVeyStruct* parent) override;
    void DumpContents(GT::ATextOut& out) const override;
    std::string GetText() const override { return std::string(); }
    void SetText(const std::string&) override {}
    void SetTextClipped(const std::string&) override {}

    void SetChannel(const uint8_t* channel) { m_channel = channel; }
    uint8_t GetChannel() const { return m_channel ? *m_channel : 0; }

protected:
    // The bytes go to every device of the struct's MIDI output; false without one.
    bool SendShort(uint8_t status, uint8_t data1, uint8_t data2) const;

private:
    CVeyStruct* m_parent = nullptr;
    const uint8_t* m_channel = nullptr;
};

// The 128 key states of a channel: above 0 held with that note-on velocity, below 0 released with
// the negated release velocity, 0 off.
class CVeyMidiNoteValue : public CVeyMidiChannelValue
{
public:
    static constexpr int kKeyCount = 128;

    explicit CVeyMidiNoteValue(const CVeyValueDefinition* definition);

    int GetKind() const override { return kArray; }
    // Keys whose state changes move to the end of the change order and wait to be sent; keys
    // whose state stays are marked sent. Shorter arrays set only their first keys.
    void SetArray(const std::vector<int32_t>& states) override;
    std::vector<int32_t> GetArray() const override;
    void SetNumber(int32_t) override {}
    int32_t GetNumber() const override { return 0; }
    // A note-on or note-off for every key not yet sent.
    bool Transmit() override;

    // A received note: the state changes and the key counts as sent (it came from outside).
    void Receive(uint8_t key, int32_t state);
    int32_t GetState(uint8_t key) const { return m_states[key & 0x7F]; }
    // Keys in the order of their last change, most recent last.
    const std::vector<uint8_t>& GetChangeOrder() const { return m_changeOrder; }

private:
    void MoveToEnd(uint8_t key);

    std::array<int32_t, kKeyCount> m_states{};
    std::array<bool, kKeyCount> m_sent;
    std::vector<uint8_t> m_changeOrder;
};

class CVeyMidiCcValue : public CVeyMidiChannelValue
{
public:
    CVeyMidiCcValue(const CVeyValueDefinition* definition, uint8_t controller);

    // Bits above the 7 of a data byte are dropped, as for any one-byte value.
    void SetNumber(int32_t number) override { m_data = static_cast<uint8_t>(number & 0x7F); }
    int32_t GetNumber() const override { return m_data; }
    // One control change.
    bool Transmit() override;
    void DumpContents(GT::ATextOut& out) const override;

    uint8_t GetController() const { return m_controller; }

private:
    uint8_t m_controller;
    uint8_t m_data = 0;
};

// cc2[i] pairs cc[i] (MSB) with cc[i+32] (LSB): 0 to 16383.
class CVeyMidiCc2Value : public CVeyMidiChannelValue
{
public:
    CVeyMidiCc2Value(const CVeyValueDefinition* definition, CVeyMidiCcValue* msb, CVeyMidiCcValue* lsb);

    void SetNumber(int32_t number) override;
    int32_t GetNumber() const override;
    // Both control changes, MSB first; the LSB only when the MSB went out.
    bool Transmit() override;

private:
    CVeyMidiCcValue* m_msb;
    CVeyMidiCcValue* m_lsb;
};

// Counts as changed on every channel message of its channel; holds nothing and sends nothing.
class CVeyMidiReceivedValue : public CVeyMidiChannelValue
{
public:
    using CVeyMidiChannelValue::CVeyMidiChannelValue;

    void SetNumber(int32_t) override {}
    int32_t GetNumber() const override { return 0; }
    bool Transmit() override { return true; }
};

class CVeyMidiStruct : public CVeyRootStruct
{
public:
    static constexpr int kChannelCount = 16;
    static constexpr int kCcCount = 120;
    static constexpr int kCc2Count = 32;

    class CChannel
    {
    public:
        CChannel(uint8_t number, const std::vector<const CVeyValueDefinition*>& definitions);
        CChannel(const CChannel&) = delete;
        CChannel& operator=(const CChannel&) = delete;

        // Every value in lookup order: note, cc[0..119], cc2[0..31], received.
        template <class TVisit>
        bool ForEachValue(TVisit visit);

        uint8_t number;
        CVeyMidiNoteValue note;
        std::vector<CVeyMidiCcValue> cc;
        std::vector<CVeyMidiCc2Value> cc2;
        CVeyMidiReceivedValue received;
    };

    // Installs the creator through which the buffer manager makes the script's "midiStruct"s.
    static void RegisterCreator();

    int GetKind() const override { return kMidi; }
    // Creates the 16 channels and attaches their values to the struct.
    bool Attach(CVeyStruct* parent) override;
    std::unique_ptr<CVeyStruct> Clone() const override;
    bool FindValue(const std::string& path, CVeyValue*& value) override;
    bool FindStruct(const std::string& path, CVeyStruct*& found) override;
    bool WriteData(const CVeyAddressRange&, const uint8_t*, std::vector<CVeyValue*>&) override { return false; }
    void DumpContents(GT::ATextOut& out) const override;

    // Writes a channel message (status | data1 << 8 | data2 << 16) into the values of its
    // channel and hands the changed values to the buffer manager as received data. False for
    // system messages, for data bytes of 80h or more, and before Attach.
    bool ReceiveShortMessage(uint32_t packed);
    // Universal system-exclusive messages carry nothing this struct mirrors: nothing changes and
    // the views need no refresh.
    bool ReceiveUniversal(const std::vector<uint8_t>& message);

    CChannel* GetChannel(int channel) const;

private:
    std::vector<std::unique_ptr<CChannel>> m_channels;
};
