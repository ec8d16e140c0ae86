#include "midi/framework/CVeyMidiStruct.h"

#include "midi/framework/CVeyMidi.h"
#include "model/CVeyBufferManager.h"
#include "toolkit/gt/TextOut.h"

#include <algorithm>
#include <cctype>

namespace
{
constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kControlChange = 0xB0;

// Definition order inside a channel's list: note, cc[0..119], cc2[0..31], received.
constexpr size_t kCcFirst = 1;
constexpr size_t kCc2First = kCcFirst + CVeyMidiStruct::kCcCount;
constexpr size_t kReceivedIndex = kCc2First + CVeyMidiStruct::kCc2Count;

std::vector<const CVeyValueDefinition*> InternChannelDefinitions()
{
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    auto intern = [&manager](const std::string& name, int32_t encoding, int32_t min, int32_t max) {
        CVeyValueDefinition definition;
        definition.name = name;
        definition.encoding = encoding;
        definition.min = min;
        definition.max = max;
        return manager.InternValueDefinition(definition);
    };
    std::vector<const CVeyValueDefinition*> definitions;
    definitions.push_back(intern("note", CVeyValueDefinition::kArray, -127, 127));
    for (int i = 0; i < CVeyMidiStruct::kCcCount; ++i)
        definitions.push_back(intern(MakeArrayElementName("cc", i), CVeyValueDefinition::kInt1x7, 0, 127));
    for (int i = 0; i < CVeyMidiStruct::kCc2Count; ++i)
        definitions.push_back(intern(MakeArrayElementName("cc2", i), CVeyValueDefinition::kInt2x7, 0, 16383));
    definitions.push_back(intern("received", CVeyValueDefinition::kInt1x7, 0, 1));
    return definitions;
}

// "<prefix>[<decimal>]" with nothing else; the number, or -1.
int ParseIndexed(const std::string& text, const char* prefix)
{
    const size_t prefixLength = std::char_traits<char>::length(prefix);
    if (text.size() < prefixLength + 3 || text.compare(0, prefixLength, prefix) != 0 || text[prefixLength] != '[' ||
        text.back() != ']')
        return -1;
    int number = 0;
    for (size_t i = prefixLength + 1; i + 1 < text.size(); ++i)
    {
        if (!std::isdigit(static_cast<unsigned char>(text[i])) || number > 1000)
            return -1;
        number = number * 10 + (text[i] - '0');
    }
    // Names match exactly: "cc[07]" is not "cc[7]".
    return MakeArrayElementName(prefix, number) == text ? number : -1;
}

std::unique_ptr<CVeyStruct> CreateMidiStruct()
{
    return std::make_unique<CVeyMidiStruct>();
}
}

// ---------------------------------------------------------------------------------------------
// Channel values

bool CVeyMidiChannelValue::Attach(CVeyStruct* parent)
{
    m_parent = parent;
    return true;
}

void CVeyMidiChannelValue::DumpContents(GT::ATextOut& out) const
{
    out.Write("<value>\n");
    out.Indent(4);
    CVeyValue::DumpContents(out);
    out.Indent(-4);
    out.Write("</value>\n");
}

bool CVeyMidiChannelValue::SendShort(uint8_t status, uint8_t data1, uint8_t data2) const
{
    const auto* midiStruct = dynamic_cast<const CVeyRootStruct*>(m_parent);
    auto* output = midiStruct ? dynamic_cast<CVeyMidiOut*>(midiStruct->GetMidiOut()) : nullptr;
    if (!output)
        return false;
    // Data bytes stay below 80h, or a receiver would take them for a status.
    const uint8_t bytes[3] = {static_cast<uint8_t>(status | (GetChannel() & 0x0F)), static_cast<uint8_t>(data1 & 0x7F),
                              static_cast<uint8_t>(data2 & 0x7F)};
    return output->SendToDevices(std::vector<uint8_t>(bytes, bytes + 3));
}

CVeyMidiNoteValue::CVeyMidiNoteValue(const CVeyValueDefinition* definition) : CVeyMidiChannelValue(definition)
{
    m_sent.fill(true);
}

void CVeyMidiNoteValue::MoveToEnd(uint8_t key)
{
    m_changeOrder.erase(std::remove(m_changeOrder.begin(), m_changeOrder.end(), key), m_changeOrder.end());
    m_changeOrder.push_back(key);
}

