#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiStruct.h"
#include "model/CVeyBufferManager.h"
#include "tests/midi/framework/PortFixture.h"
#include "tests/midi/ml/HexBytes.h"
#include "toolkit/gt/TextOut.h"

#include <gtest/gtest.h>

namespace
{
CVeyValue* Value(const std::string& path)
{
    CVeyValue* value = CVeyBufferManager::GetInstance().FindValueOrNull(path);
    EXPECT_NE(value, nullptr) << path;
    return value;
}

CVeyMidiIn& Input()
{
    return *CVeyMidiInputs::GetInstance().Find("in");
}

CVeyMidiOut& Output()
{
    return *CVeyMidiOutputs::GetInstance().Find("out");
}

CVeyMidiStruct& Ms()
{
    return *dynamic_cast<CVeyMidiStruct*>(CVeyBufferManager::GetInstance().FindStructOrNull("ms"));
}

// Channel values have the struct as parent, so their path names carry no channel: the label
// here is "ch[n].name".
std::string Label(CVeyValue* value)
{
    auto* channelValue = dynamic_cast<CVeyMidiChannelValue*>(value);
    return channelValue ? "ch[" + std::to_string(channelValue->GetChannel()) + "]." + value->GetName() : "?";
}

std::string ChangeList()
{
    std::string line;
    for (CVeyValue* value : CVeyBufferManager::GetInstance().GetChangeList())
        line += (line.empty() ? "" : " ") + Label(value);
    return line;
}

uint32_t Packed(const char* hex)
{
    const ML::Bytes bytes = Hex(hex);
    uint32_t packed = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        packed |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return packed;
}
}

using CMidiStructTest = CPortTest;

TEST_F(CMidiStructTest, FindsChannelValuesByPath)
{
    ASSERT_TRUE(Create());
    struct Case
    {
        const char* path;
        bool found;
    };
    const Case cases[] = {
        {"ms.ch[0].note", true},       {"ms.ch[15].cc[119]", true}, {"ms.ch[3].cc2[31]", true},
        {"ms.ch[3].received", true},   {"ms.ch[16].note", false},   {"ms.ch[-1].note", false},
        {"ms.ch[03].note", false},     {"ms.ch[3].cc[120]", false}, {"ms.ch[3].cc2[32]", false},
        {"ms.ch[3].cc[07]", false},    {"ms.ch[3]", false},         {"ms.ch[3].note.x", false},
        {"ms.cha[3].note", false},     {"ms.ch[3.note", false},     {"ms", false},
        {"msx.ch[0].note", false},     {"ms.ch[99999999999].note", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.path);
        CVeyValue* value = nullptr;
        EXPECT_EQ(Ms().FindValue(c.path, value), c.found);
        if (c.found)
        {
            EXPECT_EQ("ms." + Label(value), c.path);
            EXPECT_EQ(value->GetPathName(), "ms." + value->GetName());
        }
    }
    CVeyStruct* found = nullptr;
    EXPECT_TRUE(Ms().FindStruct("ms", found));
    EXPECT_EQ(found, &Ms());
    EXPECT_FALSE(Ms().FindStruct("ms.ch[0]", found));
    EXPECT_EQ(Ms().GetKind(), CVeyStruct::kMidi);
}

TEST_F(CMidiStructTest, ReceivesChannelMessages)
{
    ASSERT_TRUE(Create());
    struct Case
    {
        const char* name;
        const char* message;
        bool received;
        const char* changed;
        const char* path;   // a value read afterwards
        int32_t number;
    };
    // One struct for the whole table: later rows see the earlier ones' values.
    const Case cases[] = {
        {"note on", "93 3C 64", true, "ch[3].note ch[3].received", "ms.ch[3].note", 100},
        {"note off", "83 3C 40", true, "ch[3].note ch[3].received", "ms.ch[3].note", -64},
        {"note on velocity 0", "93 3C 00", true, "ch[3].note ch[3].received", "ms.ch[3].note", 0},
        {"control change", "B0 07 64", true, "ch[0].cc[7] ch[0].cc[39] ch[0].cc2[7] ch[0].received",
         "ms.ch[0].cc2[7]", 12800},
        {"LSB controller", "B0 28 05", true, "ch[0].cc[40] ch[0].cc2[8] ch[0].received", "ms.ch[0].cc2[8]", 5},
        {"controller above the pairs", "B1 50 11", true, "ch[1].cc[80] ch[1].received", "ms.ch[1].cc[80]", 17},
        {"channel mode message", "B0 79 00", true, "ch[0].received", "ms.ch[0].cc2[7]", 12800},
        {"program change", "CF 05 00", true, "ch[15].received", "ms.ch[15].received", 0},
        {"pitch bend", "E2 00 40", true, "ch[2].received", "ms.ch[2].received", 0},
        {"key number 80h", "90 80 40", false, "", "ms.ch[0].cc[7]", 100},
        {"velocity 80h", "90 3C 80", false, "", "ms.ch[0].cc[7]", 100},
        {"system message", "F8 00 00", false, "", "ms.ch[0].cc[7]", 100},
        {"no status", "3C 40 00", false, "", "ms.ch[0].cc[7]", 100},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVeyBufferManager::GetInstance().ClearChanges();
        EXPECT_EQ(Ms().ReceiveShortMessage(Packed(c.message)), c.received);
        EXPECT_EQ(ChangeList(), c.changed);
        const bool isNote = std::string(c.path) == "ms.ch[3].note";
        EXPECT_EQ(isNote ? Value(c.path)->GetArray().at(60) : Value(c.path)->GetNumber(), c.number);
    }
    EXPECT_EQ(Value("ms.ch[0].cc[39]")->GetNumber(), 0);
    EXPECT_FALSE(Ms().ReceiveUniversal(Hex("F0 7E 7F 09 01 F7")));
}

