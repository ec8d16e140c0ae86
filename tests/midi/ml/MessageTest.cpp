#include "midi/ml/CLongMessage.h"
#include "midi/ml/CShortMessage.h"
#include "midi/ml/CVantorMessage.h"
#include "midi/ml/IdentityMessage.h"
#include "tests/midi/ml/HexBytes.h"
#include "toolkit/gt/TextOut.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
class CStringTextOut : public GT::ATextOut
{
public:
    std::string text;
    int writes = 0;

protected:
    void WriteRaw(const std::string& raw) override
    {
        text += raw;
        ++writes;
    }
};

template <class TMessage>
std::string DumpOf(const TMessage& message)
{
    CStringTextOut out;
    message.Dump(out);
    EXPECT_EQ(out.writes, 1) << "a dump reaches the text output as one text";
    return out.text;
}

const std::string kColumns = "+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\n";
}

// ---------------------------------------------------------------------------------------------
// Short messages

TEST(ShortMessage, LengthFollowsTheStatusByte)
{
    struct Case
    {
        uint8_t status;
        size_t length;
    };
    const Case cases[] = {{0x80, 3}, {0x93, 3}, {0xA0, 3}, {0xBF, 3}, {0xE5, 3}, {0xF2, 3},
                          {0xC5, 2}, {0xD0, 2}, {0xF1, 2}, {0xF3, 2},
                          {0xF0, 1}, {0xF4, 1}, {0xF6, 1}, {0xF8, 1}, {0xFE, 1}, {0xFF, 1}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.status);
        const ML::CShortMessage message(c.status, 0x11, 0x22);
        ASSERT_EQ(message.size(), c.length);
        EXPECT_EQ(message.GetData1(), c.length >= 2 ? 0x11 : 0);
        EXPECT_EQ(message.GetData2(), c.length == 3 ? 0x22 : 0);
    }
}

TEST(ShortMessage, PacksAndUnpacksTheInputWord)
{
    const ML::CShortMessage control(uint32_t{0x004007B3});
    EXPECT_EQ(ToHex(control), "B3 07 40");
    EXPECT_EQ(control.Pack(), 0x004007B3u);

    const ML::CShortMessage program(0xC5, 0x10, 0x20);
    EXPECT_EQ(ToHex(program), "C5 10");
    EXPECT_EQ(program.GetData2(), 0);
    EXPECT_EQ(program.Pack(), 0x000010C5u);

    const ML::CShortMessage fromKind(0x90, 0x03, 0x3C, 0x64);
    EXPECT_EQ(ToHex(fromKind), "93 3C 64");
}

TEST(ShortMessage, KindAndChannel)
{
    uint8_t kind = 0, channel = 0x55;
    ML::CShortMessage(0xB7, 1, 2).GetKindAndChannel(kind, channel);
    EXPECT_EQ(kind, 0xB0);
    EXPECT_EQ(channel, 7);

    channel = 0x55;
    ML::CShortMessage(0xFE, 0, 0).GetKindAndChannel(kind, channel);
    EXPECT_EQ(kind, 0xFE);
    EXPECT_EQ(channel, 0x55) << "system messages leave the channel untouched";
}

TEST(ShortMessage, SetStatusResizesAndDataSettersRespectTheLength)
{
    ML::CShortMessage message(0x90, 0x3C, 0x64);
    message.SetStatus(0xC0, 0x02);
    EXPECT_EQ(ToHex(message), "C2 3C");
    message.SetData2(0x77);
    EXPECT_EQ(ToHex(message), "C2 3C");
    message.SetStatus(0xFE);
    EXPECT_EQ(ToHex(message), "FE");
    message.SetData1(0x01);
    EXPECT_EQ(ToHex(message), "FE");

    // A data byte given as status is the caller's error: only byte 0 changes.
    ML::CShortMessage noStatus(0x90, 0x3C, 0x64);
    noStatus.SetStatus(0x40);
    EXPECT_EQ(ToHex(noStatus), "40 3C 64");

    // Bytes taken unchanged, however short; the getters stay in range.
    const ML::CShortMessage empty(ML::Bytes{});
    EXPECT_EQ(empty.GetStatus(), 0);
    EXPECT_EQ(empty.Pack(), 0u);
}