void CVeyMidiNoteValue::SetArray(const std::vector<int32_t>& states)
{
    const size_t count = std::min(states.size(), static_cast<size_t>(kKeyCount));
    for (size_t key = 0; key < count; ++key)
    {
        if (states[key] == m_states[key])
        {
            m_sent[key] = true;
            continue;
        }
        MoveToEnd(static_cast<uint8_t>(key));
        m_sent[key] = false;
        m_states[key] = states[key];
    }
}

std::vector<int32_t> CVeyMidiNoteValue::GetArray() const
{
    return std::vector<int32_t>(m_states.begin(), m_states.end());
}

void CVeyMidiNoteValue::Receive(uint8_t key, int32_t state)
{
    key &= 0x7F;
    m_states[key] = state;
    m_sent[key] = true;
    MoveToEnd(key);
}

bool CVeyMidiNoteValue::Transmit()
{
    const auto* root = dynamic_cast<const CVeyRootStruct*>(GetParent());
    if (!root || !root->GetMidiOut())
        return false;
    bool allSent = true;
    for (int key = 0; key < kKeyCount; ++key)
    {
        if (m_sent[key])
            continue;
        const int32_t state = m_states[key];
        // Velocities are clamped into a data byte; a note-on always has a velocity of at least 1.
        if (state >= 1)
            allSent = SendShort(kNoteOn, static_cast<uint8_t>(key), static_cast<uint8_t>(std::min(state, 127))) && allSent;
        else
            allSent = SendShort(kNoteOff, static_cast<uint8_t>(key),
                                static_cast<uint8_t>(std::min(-static_cast<int64_t>(state), int64_t{127}))) &&
                      allSent;
        m_sent[key] = true;
    }
    return allSent;
}

CVeyMidiCcValue::CVeyMidiCcValue(const CVeyValueDefinition* definition, uint8_t controller)
    : CVeyMidiChannelValue(definition), m_controller(controller)
{
}

bool CVeyMidiCcValue::Transmit()
{
    return SendShort(kControlChange, m_controller, m_data);
}

void CVeyMidiCcValue::DumpContents(GT::ATextOut& out) const
{
    out.Write("<value>\n");
    out.Indent(4);
    CVeyValue::DumpContents(out);
    out.Printf("<ccId>%d<ccId>\n", m_controller);
    out.Printf("<data>%d<data>\n", m_data);
    out.Indent(-4);
    out.Write("</value>\n");
}

CVeyMidiCc2Value::CVeyMidiCc2Value(const CVeyValueDefinition* definition, CVeyMidiCcValue* msb, CVeyMidiCcValue* lsb)
    : CVeyMidiChannelValue(definition), m_msb(msb), m_lsb(lsb)
{
}

void CVeyMidiCc2Value::SetNumber(int32_t number)
{
    // Shifts and masks, so that a negative number still gives two data bytes.
    m_msb->SetNumber((number >> 7) & 0x7F);
    m_lsb->SetNumber(number & 0x7F);
}

int32_t CVeyMidiCc2Value::GetNumber() const
{
    return m_msb->GetNumber() * 128 + m_lsb->GetNumber();
}

bool CVeyMidiCc2Value::Transmit()
{
    return m_msb->Transmit() && m_lsb->Transmit();
}

// ---------------------------------------------------------------------------------------------
// The struct

CVeyMidiStruct::CChannel::CChannel(uint8_t channelNumber, const std::vector<const CVeyValueDefinition*>& definitions)
    : number(channelNumber), note(definitions[0]), received(definitions[kReceivedIndex])
{
    cc.reserve(kCcCount);
    for (int i = 0; i < kCcCount; ++i)
        cc.emplace_back(definitions[kCcFirst + static_cast<size_t>(i)], static_cast<uint8_t>(i));
    cc2.reserve(kCc2Count);
    for (int i = 0; i < kCc2Count; ++i)
        cc2.emplace_back(definitions[kCc2First + static_cast<size_t>(i)], &cc[static_cast<size_t>(i)],
                         &cc[static_cast<size_t>(i) + 32]);
}

template <class TVisit>
bool CVeyMidiStruct::CChannel::ForEachValue(TVisit visit)
{
    if (!visit(note))
        return false;
    for (CVeyMidiCcValue& value : cc)
    {
        if (!visit(value))
            return false;
    }
    for (CVeyMidiCc2Value& value : cc2)
    {
        if (!visit(value))
            return false;
    }
    return visit(received);
}

void CVeyMidiStruct::RegisterCreator()
{
    VeySetMidiStructCreator(&CreateMidiStruct);
}