TEST_F(CMidiStructTest, ValuesTransmitChannelMessages)
{
    CreateWired();
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetValue(Value("ms.ch[5].cc2[1]"), 16383);
    EXPECT_EQ(Value("ms.ch[5].cc[1]")->GetNumber(), 127);
    EXPECT_EQ(Value("ms.ch[5].cc[33]")->GetNumber(), 127);
    manager.SetValue(Value("ms.ch[0].cc[7]"), 100);
    manager.SetValue(Value("ms.ch[0].cc2[2]"), -1);   // the bytes stay data bytes
    manager.SetValue(Value("ms.ch[0].received"), 1);
    std::vector<int32_t> keys(128, 0);
    keys[60] = 100;
    keys[62] = 200;    // clamped to a data byte
    keys[64] = -30;    // released
    manager.SetArray(Value("ms.ch[1].note"), keys);
    manager.Flush();
    manager.ClearChanges();
    const std::vector<std::string> expected = {
        "B5 01 7F", "B5 21 7F", "B0 07 64", "B0 02 7F", "B0 22 7F",
        "91 3C 64", "91 3E 7F", "81 40 1E",
    };
    EXPECT_EQ(m_out.sent, expected);
    EXPECT_EQ(Value("ms.ch[0].received")->GetNumber(), 0);

    // Only keys that changed go out again; a key set back to 0 sends a note-off of velocity 0.
    m_out.sent.clear();
    keys[60] = 0;
    manager.SetArray(Value("ms.ch[1].note"), keys);
    manager.Flush();
    manager.ClearChanges();
    EXPECT_EQ(m_out.sent, std::vector<std::string>{"81 3C 00"});
    EXPECT_EQ(ToHex(Output().GetLastMessage()), "81 3C 00");

    // A key received from the instrument is not echoed by the next transmit.
    m_out.sent.clear();
    Input().OnMessage(Hex("91 30 50"));
    EXPECT_TRUE(Value("ms.ch[1].note")->Transmit());
    EXPECT_TRUE(m_out.sent.empty());
}

TEST_F(CMidiStructTest, WithoutAPortNothingIsSent)
{
    CFixtureScript script;
    script.Output().GetAttributes().erase(script.Output().GetAttributes().begin() + 3);   // no midiStructRef
    ASSERT_TRUE(Create(script));
    EXPECT_FALSE(Value("ms.ch[0].cc[7]")->Transmit());
    EXPECT_FALSE(Value("ms.ch[0].cc2[7]")->Transmit());
    Value("ms.ch[0].note")->SetArray(std::vector<int32_t>(128, 1));
    EXPECT_FALSE(Value("ms.ch[0].note")->Transmit());
    EXPECT_TRUE(Value("ms.ch[0].received")->Transmit());
}

TEST_F(CMidiStructTest, ShortArraysAndDefaults)
{
    ASSERT_TRUE(Create());
    CVeyValue* note = Value("ms.ch[2].note");
    note->SetArray({5, 6});
    EXPECT_EQ(note->GetArray().size(), 128u);
    EXPECT_EQ(note->GetArray()[1], 6);
    note->RevertToDefault();   // a one-element array
    EXPECT_EQ(note->GetArray()[0], 0);
    EXPECT_EQ(note->GetArray()[1], 6);
    CVeyValue* cc = Value("ms.ch[2].cc[3]");
    cc->SetNumber(300);
    EXPECT_EQ(cc->GetNumber(), 300 & 0x7F);
    EXPECT_EQ(cc->GetText(), "");
}

TEST_F(CMidiStructTest, Dump)
{
    ASSERT_TRUE(Create());
    CVeyMidiStruct& ms = Ms();
    struct CCollect : GT::ATextOut
    {
        std::string text;

    protected:
        void WriteRaw(const std::string& raw) override { text += raw; }
    } out;
    ms.DumpContents(out);
    const std::string& text = out.text;
    const std::string head = "<midiStruct>\n    <name>ms</name>\n    <value>\n        <value>\n";
    const std::string tail = "        </value>\n    </value>\n</midiStruct>\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    size_t ccIds = 0;
    for (size_t at = text.find("<ccId>"); at != std::string::npos; at = text.find("<ccId>", at + 1))
        ++ccIds;
    EXPECT_EQ(ccIds, 2u * 16u * 120u) << "one <ccId>%d<ccId> line per controller";
    EXPECT_NE(text.find("            <ccId>7<ccId>\n            <data>0<data>\n        </value>\n"), std::string::npos);
    EXPECT_EQ(text.find("received"), std::string::npos) << "the received value is not dumped";
}
