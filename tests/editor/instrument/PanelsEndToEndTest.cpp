// A session at the editor as a musician has it: the real application object on the bundled
// script, the simulated Talvarix behind the devices the settings name, and only clicks, drags and
// menu choices on the real panel windows, in virtual time. Choose a user patch in the name list,
// turn a knob, copy tone 1 to tone 3, write the patch to 2-5 and read it back.
#include "editor/CApp.h"
#include "editor/controls/CInstrumentSelectControls.h"
#include "editor/controls/CPanelButtons.h"
#include "editor/controls/CPatchNameList.h"
#include "generated/TalvarixMemoryMap.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "platform/Messages.h"
#include "platform/UiDriver.h"
#include "tests/editor/instrument/EditorAppFixture.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/SimulatedTalvarix.h"
#include "ui/controls/CVeyButtons.h"
#include "ui/controls/CVeyKnobControl.h"
#include "ui/controls/CVeyPopControl.h"
#include "ui/panels/CPanelWindow.h"
#include "ui/panels/CVeyViewManager.h"

#include "toolkit/ul/TipBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Bytes = std::vector<BYTE>;

// Patch names of the first two banks, as a player's instrument might hold them.
const char* const kBankNames[] = {
    "Warm Strings", "Glass Pad",    "Brass Stab",   "Fat Bass",     "Bell Choir",   "Soft Rhodes",  "Analog Sync",
    "Airy Flute",   "Dark Sweep",   "Organ Perc",   "Pluck Harp",   "Noise Wind",   "Poly Saw",     "Clav Funk",
    "Mellow Horn",  "Sub Drone",    "Crystal Kalm", "Vox Cloud",    "Square Lead",  "Tine Piano",   "Slow Motion",
    "Hollow Reed",  "Metal Bell",   "Wide Pad",     "Acid Line",    "Chime Field",  "String Ens",   "Night Drive",
    "Soft Choir",   "Rubber Bass",  "Ice Keys",     "Last Light",   "Old Strings",  "Tape Organ",   "Sine Lead",
    "Bright Brass", "Old Pad",      "Dust Keys",
};
constexpr int kChosenSlot = 3;        // 1-4 "Fat Bass"
constexpr int kDestinationSlot = 36;  // 2-5 "Old Pad"

std::string Padded(std::string name)
{
    name.resize(12, ' ');
    return name;
}

// Where a leaf of the temporary patch lies in a user slot.
uint32_t InSlot(int slot, uint32_t temporaryAddress)
{
    return CSimulatedTalvarix::UserPatchAddress(slot) + (temporaryAddress - CSimulatedTalvarix::kTemporaryPatch);
}

// Where the script's leaf lies in the instrument.
uint32_t LeafAddress(const std::string& path)
{
    for (const TalvarixMemory::SLeaf& leaf : TalvarixMemory::kLeaves)
        if (path == leaf.path)
            return leaf.address;
    ADD_FAILURE() << "no leaf " << path;
    return 0;
}
constexpr uint32_t kCutoffOffset = 0x32;   // within a tone

// Runs an action inside the next modal loop (a popup menu's), then closes any menu left open.
// (The dialog test helpers cannot be used here: they name the same answer constants as the message
// box hook.)
class CInMenu : public CWnd
{
public:
    explicit CInMenu(std::function<void()> action) : m_action(std::move(action))
    {
        CreateMessageWindow();
        PostMessage(kRun, 0, 0);
    }
    ~CInMenu() override { DestroyWindow(); }

protected:
    static constexpr UINT kRun = 0x03F0;   // below WM_USER: delivered like input
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != kRun)
            return CWnd::WindowProc(message, wParam, lParam);
        // The menu opens on the release of the click: wait for it a few turns.
        if (UiDriver::DescribePopupMenu().empty() && ++m_turns < 100)
        {
            PostMessage(kRun, 0, 0);
            return 0;
        }
        if (m_action)
            std::exchange(m_action, nullptr)();
        UiDriver::ClosePopupMenus();
        return 0;
    }