bool CVeyMidiStruct::Attach(CVeyStruct*)
{
    const std::vector<const CVeyValueDefinition*> definitions = InternChannelDefinitions();
    m_channels.clear();
    for (int c = 0; c < kChannelCount; ++c)
    {
        auto channel = std::make_unique<CChannel>(static_cast<uint8_t>(c), definitions);
        CChannel& record = *channel;
        m_channels.push_back(std::move(channel));
        const bool attached = record.ForEachValue([this, &record](CVeyMidiChannelValue& value) {
            value.SetChannel(&record.number);
            return value.Attach(this);
        });
        if (!attached)
            return false;
    }
    return true;
}

std::unique_ptr<CVeyStruct> CVeyMidiStruct::Clone() const
{
    auto copy = std::make_unique<CVeyMidiStruct>();
    copy->SetDefinition(GetDefinition());
    return copy;
}

CVeyMidiStruct::CChannel* CVeyMidiStruct::GetChannel(int channel) const
{
    if (channel < 0 || static_cast<size_t>(channel) >= m_channels.size())
        return nullptr;
    return m_channels[static_cast<size_t>(channel)].get();
}

bool CVeyMidiStruct::FindStruct(const std::string& path, CVeyStruct*& found)
{
    if (path != GetName())
        return false;
    found = this;
    return true;
}

bool CVeyMidiStruct::FindValue(const std::string& path, CVeyValue*& value)
{
    std::string rest;
    if (!MatchPathPrefix(path, GetName(), rest))
        return false;
    const size_t dot = rest.find('.');
    if (dot == std::string::npos)
        return false;
    CChannel* channel = GetChannel(ParseIndexed(rest.substr(0, dot), "ch"));
    if (!channel)
        return false;
    const std::string name = rest.substr(dot + 1);
    if (name == "note")
    {
        value = &channel->note;
        return true;
    }
    if (name == "received")
    {
        value = &channel->received;
        return true;
    }
    const int cc = ParseIndexed(name, "cc");
    if (cc >= 0 && cc < kCcCount)
    {
        value = &channel->cc[static_cast<size_t>(cc)];
        return true;
    }
    const int cc2 = ParseIndexed(name, "cc2");
    if (cc2 >= 0 && cc2 < kCc2Count)
    {
        value = &channel->cc2[static_cast<size_t>(cc2)];
        return true;
    }
    return false;
}

void CVeyMidiStruct::DumpContents(GT::ATextOut& out) const
{
    out.Write("<midiStruct>\n");
    out.Indent(4);
    out.Printf("<name>%s</name>\n", GetName().c_str());
    for (const auto& channel : m_channels)
    {
        out.Write("<value>\n");
        out.Indent(4);
        channel->note.DumpContents(out);
        for (const CVeyMidiCcValue& value : channel->cc)
            value.DumpContents(out);
        for (const CVeyMidiCc2Value& value : channel->cc2)
            value.DumpContents(out);
        out.Indent(-4);
        out.Write("</value>\n");
    }
    out.Indent(-4);
    out.Write("</midiStruct>\n");
}

bool CVeyMidiStruct::ReceiveShortMessage(uint32_t packed)
{
    const uint8_t status = static_cast<uint8_t>(packed);
    const uint8_t data1 = static_cast<uint8_t>(packed >> 8);
    const uint8_t data2 = static_cast<uint8_t>(packed >> 16);
    if (status < 0x80 || status >= 0xF0)
        return false;
    // A key or controller number of 80h or more would index past the channel's values.
    if (data1 >= 0x80 || data2 >= 0x80)
        return false;
    CChannel* channel = GetChannel(status & 0x0F);
    if (!channel)
        return false;

    CVeyValueList changed;
    switch (status & 0xF0)
    {
    case kNoteOff:
        channel->note.Receive(data1, -static_cast<int32_t>(data2));
        changed.push_back(&channel->note);
        break;
    case kNoteOn:
        channel->note.Receive(data1, data2);
        changed.push_back(&channel->note);
        break;
    case kControlChange:
        if (data1 < kCcCount)
        {
            channel->cc[data1].SetNumber(data2);
            changed.push_back(&channel->cc[data1]);
            if (data1 < 32)
            {
                channel->cc[data1 + 32u].SetNumber(0);
                changed.push_back(&channel->cc[data1 + 32u]);
            }
            if (data1 < 64)
                changed.push_back(&channel->cc2[data1 % 32u]);
        }
        break;
    default:
        break;   // key pressure, program change, channel pressure, pitch bend: no value takes data
    }
    changed.push_back(&channel->received);
    return CVeyBufferManager::GetInstance().OnValuesReceived(changed);
}

bool CVeyMidiStruct::ReceiveUniversal(const std::vector<uint8_t>&)
{
    return false;
}