TEST(ShortMessage, Dump)
{
    EXPECT_EQ(DumpOf(ML::CShortMessage(0x93, 0x3C, 0x64)), "93 3C 64 \n");
    EXPECT_EQ(DumpOf(ML::CShortMessage(0xFE, 0, 0)), "FE \n");
}

// ---------------------------------------------------------------------------------------------
// Long messages

TEST(LongMessage, NewMessageIsAnEmptySysex)
{
    const ML::CLongMessage message;
    EXPECT_EQ(ToHex(message), "F0 00 F7");
    EXPECT_GE(message.capacity(), 256u);
    EXPECT_EQ(message.GetDataLength(), 0u);
    EXPECT_TRUE(message.GetData().empty());
}

TEST(LongMessage, AssignAcceptsOnlyValidSysex)
{
    struct Case
    {
        const char* name;
        const char* bytes;
        bool valid;
    };
    const Case cases[] = {
        {"identity request", "F0 7E 7F 06 01 F7", true},
        {"shortest", "F0 7E F7", true},
        {"two bytes", "F0 F7", false},
        {"empty", "", false},
        {"no F0 first", "F1 41 10 F7", false},
        {"no F7 last", "F0 41 10 42", false},
        {"data byte 80h", "F0 41 80 42 F7", false},
        {"data byte FFh", "F0 41 10 FF F7", false},
        {"continuation piece", "41 10 42 12 F7", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ML::CLongMessage message;
        EXPECT_EQ(message.Assign(Hex(c.bytes)), c.valid);
        EXPECT_EQ(ToHex(message), c.valid ? ToHex(Hex(c.bytes)) : "F0 00 F7");
    }
}

TEST(LongMessage, ByteAccessorsOfAUniversalMessage)
{
    ML::CLongMessage message;
    ASSERT_TRUE(message.Assign(Hex("F0 7E 10 06 02 41 3C 02 00 00 01 00 00 00 F7")));
    EXPECT_EQ(message.GetManufacturerId(), 0x7E);
    EXPECT_EQ(message.GetDeviceId(), 0x10);
    EXPECT_EQ(message.GetByte3(), 0x06);
    EXPECT_EQ(message.GetByte4(), 0x02);

    EXPECT_TRUE(message.SetByte3(0x07));
    EXPECT_TRUE(message.SetByte4(0x01));
    EXPECT_TRUE(message.SetDeviceId(0x7F));
    EXPECT_EQ(ToHex(message).substr(0, 14), "F0 7E 7F 07 01");

    EXPECT_FALSE(message.SetManufacturerId(-1));
    EXPECT_EQ(message.GetManufacturerId(), 0x7E);
    EXPECT_TRUE(message.SetManufacturerId(0x41));
    EXPECT_EQ(message.GetManufacturerId(), 0x41);
}

TEST(LongMessage, ShortMessagesHaveNoBytesBeyondTheirEnd)
{
    // A valid 3-byte sysex has no device ID or sub-IDs; reading them must not run off the end and
    // writing them must not replace the closing F7.
    ML::CLongMessage message;
    ASSERT_TRUE(message.Assign(Hex("F0 7E F7")));
    EXPECT_EQ(message.GetManufacturerId(), 0x7E);
    EXPECT_EQ(message.GetDeviceId(), -1);
    EXPECT_EQ(message.GetByte3(), -1);
    EXPECT_EQ(message.GetByte4(), -1);
    EXPECT_FALSE(message.SetDeviceId(0x10));
    EXPECT_FALSE(message.SetByte3(0x06));
    EXPECT_FALSE(message.SetByte4(0x01));
    EXPECT_EQ(ToHex(message), "F0 7E F7");

    // Unchecked bytes from the constructor: no negative lengths.
    const ML::CLongMessage tiny(ML::Bytes{0xF0});
    EXPECT_EQ(tiny.GetDataLength(), 0u);
    EXPECT_TRUE(tiny.GetData().empty());
    EXPECT_EQ(tiny.GetManufacturerId(), -1);
}

TEST(LongMessage, SetDataKeepsTheFirstTwoBytes)
{
    ML::CLongMessage message;
    message.SetManufacturerId(0x7E);
    message.SetData(Hex("7F 06 01"));
    EXPECT_EQ(ToHex(message), "F0 7E 7F 06 01 F7");
    EXPECT_EQ(ToHex(message.GetData()), "7F 06 01");
    EXPECT_EQ(message.GetDataLength(), 3u);
    message.SetData({});
    EXPECT_EQ(ToHex(message), "F0 7E F7");
}

TEST(LongMessage, Dump)
{
    // Bytes 1 to length-2 break after every index whose low nibble is F; one more line break
    // when the length is not a multiple of 16; then the last byte.
    ML::CLongMessage shortOne;
    ASSERT_TRUE(shortOne.Assign(Hex("F0 7E 7F 06 01 F7")));
    EXPECT_EQ(DumpOf(shortOne), "F0\n" + kColumns + "7E 7F 06 01 \nF7\n");

    ML::Bytes seventeen(17, 0x01);
    seventeen.front() = 0xF0;
    seventeen.back() = 0xF7;
    ML::CLongMessage longOne(seventeen);
    EXPECT_EQ(DumpOf(longOne), "F0\n" + kColumns + "01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 \n\nF7\n");

    ML::Bytes sixteen(16, 0x02);
    sixteen.front() = 0xF0;
    sixteen.back() = 0xF7;
    EXPECT_EQ(DumpOf(ML::CLongMessage(sixteen)),
              "F0\n" + kColumns + "02 02 02 02 02 02 02 02 02 02 02 02 02 02 F7\n");
}

// ---------------------------------------------------------------------------------------------
// The maker's messages

TEST(VantorMessage, ResetAndBuildADataSet)
{
    ML::CVantorMessage message;
    EXPECT_EQ(ToHex(message), "F0 41 7F 42 12 F7");
    EXPECT_EQ(message.GetChecksum(), -1);

    message.SetAddress(Hex("00 00 00 01"));
    message.SetData(Hex("05"));
    EXPECT_EQ(ToHex(message), "F0 41 7F 42 12 00 00 00 01 05 F7") << "setters leave the checksum alone";
    message.UpdateChecksum();
    EXPECT_EQ(ToHex(message), "F0 41 7F 42 12 00 00 00 01 05 7A F7");
    EXPECT_EQ(message.GetChecksum(), 0x7A);

    message.Reset();
    EXPECT_EQ(ToHex(message), "F0 41 7F 42 12 F7");
    EXPECT_TRUE(message.GetAddress().empty());
}

TEST(VantorMessage, FieldSettersMoveTheLaterFields)
{
    ML::CVantorMessage message;
    message.SetModelId(Hex("00 00 3C"));
    EXPECT_EQ(message.GetField(ML::CVantorMessage::kDeviceId).offset, 2);
    EXPECT_EQ(message.GetField(ML::CVantorMessage::kModelId).offset, 3);
    EXPECT_EQ(message.GetField(ML::CVantorMessage::kModelId).length, 3);
    EXPECT_EQ(message.GetField(ML::CVantorMessage::kCommand).offset, 6);
    for (auto field : {ML::CVantorMessage::kAddress, ML::CVantorMessage::kData, ML::CVantorMessage::kChecksum})
    {
        EXPECT_EQ(message.GetField(field).offset, 7);
        EXPECT_EQ(message.GetField(field).length, 0);
    }

    message.SetModelId({});
    message.SetCommand({});
    EXPECT_EQ(ToHex(message), "F0 41 7F 00 00 3C 12 F7") << "empty model ID and command are ignored";

    message.SetDeviceId(0x10);
    message.SetCommand(ML::CVantorMessage::Rq1Command());
    message.SetAddress(Hex("10 00 00 00"));
    message.SetData(Hex("00 00 00 04"));
    message.UpdateChecksum();
    EXPECT_EQ(ToHex(message), "F0 41 10 00 00 3C 11 10 00 00 00 00 00 00 04 6C F7");
    EXPECT_EQ(ToHex(message.GetModelId()), "00 00 3C");
    EXPECT_EQ(ToHex(message.GetCommand()), "11");

    // Growing an early field keeps every later one intact.
    message.SetModelId(Hex("3D"));
    EXPECT_EQ(ToHex(message), "F0 41 10 3D 11 10 00 00 00 00 00 00 04 6C F7");
    EXPECT_EQ(ToHex(message.GetAddress()), "10 00 00 00");
    EXPECT_EQ(message.GetChecksum(), 0x6C);

    message.SetAddress({});
    EXPECT_EQ(ToHex(message), "F0 41 10 3D 11 00 00 00 04 6C F7");
}

TEST(VantorMessage, Checksum)
{
    struct Case
    {
        const char* address;
        const char* data;
        int checksum;
    };
    const Case cases[] = {
        {"", "", ML::CVantorMessage::kNoChecksum},
        {"10 00 00 00", "", 0x70},
        {"00 00 00 01", "05", 0x7A},
        {"", "01", 0x7F},
        {"7F 7F 7F 7F", "7F 7F 7F 7F 7F 7F 7F 7F", 0x0C},   // sums past 7 bits wrap
        {"1F 00 00 00", "41 42", 0x5E},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.address) + " / " + c.data);
        ML::CVantorMessage message;
        message.SetAddress(Hex(c.address));
        message.SetData(Hex(c.data));
        EXPECT_EQ(message.ComputeChecksum(), c.checksum);
        message.UpdateChecksum();
        EXPECT_EQ(message.GetChecksum(), c.checksum == ML::CVantorMessage::kNoChecksum ? -1 : c.checksum);
    }

    ML::CVantorMessage message;
    message.UpdateChecksum();
    EXPECT_EQ(ToHex(message), "F0 41 7F 42 12 F7") << "no checksum byte without address and data";
}