private:
    std::function<void()> m_action;
    int m_turns = 0;
};

CPoint Centre(const CRect& rect) { return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2); }
}

class PanelsEndToEndTest : public EditorAppFixture
{
protected:
    void TearDown() override
    {
        UiDriver::ClosePopupMenus();
        EditorAppFixture::TearDown();
    }

    // Named user patches, a chosen one with its own sound, and user patch 1-1 playing.
    void FillInstrument()
    {
        int slot = 0;
        for (const char* name : kBankNames)
        {
            const std::string padded = Padded(name);
            ASSERT_TRUE(m_instrument.Write(InSlot(slot++, LeafAddress("fm.pat.common")), Bytes(padded.begin(), padded.end())));
        }
        // The chosen patch's tones have cutoffs of their own: 20, 30, 40, 50.
        for (int tone = 0; tone < 4; ++tone)
        {
            const uint32_t address = InSlot(kChosenSlot, LeafAddress("fm.pat.tone[" + std::to_string(tone) + "]")) + kCutoffOffset;
            ASSERT_TRUE(m_instrument.Write(address, {BYTE(20 + 10 * tone)}));
        }
        m_instrument.Receive(m_instrument.MakeDataSet(TalvarixMemory::kBankSelectMsb, {87, 0, 0}, 0x10));
        m_instrument.ClearLogs();
    }

    static CVeyValue& Value(const std::string& path) { return *CVeyBufferManager::GetInstance().FindValueOrNull(path); }
    static CVeyStruct& Struct(const std::string& path) { return *CVeyBufferManager::GetInstance().FindStructOrNull(path); }
    static uint32_t AddressOf(const CVeyValue& value) { return uint32_t(value.GetAbsoluteAddressRange().begin); }
    static uint32_t AddressOf(const CVeyStruct& s) { return uint32_t(s.GetAbsoluteAddressRange().begin); }

    static CPanelWindow& WindowOf(const std::string& rootPanel)
    {
        auto* panel = dynamic_cast<CWindowRootPanel*>(CVeyViewManager::GetInstance().FindRootPanel(rootPanel));
        EXPECT_TRUE(panel && panel->GetWindow()) << rootPanel << " has no window";
        return *panel->GetWindow();
    }
    static bool IsOpen(const std::string& rootPanel)
    {
        auto* panel = dynamic_cast<CWindowRootPanel*>(CVeyViewManager::GetInstance().FindRootPanel(rootPanel));
        return panel && panel->GetWindow();
    }
    // Controls found as the user finds them: a button by its label, another control by its kind
    // or by the value it shows.
    static CVeyControl& Labelled(const std::string& rootPanel, const std::string& label)
    {
        CVeyControl* found = CBundledScript::FindControlWhere(rootPanel, [&label](const CVeyControl& control) {
            auto* button = dynamic_cast<const CVeyButton*>(&control);
            return button && button->GetLabel() == label;
        });
        EXPECT_NE(found, nullptr) << rootPanel << ": no button " << label;
        return *found;
    }
    template <class T>
    static T& OfKind(const std::string& rootPanel)
    {
        auto* found = dynamic_cast<T*>(CBundledScript::FindControlWhere(
            rootPanel, [](const CVeyControl& control) { return dynamic_cast<const T*>(&control) != nullptr; }));
        EXPECT_NE(found, nullptr) << rootPanel;
        return *found;
    }
    template <class T>
    static T& Showing(const std::string& rootPanel, const std::string& valuePath)
    {
        auto* found = dynamic_cast<T*>(CBundledScript::FindControlWhere(rootPanel, [&valuePath](const CVeyControl& control) {
            return dynamic_cast<const T*>(&control) && control.GetValueRefCount() > 0 &&
                   control.GetValueRef(0).GetName() == valuePath;
        }));
        EXPECT_NE(found, nullptr) << rootPanel << ": nothing shows " << valuePath;
        return *found;
    }

    // A click on a control of a root panel's window, in its middle unless told where.
    void ClickOn(const std::string& rootPanel, const CVeyControl& control, CPoint at = CPoint(-1, -1))
    {
        ASSERT_TRUE(UiDriver::Click(WindowOf(rootPanel), at.x < 0 ? Centre(control.GetRect()) : at));
        PumpAllMessages();
    }

    // Time passes as the program runs: panel ticks every 50 ms and the idle passes between them.
    void Run(DWORD milliseconds)
    {
        for (DWORD passed = 0; passed < milliseconds; passed += 50)
        {
            m_clock.Advance(50);
            FireDueTimers();
            while (PumpAllMessages())
            {
            }
            for (LONG count = 0; m_app->OnIdle(count); ++count)
            {
            }
        }
    }

    // The data sets the instrument accepted since the last ClearLogs, as address and data.
    std::vector<std::pair<uint32_t, Bytes>> DataSets() const
    {
        std::vector<std::pair<uint32_t, Bytes>> sets;
        for (const auto& entry : m_instrument.GetAcceptedDataSets())
            sets.emplace_back(CSimulatedInstrument::AddressNumber(&entry.bytes[7], 4),
                              Bytes(entry.bytes.begin() + 11, entry.bytes.end() - 2));
        return sets;
    }
    std::vector<uint32_t> RequestAddresses() const
    {
        std::vector<uint32_t> addresses;
        for (const auto& entry : m_instrument.GetAcceptedRequests())
            addresses.push_back(CSimulatedInstrument::AddressNumber(&entry.bytes[7], 4));
        return addresses;
    }

    Bytes InstrumentBytes(uint32_t address, uint32_t size) const
    {
        Bytes bytes;
        EXPECT_TRUE(m_instrument.Read(address, size, bytes));
        return bytes;
    }
    static Bytes ModelBytes(const std::string& leafPath)
    {
        const std::vector<uint8_t>* data = Struct(leafPath).GetData();
        return data ? Bytes(data->begin(), data->end()) : Bytes();
    }
    // The editor's whole patch, leaf after leaf in address order, as the instrument lays it out.
    static Bytes PatchBytes()
    {
        Bytes all;
        for (const TalvarixMemory::SLeaf& leaf : TalvarixMemory::kLeaves)
            if (std::string(leaf.path).rfind("fm.pat.", 0) == 0)
            {
                const Bytes part = ModelBytes(leaf.path);
                all.insert(all.end(), part.begin(), part.end());
            }
        return all;
    }
};