TEST(VantorMessage, Parse)
{
    struct Case
    {
        const char* name;
        const char* bytes;
        int addressSize;
        bool ok;
        const char* model = "";
        const char* command = "";
        const char* address = "";
        const char* data = "";
        int checksum = -1;
    };
    const char* dt1 = "F0 41 10 00 00 3C 12 10 00 00 00 41 42 6D F7";
    const Case cases[] = {
        {"data set, address size 4", dt1, 4, true, "00 00 3C", "12", "10 00 00 00", "41 42", 0x6D},
        {"data set, address size 3", dt1, 3, true, "00 00 3C", "12", "10 00 00", "00 41 42", 0x6D},
        {"request", "F0 41 10 00 00 3C 11 10 00 00 00 00 00 00 04 6C F7", 4, true, "00 00 3C", "11",
         "10 00 00 00", "00 00 00 04", 0x6C},
        {"empty data", "F0 41 10 42 12 01 02 7D F7", 2, true, "42", "12", "01 02", "", 0x7D},
        {"zero-padded command", "F0 41 10 42 00 12 01 7F F7", 1, true, "42", "00 12", "01", "", 0x7F},
        {"address size 0, nothing after the command", "F0 41 10 42 12 F7", 0, true, "42", "12", "", "", -1},
        {"address size 0 with data", "F0 41 10 42 12 05 06 07 F7", 0, true, "42", "12", "", "05 06", 0x07},
        {"five bytes", "F0 41 10 42 F7", 4, false},
        {"three bytes", "F0 7E F7", 0, false},
        {"no F0", "F1 41 10 42 12 01 02 03 F7", 1, false},
        {"no F7", "F0 41 10 42 12 01 02 03 F6", 1, false},
        {"data byte 80h", "F0 41 10 42 12 01 80 03 F7", 1, false},
        {"model ID runs into the end", "F0 41 10 00 00 00 F7", 0, false},
        {"model ID leaves no command", "F0 41 10 00 42 F7", 0, false},
        {"command runs into the end", "F0 41 10 42 00 00 F7", 0, false},
        {"no room for the address", "F0 41 10 42 12 01 02 F7", 4, false},
        {"no room for the checksum", "F0 41 10 42 12 01 02 03 04 F7", 4, false},
        {"address fills the rest", "F0 41 10 42 12 01 02 03 04 05 F7", 4, true, "42", "12", "01 02 03 04", "", 0x05},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ML::CVantorMessage message;
        ASSERT_EQ(message.Parse(Hex(c.bytes), c.addressSize), c.ok);
        if (!c.ok)
        {
            EXPECT_EQ(ToHex(message), "F0 41 7F 42 12 F7") << "a failed parse leaves the message as it was";
            continue;
        }
        EXPECT_EQ(ToHex(message), ToHex(Hex(c.bytes)));
        EXPECT_EQ(message.GetDeviceId(), 0x10);
        EXPECT_EQ(ToHex(message.GetModelId()), c.model);
        EXPECT_EQ(ToHex(message.GetCommand()), c.command);
        EXPECT_EQ(ToHex(message.GetAddress()), c.address);
        EXPECT_EQ(ToHex(message.GetData()), c.data);
        EXPECT_EQ(message.GetChecksum(), c.checksum);
    }
}