TEST_F(PanelsEndToEndTest, ChooseEditCopyWriteAndReadBackAPatch)
{
    FillInstrument();
    ASSERT_TRUE(m_app->InitInstance()) << ::testing::PrintToString(m_home.boxes);
    Run(100);
    ASSERT_EQ(Value("fm.pat.common.patchName").GetText(), Padded("Warm Strings")) << "start-up read user patch 1-1";
    const CVeyValue& msb = Value("fm.setup.kbdPatchBankSelectMsb");
    const CVeyValue& lsb = Value("fm.setup.kbdPatchBankSelectLsb");
    const CVeyValue& program = Value("fm.setup.kbdPatchProgramNumber");

    // SELECT opens the patch select window on the bank of the current patch, named from the
    // instrument.
    m_instrument.ClearLogs();
    ClickOn("main", Labelled("main", "SELECT"));
    Run(100);
    ASSERT_TRUE(IsOpen("select"));
    auto& names = OfKind<CPatchNameListControl>("select");
    ASSERT_GE(names.GetRowTexts().size(), 8u);
    EXPECT_EQ(names.GetRowTexts()[3], (std::vector<std::string>{"4", Padded("Fat Bass")}));
    EXPECT_EQ(names.GetCurrentRow(), 1) << "the playing patch is the current row";

    // A click on row 4 chooses 1-4: once the list has settled, the program change goes out.
    m_instrument.ClearLogs();
    CRect row;
    names.GetCellRect(row, 4, -1);
    ClickOn("select", names, Centre(row));
    EXPECT_EQ(names.GetCurrentRow(), 4);
    EXPECT_TRUE(DataSets().empty()) << "nothing is sent while the list settles";
    Run(300);
    const std::vector<std::pair<uint32_t, Bytes>> programChange = {
        {AddressOf(msb), {87}}, {AddressOf(lsb), {0}}, {AddressOf(program), {kChosenSlot}}};
    EXPECT_EQ(DataSets(), programChange);
    EXPECT_EQ(m_instrument.GetCurrentSlot(), kChosenSlot);
    EXPECT_EQ(RequestAddresses(), std::vector<uint32_t>{AddressOf(Value("fm.pat.common.patchName"))})
        << "only the new patch's name is asked for at once";

    // Closing the window reads the chosen patch into the editor.
    m_instrument.ClearLogs();
    ClickOn("select", Labelled("select", "CLOSE"));
    Run(100);
    EXPECT_FALSE(IsOpen("select"));
    const std::vector<uint32_t> requests = RequestAddresses();
    for (const auto& [offset, size] : CSimulatedTalvarix::PatchLeaves())
        EXPECT_NE(std::find(requests.begin(), requests.end(), CSimulatedTalvarix::kTemporaryPatch + offset), requests.end())
            << "fm.pat is read again, leaf at offset " << offset;
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), Padded("Fat Bass"));
    EXPECT_EQ(Value("fm.pat.tone[0].cutoffFrequency").GetNumber(), 20);
    EXPECT_EQ(Value("fm.pat.tone[2].cutoffFrequency").GetNumber(), 40);

    // The editor starts on tone 1 alone; its cutoff knob turned straight up: one data set of the
    // middle value, and the other tones keep their own cutoffs.
    ASSERT_EQ(Value("vs.control.patchToneActiveValue").GetNumber(), 0);
    EXPECT_EQ(Value("vs.control.patchToneStateValue").GetNumber(), 1);
    auto& cutoff = Showing<CVeyKnobControl>("main", "fm.pat.tone[vs.control.patchToneActiveValue].cutoffFrequency");
    CPanelWindow& main = WindowOf("main");
    const CPoint centre = Centre(cutoff.GetRect());
    m_instrument.ClearLogs();
    ASSERT_TRUE(UiDriver::MouseDown(main, centre, false, MK_LBUTTON));
    ASSERT_TRUE(UiDriver::MouseMove(main, CPoint(centre.x, centre.y - 20), MK_LBUTTON));
    // While it is held, the knob shows its value in the tip bar.
    const auto* tip = dynamic_cast<const UL::ATipBar*>(UL::GetTipBar());
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsShown());
    EXPECT_EQ(tip->GetLines(), std::vector<std::string>{"64"});
    ASSERT_TRUE(UiDriver::MouseUp(main, CPoint(centre.x, centre.y - 20)));
    PumpAllMessages();
    const uint32_t cutoffAddress = LeafAddress("fm.pat.tone[0]") + kCutoffOffset;
    const auto received = m_instrument.GetReceived();
    ASSERT_EQ(received.size(), 1u) << "one message for one knob move";
    Bytes expected = {0xF0, 0x41, 0x10, 0x00, 0x00, 0x3C, 0x12};
    for (BYTE b : CSimulatedInstrument::AddressBytes(cutoffAddress, 4))
        expected.push_back(b);
    expected.push_back(64);
    int sum = 0;
    for (size_t i = 7; i < expected.size(); ++i)
        sum += expected[i];
    expected.push_back(BYTE((128 - sum % 128) % 128));   // address and data add up to 0 modulo 128
    expected.push_back(0xF7);
    EXPECT_EQ(received[0].bytes, expected);
    EXPECT_EQ(Value("fm.pat.tone[0].cutoffFrequency").GetNumber(), 64);
    EXPECT_EQ(InstrumentBytes(cutoffAddress, 1), Bytes{64});
    for (int tone = 1; tone < 4; ++tone)
        EXPECT_EQ(InstrumentBytes(LeafAddress("fm.pat.tone[" + std::to_string(tone) + "]") + kCutoffOffset, 1),
                  Bytes{BYTE(20 + 10 * tone)});

    // Edit > Copy > Patch Tone 1, Edit > Paste > Patch Tone 3: tone 3 in the instrument is tone 1.
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(main, 1));
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({1, 0}));
    UiDriver::ClosePopupMenus();
    PumpAllMessages();
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(main, 1));
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({2, 2}));
    Run(100);
    const Bytes tone1 = ModelBytes("fm.pat.tone[0]");
    EXPECT_EQ(ModelBytes("fm.pat.tone[2]"), tone1);
    EXPECT_EQ(InstrumentBytes(LeafAddress("fm.pat.tone[2]"), uint32_t(tone1.size())), tone1);
    EXPECT_EQ(Value("fm.pat.tone[2].cutoffFrequency").GetNumber(), 64);
    // Tone 3 shown in the panels shows the copy.
    ClickOn("main", Labelled("main", "TONE 3"));
    EXPECT_EQ(Value("vs.control.patchToneActiveValue").GetNumber(), 2);
    EXPECT_EQ(cutoff.GetValue(0), &Value("fm.pat.tone[2].cutoffFrequency"));

    // WRITE opens the write window on the current patch's bank; Bank 2 from its combo, row 5,
    // and its WRITE button: the instrument answers who it is, then takes the patch into 2-5.
    const Bytes shown = PatchBytes();
    ClickOn("main", Labelled("main", "WRITE"));
    Run(100);
    ASSERT_TRUE(IsOpen("write")) << ::testing::PrintToString(m_home.boxes);
    auto& bankCombo = OfKind<CChangePatchBankCombo>("write");
    {
        std::vector<std::string> banks;
        CInMenu choose([&] {
            banks = UiDriver::DescribePopupMenu();
            EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({1}));
        });
        ClickOn("write", bankCombo, Centre(bankCombo.GetButtonRect()));
        EXPECT_EQ(banks, (std::vector<std::string>{"*Bank 1", "Bank 2", "Bank 3", "Bank 4", "Bank 5", "Bank 6",
                                                   "Bank 7", "Bank 8"}));
    }
    Run(100);
    EXPECT_EQ(bankCombo.GetTextRecord(), "Bank 2");
    auto& destinations = OfKind<CPatchNameListControl>("write");
    ASSERT_GE(destinations.GetRowTexts().size(), 5u);
    EXPECT_EQ(destinations.GetRowTexts()[4], (std::vector<std::string>{"5", Padded("Old Pad")}));
    destinations.GetCellRect(row, 5, -1);
    ClickOn("write", destinations, Centre(row));
    Run(300);
    EXPECT_EQ(m_instrument.GetCurrentSlot(), kChosenSlot) << "the write window only chooses a destination";
    m_instrument.ClearLogs();
    ClickOn("write", Labelled("write", "WRITE"));
    Run(100);
    EXPECT_FALSE(IsOpen("write"));
    const auto received2 = m_instrument.GetReceived();
    ASSERT_FALSE(received2.empty());
    EXPECT_EQ(received2.front().bytes, (Bytes{0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7}))
        << "the instrument is asked who it is first";
    EXPECT_EQ(m_instrument.GetWriteCount(), 0) << "a user slot takes the patch without the system area's handshake";
    Bytes stored;
    for (const auto& [offset, size] : CSimulatedTalvarix::PatchLeaves())
    {
        const Bytes part = InstrumentBytes(CSimulatedTalvarix::UserPatchAddress(kDestinationSlot) + offset, size);
        stored.insert(stored.end(), part.begin(), part.end());
    }
    EXPECT_EQ(stored, shown) << "2-5 holds what the panels showed";
    EXPECT_EQ(m_instrument.GetCurrentSlot(), kDestinationSlot) << "the written patch plays";

    // READ brings the instrument's patch back: what the panels show is still the same.
    ClickOn("main", Labelled("main", "READ"));
    Run(100);
    EXPECT_EQ(m_instrument.GetCurrentSlot(), kDestinationSlot);
    EXPECT_EQ(PatchBytes(), shown);
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), Padded("Fat Bass"));

    // The select window opens on bank 2, where the instrument now names 2-5 after the patch.
    ClickOn("main", Labelled("main", "SELECT"));
    Run(100);
    auto& list = OfKind<CPatchNameListControl>("select");
    EXPECT_EQ(list.GetShownBank(), 1);
    EXPECT_EQ(list.GetCurrentRow(), 5);
    EXPECT_EQ(list.GetSelection(), std::set<int32_t>{5}) << "only the written slot's row is marked";
    ASSERT_GE(list.GetRowTexts().size(), 5u);
    EXPECT_EQ(list.GetRowTexts()[4], (std::vector<std::string>{"5", Padded("Fat Bass")}));
    EXPECT_TRUE(m_home.boxes.empty()) << ::testing::PrintToString(m_home.boxes);
}

// Pictures for a person to judge, under the build folder: the main panel, a tone of its own, the
// effect type menu open on a category, the name list filled from the instrument and the write
// window.
TEST_F(PanelsEndToEndTest, TheWindowsAsAMusicianSeesThem)
{
    FillInstrument();
    m_instrument.Receive(m_instrument.MakeDataSet(TalvarixMemory::kBankSelectMsb, {87, 0, kChosenSlot}, 0x10));
    ASSERT_TRUE(m_app->InitInstance()) << ::testing::PrintToString(m_home.boxes);
    Run(100);
    ASSERT_EQ(Value("fm.pat.common.patchName").GetText(), Padded("Fat Bass"));
    std::filesystem::create_directories(Q9_LOOKS_FOLDER);
    const std::string folder = std::string(Q9_LOOKS_FOLDER) + "/";
    CPanelWindow& main = WindowOf("main");
    CRect outer;
    main.GetWindowRect(&outer);
    EXPECT_TRUE(UiDriver::SaveWindowPicture(main, folder + "main-panel.png"));

    // Tone 2 with a sound of its own: a wave pair, tuning, a pitch envelope, a resonant filter
    // with its envelope, and a shaped amplifier. Signed parameters are stored around 64.
    ClickOn("main", Labelled("main", "TONE 2"));
    ASSERT_EQ(Value("vs.control.patchToneActiveValue").GetNumber(), 1);
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    constexpr int32_t kZero = 64;
    const std::pair<const char*, int32_t> tone2[] = {
        {"waveNumberL", 37},          {"waveNumberR", 38},           {"waveGain", 2},
        {"toneLevel", 100},           {"tonePan", kZero - 20},       {"toneCoarseTune", kZero + 7},
        {"toneFineTune", kZero - 12}, {"pitchEnvDepth", kZero + 5},  {"toneRandomPitchDepth", 6},
        {"pitchEnvLevel0", kZero - 30}, {"pitchEnvTime1", 20},       {"pitchEnvLevel1", kZero + 40},
        {"pitchEnvTime2", 50},        {"pitchEnvLevel2", kZero - 10}, {"pitchEnvTime3", 70},
        {"pitchEnvTime4", 90},        {"filterType", 2},             {"cutoffFrequency", 80},
        {"resonance", 60},            {"filterEnvTime1", 10},        {"filterEnvLevel1", 100},
        {"filterEnvTime2", 40},       {"filterEnvLevel2", 60},       {"filterEnvTime3", 80},
        {"filterEnvLevel3", 50},      {"filterEnvTime4", 60},        {"filterEnvLevel4", 0},
        {"ampEnvTime1", 5},           {"ampEnvTime2", 30},           {"ampEnvLevel2", 90},
        {"ampEnvTime3", 60},          {"ampEnvLevel3", 70},          {"ampEnvTime4", 45},
        {"ampLevelVelocitySens", kZero + 20}, {"lfo1Waveform", 3},   {"lfo1Rate", 100},
        {"lfo1PitchDepth", kZero + 12},
    };
    for (const auto& [name, number] : tone2)
        buffers.SetValue(&Value(std::string("fm.pat.tone[1].") + name), number);
    // The widest texts of the zone header: structure 10, random velocity.
    buffers.SetValue(&Value("fm.pat.tmt.tmtStructureType12"), 9);
    buffers.SetValue(&Value("fm.pat.tmt.tmtVelocityControl"), 2);
    buffers.Flush();
    buffers.UpdateViews();
    buffers.ClearChanges();
    Run(100);
    EXPECT_TRUE(UiDriver::SaveWindowPicture(main, folder + "tone-2.png"));

    // The effect type menu at a rotary speaker: its category opened beside the menu.
    buffers.SetValue(&Value("fm.pat.mfx.mfxType"), 22);
    buffers.Flush();
    buffers.UpdateViews();
    buffers.ClearChanges();
    auto& mfx = OfKind<CMfxSelectCombo>("main");
    std::vector<std::string> categories;
    {
        CInMenu look([&] {
            categories = UiDriver::DescribePopupMenu();
            EXPECT_TRUE(UiDriver::OpenPopupSubMenus({2}));
            EXPECT_TRUE(UiDriver::SaveScreenPicture(folder + "effect-type-menu.png",
                                                    RECT{outer.left, outer.top, outer.right, outer.bottom}));
        });
        ClickOn("main", mfx, Centre(mfx.GetButtonRect()));
    }
    EXPECT_EQ(categories.size(), 11u);
    EXPECT_EQ(Value("fm.pat.mfx.mfxType").GetNumber(), 22) << "looking chooses nothing";

    // The select window: bank 1 named from the instrument, Fat Bass current.
    ClickOn("main", Labelled("main", "SELECT"));
    Run(100);
    ASSERT_TRUE(IsOpen("select"));
    EXPECT_TRUE(UiDriver::SaveWindowPicture(WindowOf("select"), folder + "patch-select.png"));
    ClickOn("select", Labelled("select", "CLOSE"));
    Run(100);

    // The write window turned to bank 2, destination 2-5 chosen.
    ClickOn("main", Labelled("main", "WRITE"));
    Run(100);
    ASSERT_TRUE(IsOpen("write"));
    auto& bank = OfKind<CChangePatchBankCombo>("write");
    {
        CInMenu choose([] { EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({1})); });
        ClickOn("write", bank, Centre(bank.GetButtonRect()));
    }
    Run(100);
    auto& destinations = OfKind<CPatchNameListControl>("write");
    CRect row;
    destinations.GetCellRect(row, 5, -1);
    ClickOn("write", destinations, Centre(row));
    Run(300);
    EXPECT_TRUE(UiDriver::SaveWindowPicture(WindowOf("write"), folder + "write-patch.png"));
    EXPECT_TRUE(m_home.boxes.empty()) << ::testing::PrintToString(m_home.boxes);
}