TEST(VantorMessage, ParsedMessageCanBeRebuilt)
{
    ML::CVantorMessage message;
    ASSERT_TRUE(message.Parse(Hex("F0 41 10 00 00 3C 12 10 00 00 00 41 42 6D F7"), 4));
    EXPECT_EQ(message.ComputeChecksum(), 0x6D);
    message.SetData(Hex("43"));
    message.UpdateChecksum();
    EXPECT_EQ(ToHex(message), "F0 41 10 00 00 3C 12 10 00 00 00 43 2D F7");
}

TEST(VantorMessage, Dump)
{
    struct Case
    {
        const char* name;
        const char* address;
        const char* data;
        std::string dump;
    };
    const Case cases[] = {
        {"no address: data from column 0", "", "01 02", "F0 41 7F 42 12 \n" + kColumns + "\n01 02 \n7D F7\n"},
        {"address ends in E: wraps after two", "10 00 00 0E", "01 02 03 04",
         "F0 41 7F 42 12 \n" + kColumns + "10 00 00 0E \n" + std::string(14 * 3, ' ') + "01 02 \n03 04 \n58 F7\n"},
        {"full line ends without extra break", "00 00 00 00",
         "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F",
         "F0 41 7F 42 12 \n" + kColumns + "00 00 00 00 \n00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \n08 F7\n"},
        {"no data, no checksum", "", "", "F0 41 7F 42 12 \n" + kColumns + "\nFF F7\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ML::CVantorMessage message;
        message.SetAddress(Hex(c.address));
        message.SetData(Hex(c.data));
        message.UpdateChecksum();
        EXPECT_EQ(DumpOf(message), c.dump);
    }

    ML::CVantorMessage withModel;
    withModel.SetDeviceId(0x10);
    withModel.SetModelId(Hex("00 00 3C"));
    withModel.SetAddress(Hex("01"));
    withModel.UpdateChecksum();
    EXPECT_EQ(DumpOf(withModel), "F0 41 10 00 00 3C 12 \n" + kColumns + "01 \n7F F7\n");
}

// Random and mutated bytes: the parsers never fail unsoundly, and whatever they accept keeps its
// fields inside the message, tiling it in order.
TEST(MessageFuzz, RandomAndMutatedBytes)
{
    std::mt19937 random(20261210);
    const ML::Bytes seed = Hex("F0 41 10 00 00 3C 12 10 00 00 00 41 42 6D F7");
    for (int round = 0; round < 20000; ++round)
    {
        ML::Bytes bytes;
        if (round % 2 == 0)
        {
            bytes = seed;
            const int mutations = 1 + static_cast<int>(random() % 4);
            for (int m = 0; m < mutations; ++m)
            {
                const size_t at = bytes.empty() ? 0 : random() % bytes.size();
                switch (random() % 4)
                {
                case 0:
                    if (!bytes.empty())
                        bytes[at] = static_cast<uint8_t>(random());
                    break;
                case 1:
                    if (!bytes.empty())
                        bytes.erase(bytes.begin() + static_cast<long>(at));
                    break;
                case 2:
                    bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<uint8_t>(random() % 3));
                    break;
                default:
                    bytes.resize(at);
                    break;
                }
            }
        }
        else
        {
            bytes.resize(random() % 12);
            for (uint8_t& b : bytes)
                b = static_cast<uint8_t>(random() % 2 ? random() % 0x80 : random());
            if (!bytes.empty() && random() % 2)
            {
                bytes.front() = 0xF0;
                bytes.back() = 0xF7;
            }
        }
        const int addressSize = static_cast<int>(random() % 6) - 1;

        ML::CVantorMessage message;
        if (message.Parse(bytes, addressSize))
        {
            ASSERT_EQ(ML::Bytes(message), bytes);
            int32_t expected = 2;
            for (int f = 0; f < ML::CVantorMessage::kFieldCount; ++f)
            {
                const auto& field = message.GetField(static_cast<ML::CVantorMessage::EField>(f));
                ASSERT_EQ(field.offset, expected) << ToHex(bytes) << " field " << f;
                ASSERT_GE(field.length, 0);
                expected += field.length;
            }
            ASSERT_LE(expected, static_cast<int32_t>(bytes.size()) - 1);
            const int checksum = message.ComputeChecksum();
            ASSERT_TRUE(checksum == ML::CVantorMessage::kNoChecksum || (checksum >= 0 && checksum < 0x80));
        }
        ML::CLongMessage sysex;
        if (sysex.Assign(bytes))
        {
            // Every accessor stays within the bytes.
            sysex.GetByte3();
            sysex.GetByte4();
            sysex.GetDeviceId();
            ASSERT_EQ(sysex.GetDataLength() + 3, bytes.size());
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Identity Request and reply

TEST(IdentityMessage, RequestAndReply)
{
    EXPECT_EQ(ToHex(ML::MakeIdentityRequest(0x10)), "F0 7E 10 06 01 F7");
    EXPECT_EQ(ToHex(ML::MakeIdentityRequest(0x7F)), "F0 7E 7F 06 01 F7");

    struct Case
    {
        const char* name;
        const char* bytes;
        bool request;
        bool reply;
    };
    const Case cases[] = {
        {"request", "F0 7E 10 06 01 F7", true, false},
        {"broadcast request", "F0 7E 7F 06 01 F7", true, false},
        {"reply", "F0 7E 10 06 02 41 3C 02 00 00 01 00 00 00 F7", false, true},
        {"reply of 14 bytes", "F0 7E 10 06 02 41 3C 02 00 00 01 00 00 F7", false, false},
        {"reply of 16 bytes", "F0 7E 10 06 02 41 3C 02 00 00 01 00 00 00 00 F7", false, false},
        {"real-time universal", "F0 7F 10 06 01 F7", false, false},
        {"three bytes", "F0 7E F7", false, false},
        {"five bytes", "F0 7E 10 06 F7", false, false},
        {"unterminated", "F0 7E 10 06 01", false, false},
        {"data byte 80h", "F0 7E 10 06 02 C1 3C 02 00 00 01 00 00 00 F7", false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ML::IsIdentityRequest(Hex(c.bytes)), c.request);
        ML::CIdentityReply reply;
        EXPECT_EQ(ML::ParseIdentityReply(Hex(c.bytes), reply), c.reply);
        if (c.reply)
        {
            EXPECT_EQ(reply.deviceId, 0x10);
            EXPECT_EQ(reply.manufacturerId, 0x41);
            EXPECT_EQ(ToHex(reply.family), "3C 02");
            EXPECT_EQ(ToHex(reply.member), "00 00");
            EXPECT_EQ(ToHex(reply.version), "01 00 00 00");
        }
    }
}