TEST_F(PanelsEndToEndTest, TheSystemAreaIsWrittenFromItsWindowAndTheEditModeCarriesTheScreen)
{
    FillInstrument();
    ASSERT_TRUE(m_app->InitInstance()) << ::testing::PrintToString(m_home.boxes);
    Run(100);
    const CVeyValue& state = Value("vs.navigation.patpat.state");
    const CVeyValue& mode = Value("vs.navigation.patpat.editMode");
    ASSERT_EQ(state.GetNumber(), 1) << "the main panel";
    ASSERT_FALSE(IsOpen("system"));

    // SYSTEM takes the editor to the system area; WRITE there asks first, then runs the handshake
    // and opens no patch write window.
    ClickOn("main", Labelled("main", "SYSTEM"));
    Run(100);
    ASSERT_TRUE(IsOpen("system"));
    EXPECT_EQ(state.GetNumber(), 0);
    m_instrument.ClearLogs();
    m_home.boxes.clear();
    ClickOn("system", Labelled("system", "WRITE"));
    Run(100);
    ASSERT_EQ(m_home.boxes.size(), 1u);
    EXPECT_EQ(m_home.boxes[0], "Are you sure you want to overwrite the system area of the Talvarix?");
    EXPECT_EQ(m_instrument.GetWriteCount(), 1);
    EXPECT_EQ(RequestAddresses(), std::vector<uint32_t>{TalvarixMemory::kWriteRequest});
    EXPECT_FALSE(IsOpen("write"));
    EXPECT_EQ(Value("vs.control.writePanelSw").GetNumber(), 0);
    // The main panel's WRITE does the same while the system area is shown.
    ClickOn("main", Labelled("main", "WRITE"));
    Run(100);
    EXPECT_EQ(m_home.boxes.size(), 2u);
    EXPECT_EQ(m_instrument.GetWriteCount(), 2);
    EXPECT_FALSE(IsOpen("write"));
    // Leaving the system area goes back to the main panel, where WRITE writes a patch.
    ClickOn("system", Labelled("system", "CLOSE"));
    Run(100);
    EXPECT_FALSE(IsOpen("system"));
    EXPECT_EQ(state.GetNumber(), 1);
    ClickOn("main", Labelled("main", "WRITE"));
    Run(100);
    EXPECT_TRUE(IsOpen("write"));
    ClickOn("write", Labelled("write", "CANCEL"));
    Run(100);
    ASSERT_FALSE(IsOpen("write"));

    // The tone list in patch edit mode, carried to the tone edit mode's own screen and back.
    ClickOn("main", *CBundledScript::FindControl("main", "latch125"));
    Run(100);
    ASSERT_TRUE(IsOpen("toneList"));
    EXPECT_EQ(state.GetNumber(), 6);
    ClickOn("main", Labelled("main", "TONE"));
    Run(100);
    EXPECT_EQ(mode.GetNumber(), 1);
    EXPECT_EQ(state.GetNumber(), 13);
    EXPECT_TRUE(IsOpen("toneList"));
    // The COMMON list is no screen of the tone edit mode: its button does nothing.
    ClickOn("main", *CBundledScript::FindControl("main", "latch2"));
    Run(100);
    EXPECT_EQ(state.GetNumber(), 13);
    EXPECT_FALSE(IsOpen("commonList"));
    ClickOn("main", Labelled("main", "PATCH"));
    Run(100);
    EXPECT_EQ(mode.GetNumber(), 0);
    EXPECT_EQ(state.GetNumber(), 6);
    EXPECT_TRUE(IsOpen("toneList"));

    // The COMMON list has no place in the tone edit mode: the mode change takes the editor to the
    // tone list instead.
    ClickOn("main", *CBundledScript::FindControl("main", "latch2"));
    Run(100);
    EXPECT_EQ(state.GetNumber(), 4);
    EXPECT_TRUE(IsOpen("commonList"));
    EXPECT_FALSE(IsOpen("toneList"));
    ClickOn("main", Labelled("main", "TONE"));
    Run(100);
    EXPECT_EQ(state.GetNumber(), 13);
    EXPECT_FALSE(IsOpen("commonList"));
    EXPECT_TRUE(IsOpen("toneList"));
    EXPECT_EQ(m_home.boxes.size(), 2u) << ::testing::PrintToString(m_home.boxes);
}
