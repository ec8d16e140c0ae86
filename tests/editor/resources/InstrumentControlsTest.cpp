// The instrument's own controls on the bundled script's panels: what they show, what a user's
// gesture does to the model, and what they ask of the instrument layer.
#include "editor/controls/CControlFactory.h"
#include "editor/controls/CInstrumentSelectControls.h"
#include "editor/controls/CLfoControl.h"
#include "editor/controls/CPanelButtons.h"
#include "editor/controls/CPatchNameList.h"
#include "editor/controls/CSwitchableControls.h"
#include "editor/controls/InstrumentLink.h"
#include "editor/entities/CEntitySelector.h"
#include "editor/entities/InstrumentEntities.h"
#include "editor/instrument/InstrumentHandlers.h"
#include "midi/framework/CVeyFunctorRegistry.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "midi/framework/VeyFunctors.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/VirtualClock.h"
#include "tests/toolkit/ul/InteractiveTestSupport.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/VeyTipBar.h"
#include "ui/controls/CVeyLfoControl.h"
#include "ui/panels/CVeyPanel.h"
#include "ui/panels/CVeyViewManager.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <vector>

namespace
{
// Records what the controls ask of the instrument layer; the current program is the model's.
class CRecordingLink : public CModelInstrumentLink
{
public:
    CRecordingLink() { IInstrumentLink::Install(this); }
    ~CRecordingLink() override { IInstrumentLink::Install(nullptr); }

    bool SelectProgram(const CVeyEntityId& id) override
    {
        selected.push_back(id);
        return CModelInstrumentLink::SelectProgram(id);
    }
    int32_t GetPatchState() const override { return patchState; }
    bool RequestCurrentPatchName() override
    {
        ++currentNameRequests;
        return true;
    }
    bool RequestUserPatchNames(int32_t bank, int32_t first, int32_t count) override
    {
        nameRequests.push_back({bank, first, count});
        return true;
    }
    bool IsMidiConnected() const override { return connected; }

    bool connected = true;
    std::vector<CVeyEntityId> selected;
    std::vector<std::vector<int32_t>> nameRequests;
    int currentNameRequests = 0;
    int32_t patchState = kPatchScreen;
};

template <class T>
T* Find(const std::string& root, const std::string& name)
{
    return dynamic_cast<T*>(CBundledScript::FindControl(root, name));
}

CVeyValue* Value(const std::string& path)
{
    return CVeyBufferManager::GetInstance().FindValueOrNull(path);
}

int32_t Number(const std::string& path)
{
    return Value(path)->GetNumber();
}

void Set(const std::string& path, int32_t number)
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.SetValue(Value(path), number);
    CommitChanges();
}

CPoint Centre(const CRect& rect)
{
    return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void Click(CVeyControl& control, UINT flags = 0, uint32_t kind = UL::MOUSE_DOWN)
{
    const CPoint inside = Centre(control.GetRect());
    UL::CMouseInfo down(0, inside, 0);
    down.m_kind = kind;
    down.m_flags = flags;
    control.OnMouse(down);
    UL::CMouseInfo up(0, inside, 0);
    up.m_kind = UL::MOUSE_UP;
    up.m_flags = flags;
    control.OnMouse(up);
}

void Wheel(CVeyControl& control, double notches)
{
    UL::CWheelInfo info(0, 0, Centre(control.GetRect()), 0);
    info.m_amount = notches;
    info.m_flags = 0;
    control.OnMouseWheel(info);
}

// Presses the pop control's button; `inMenu` runs while its popup menu is open, then any menu
// still open is closed.
void PressWithMenu(CVeyPopControl& control, std::function<void()> inMenu)
{
    UlTest::CPostedActions actions;
    actions.Post(std::move(inMenu));
    actions.PostEndEverything();
    const CRect button = control.GetButtonRect();
    UL::CMouseInfo press(0, CPoint(button.left + 2, button.top + 2), 0);
    press.m_kind = UL::MOUSE_DOWN;
    EXPECT_TRUE(control.OnMouse(press));
}

struct InstrumentControls : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE(m_script.Read()) << m_trace.Text();
        // Banks of this script, whatever an earlier test left.
        CInstrumentEntities::GetInstance().SetUp();
    }
    CTraceCapture m_trace;
    CBundledScript m_script;
};
}

TEST(ControlFactory, MakesTheInstrumentsTypesAndLeavesEveryOtherNameToTheFramework)
{
    CControlFactory factory;
    EXPECT_EQ(&CVeyControlFactory::GetInstance(), &factory);
    for (const auto& type : CControlFactory::GetInstrumentTypes())
    {
        const auto control = factory.CreateControl(CVeyElementDefinition(type.name));
        ASSERT_NE(control, nullptr) << type.name;
        EXPECT_EQ(control->GetTypeName(), type.name);
    }
    EXPECT_EQ(CControlFactory::GetInstrumentTypes().size(), 14u);
    // The framework's own types stay the framework's, and the comparison is exact.
    const auto lfo = factory.CreateControl(CVeyElementDefinition("lfo"));
    EXPECT_NE(dynamic_cast<CVeyLfoControl*>(lfo.get()), nullptr);
    const auto combo = factory.CreateControl(CVeyElementDefinition("combo"));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(dynamic_cast<CBankComboControl*>(combo.get()), nullptr);
    EXPECT_EQ(factory.CreateControl(CVeyElementDefinition("Q9eWaveIndexSelect")), nullptr);
}

TEST(ControlFactory, GivesTheRegistrationBackWhenItGoes)
{
    CVeyControlFactory* before = CVeyControlFactory::GetRegistered();
    {
        CControlFactory factory;
        EXPECT_EQ(CVeyControlFactory::GetRegistered(), &factory);
    }
    EXPECT_EQ(CVeyControlFactory::GetRegistered(), before);
}

TEST_F(InstrumentControls, EntityBanksNameEffectTypesWavesAndUserPatches)
{
    CVeyEntityManager& manager = CInstrumentEntities::GetInstance().GetManager();
    const auto name = [&](const CVeyEntityId& id) {
        CVeyEntityManager::IBank* bank = manager.FindBank(id);
        return bank ? bank->GetInformation(bank->IndexOfEntityId(id)).GetName() : std::string("(no bank)");
    };
    EXPECT_EQ(name(CVeyEntityId(2, 1, 0, 22)), "QM ROTARY");
    EXPECT_EQ(name(CVeyEntityId(2, 1, 0, 78)), "SYMPATHETIC RESONANCE");
    EXPECT_EQ(manager.FindBank(CVeyEntityId(2, 1, 0, 38))->GetInformation(38).GetCategory(), 4);
    EXPECT_EQ(manager.GetEntityCount(CVeyEntityId(2, -2, -2, -2)), 79);
    // Waves: "Off", then the script's table.
    EXPECT_EQ(name(CVeyEntityId(1, 1, 0, 0)), "Off");
    EXPECT_EQ(manager.GetEntityCount(CVeyEntityId(1, 1, 0, -2)), CInstrumentEntities::GetInstance().GetWaveCounts(1).at(0) + 1);
    EXPECT_EQ(manager.ToProgramId(CVeyEntityId(1, 1, 0, 5)), CVeyProgramId(81, 64, 5));
    // User patches: eight banks of 32 placeholders, on the instrument's program numbers.
    EXPECT_EQ(manager.ToProgramId(CVeyEntityId(0, 0, 3, 31)), CVeyProgramId(87, 0, 127));
    EXPECT_EQ(manager.ToProgramId(CVeyEntityId(0, 0, 4, 0)), CVeyProgramId(87, 1, 0));
    EXPECT_EQ(manager.ToEntityId(CVeyProgramId(87, 0, 128)), CVeyEntityId());
    CVeyEntityManager::IInformation& missing = manager.FindBank(CVeyEntityId(0, 0, 0, 0))->GetInformation(32);
    EXPECT_TRUE(missing.IsNull());
    missing.SetName("written");
    EXPECT_EQ(missing.GetName(), "");
}

TEST_F(InstrumentControls, EveryMenuEntryPicksTheEntityItShows)
{
    const CEntitySelector::CMenu waves = CEntitySelector::BuildWaveMenu(CVeyEntityId(1, 1, 0, 0));
    ASSERT_FALSE(waves.items.empty());
    EXPECT_EQ(waves.items[0]->GetText(), "  0...");
    EXPECT_EQ((*waves.items[0]->GetSubItems())[0]->GetText(), "  0: Off");
    EXPECT_EQ(waves.items[1]->GetText(), " 32...");
    EXPECT_EQ(waves.items[0]->GetSubItems()->size(), 32u);
    EXPECT_EQ(waves.IndexOf(CVeyEntityId(1, 1, 0, 33)), 33);

    const CEntitySelector::CMenu types = CEntitySelector::BuildMfxTypeMenu();
    ASSERT_EQ(types.items.size(), 11u);
    EXPECT_EQ(types.leaves.size(), 79u);
    // Leaf k of the menu, walked as the popup menu numbers it, names entity leaves[k].
    size_t k = 0;
    for (const auto& category : types.items)
        for (const auto& item : *category->GetSubItems())
        {
            const CVeyEntityId id = types.leaves.at(k++);
            EXPECT_EQ(item->GetText(), CEntitySelector::PrintEntity(id.GetNumber(), GetMfxTypeTable()[size_t(id.GetNumber())].name));
        }
    EXPECT_EQ(CEntitySelector::PrintEntity(22, "QM ROTARY"), " 22: QM ROTARY");
    EXPECT_EQ(CEntitySelector::PrintEntity(1234, ""), "1234: ------------");
}

TEST_F(InstrumentControls, SelectorsShowNamesAndKeepTheWaveInItsGroup)
{
    auto* mfx = Find<CMfxSelectCombo>("main", "mfxType");
    auto* waveL = Find<CWaveIndexSelectControl>("main", "waveL");
    auto* group = Find<CWaveGroupSelectControl>("main", "waveGroup");
    ASSERT_TRUE(mfx && waveL && group);

    Set("fm.pat.mfx.mfxType", 22);
    EXPECT_EQ(mfx->GetTextRecord(), "22 QM ROTARY");

    const std::string tone = "fm.pat.tone[" + std::to_string(Number("vs.control.patchToneActiveValue")) + "].";
    group->SetValue(0);
    Set(tone + "waveNumberL", 3);
    const CVeyEntityId wave3(1, 1, 0, 3);
    const std::string wave3Name = CInstrumentEntities::GetInstance().GetManager().FindBank(wave3)->GetInformation(3).GetName();
    EXPECT_EQ(waveL->GetTextRecord(), "0003 " + wave3Name);
    EXPECT_EQ(group->GetTextRecord(), "INTERNAL");

    // The wheel stops at the ends of the wave bank.
    const int32_t count = CInstrumentEntities::GetInstance().GetManager().GetEntityCount(CVeyEntityId(1, 1, 0, -2));
    Wheel(*waveL, -10);
    EXPECT_EQ(Number(tone + "waveNumberL"), 0);
    Wheel(*waveL, 100000);
    EXPECT_EQ(Number(tone + "waveNumberL"), count - 1);

    // Out of the internal group every wave shows entry 0; the group select brings it back.
    Set(tone + "waveGroupID", 24);
    EXPECT_EQ(waveL->GetTextRecord(), "0000 Off");
    Wheel(*group, 3);
    EXPECT_EQ(Number(tone + "waveGroupID"), 24) << "the one group cannot be stepped";
    group->SetValue(0);
    EXPECT_EQ(Number(tone + "waveGroupID"), 23);
    EXPECT_EQ(Number(tone + "waveGroupType"), 1);

    // A double click on the text puts the wave next to the other side's.
    Set(tone + "waveNumberR", 10);
    UL::CMouseInfo twice(0, waveL->GetTextRect().TopLeft(), 0);
    twice.m_kind = UL::MOUSE_DOUBLE;
    EXPECT_TRUE(waveL->OnMouse(twice));
    EXPECT_EQ(Number(tone + "waveNumberL"), 10 - waveL->GetComplementDirection());
    Set(tone + "waveNumberR", 0);
    EXPECT_TRUE(waveL->OnMouse(twice));
    EXPECT_EQ(Number(tone + "waveNumberL"), 0);
}

TEST_F(InstrumentControls, TheLfoPictureFollowsItsValuesAndRepeatsItsRandomShapes)
{
    auto* lfo = Find<CLfoControl>("main", "lfo1");
    ASSERT_NE(lfo, nullptr);
    const std::string tone = "fm.pat.tone[" + std::to_string(Number("vs.control.patchToneActiveValue")) + "].";
    for (int32_t waveform : {5, 9, 10, 11})
    {
        Set(tone + "lfo1Waveform", waveform);
        const std::vector<CPoint> first = lfo->GetPoints();
        ASSERT_TRUE(lfo->Plot());
        EXPECT_EQ(lfo->GetPoints(), first) << "waveform " << waveform;
    }
    // The fast end of the rate runs backwards: 128 draws as 127, 149 as 0.
    const CLfoControl::CPlotFrame frame = CLfoControl::CPlotFrame::FromRect(lfo->GetRect());
    EXPECT_EQ(CLfoControl::PeriodPixels(128, frame), CLfoControl::PeriodPixels(127, frame));
    EXPECT_EQ(CLfoControl::PeriodPixels(149, frame), CLfoControl::PeriodPixels(0, frame));
    EXPECT_EQ(CLfoControl::PeriodPixels(127, CLfoControl::CPlotFrame::FromRect(CRect(0, 0, 20, 20))), 4);

    // No delay, no fade time: both markers at the first column; fading out leaves the middle line.
    Set(tone + "lfo1DelayTime", 0);
    Set(tone + "lfo1FadeTime", 0);
    Set(tone + "lfo1FadeMode", 1);
    EXPECT_EQ(lfo->GetDelayMarkerX(), lfo->GetRect().left + 1);
    EXPECT_EQ(lfo->GetFadeMarkerX(), lfo->GetRect().left + 1);
    const int32_t middle = (lfo->GetRect().top + 1 + lfo->GetRect().bottom - 1) / 2;
    for (const CPoint& point : lfo->GetPoints())
        EXPECT_EQ(point.y, middle);
}

TEST_F(InstrumentControls, TheLfoPictureFollowsTheToneButtons)
{
    auto* lfo = Find<CLfoControl>("main", "lfo1");
    auto* tone2 = Find<CToneSelectButton>("main", "tone2");
    ASSERT_NE(lfo, nullptr);
    ASSERT_NE(tone2, nullptr);
    Set("vs.control.patchToneStateValue", 1);
    Set("vs.control.patchToneActiveValue", 0);
    Set("fm.pat.tone[0].lfo1Waveform", 0);   // sine
    Set("fm.pat.tone[1].lfo1Waveform", 4);   // square
    const std::vector<CPoint> sine = lfo->GetPoints();
    Click(*tone2);
    ASSERT_EQ(Number("vs.control.patchToneActiveValue"), 1);
    const std::vector<CPoint> shown = lfo->GetPoints();
    ASSERT_TRUE(lfo->Plot());
    EXPECT_EQ(shown, lfo->GetPoints()) << "the picture is of tone 2's square";
    EXPECT_NE(shown, sine);
}

TEST_F(InstrumentControls, ToneButtonsChooseTheActiveToneAndTheSelection)
{
    CToneSelectButton* tones[4];
    for (int i = 0; i < 4; ++i)
    {
        tones[i] = Find<CToneSelectButton>("main", "tone" + std::to_string(i + 1));
        ASSERT_NE(tones[i], nullptr);
    }
    struct SCase
    {
        int tone;
        UINT flags;
        int32_t state, active;
    };
    // From tone 1 alone: a plain click, Shift toggles another tone, Ctrl takes all four,
    // Shift on the active tone changes nothing, Ctrl+Shift is a plain click.
    Set("vs.control.patchToneStateValue", 1);
    Set("vs.control.patchToneActiveValue", 0);
    for (const SCase& c : {SCase{2, 0, 4, 2}, SCase{0, UL::MOUSE_SHIFT, 5, 2}, SCase{2, UL::MOUSE_SHIFT, 5, 2},
                           SCase{0, UL::MOUSE_SHIFT, 4, 2}, SCase{0, UL::MOUSE_CTRL, 15, 0},
                           SCase{3, UL::MOUSE_CTRL | UL::MOUSE_SHIFT, 8, 3}})
    {
        Click(*tones[c.tone], c.flags);
        EXPECT_EQ(Number("vs.control.patchToneStateValue"), c.state) << "tone " << c.tone << " flags " << c.flags;
        EXPECT_EQ(Number("vs.control.patchToneActiveValue"), c.active) << "tone " << c.tone << " flags " << c.flags;
    }
    // The look: off, selected, active.
    Set("vs.control.patchToneStateValue", 5);
    Set("vs.control.patchToneActiveValue", 2);
    EXPECT_EQ(tones[1]->GetDisplayState(), 0);
    EXPECT_EQ(tones[0]->GetDisplayState(), 2);
    EXPECT_EQ(tones[2]->GetDisplayState(), 4);
}

TEST_F(InstrumentControls, TheSwitchChoosesWhichValueTheTempoControlsShowAndMove)
{
    auto* slider = Find<CSwitchableSliderControl>("main", "tempoSlider");
    auto* text = Find<CSwitchableStaticTextPictureControl>("main", "tempoText");
    ASSERT_TRUE(slider && text);
    const CVeyValueRefs& refs = slider->GetValueRefs();
    Set(refs[0].GetValue()->GetDefinition()->name.empty() ? "" : "fm.pat.common.patchClockSource", 0);
    EXPECT_EQ(slider->GetValue(0), refs[1].GetValue());
    EXPECT_EQ(text->GetPictureState(), -1);
    EXPECT_NE(text->GetText().find(" bpm"), std::string::npos);
    Set("fm.pat.common.patchClockSource", 1);
    EXPECT_EQ(slider->GetValue(0), refs[2].GetValue());
    EXPECT_EQ(text->GetText(), "");
    EXPECT_GE(text->GetPictureState(), 0);
    // Stepping moves the chosen value only.
    const int32_t before0 = refs[1].GetValue()->GetIndex();
    const int32_t before1 = refs[2].GetValue()->GetIndex();
    slider->SetValue(before1 + 1);
    EXPECT_EQ(refs[1].GetValue()->GetIndex(), before0);
    EXPECT_EQ(refs[2].GetValue()->GetIndex(), before1 + 1);
}

TEST_F(InstrumentControls, ThePatchListSelectsOnceTheRowsSettle)
{
    CVirtualClock clock;
    CRecordingLink link;
    auto* list = Find<CPatchNameListControl>("select", "names");
    ASSERT_NE(list, nullptr);
    ASSERT_FALSE(list->IsWritePanel());
    Set("vs.patchNameList.listCurrentBank", 2);
    const GT::CTimerInfo tick;
    // Three moves within 200 ms: one selection, of the last row, and one name request.
    for (int32_t row : {3, 4, 5})
    {
        list->SetRows(0, row, CVeyListControl::kSetCurrent);
        clock.Advance(50);
        list->OnTimer(tick);
    }
    EXPECT_TRUE(link.selected.empty());
    clock.Advance(200);
    list->OnTimer(tick);
    ASSERT_EQ(link.selected.size(), 1u);
    EXPECT_EQ(link.selected[0], CVeyEntityId(0, 0, 2, 4));
    EXPECT_EQ(link.currentNameRequests, 1);
    EXPECT_EQ(Number("fm.setup.kbdPatchProgramNumber"), 64 + 4) << "bank 2 row 5 is program 69 of LSB 0";
    ASSERT_EQ(link.nameRequests.size(), 1u);
    EXPECT_EQ(link.nameRequests[0][0], 2);
    // No pending move: the ticks ask for nothing.
    for (int i = 0; i < 10; ++i)
    {
        clock.Advance(50);
        list->OnTimer(tick);
    }
    EXPECT_EQ(link.selected.size(), 1u);
    EXPECT_EQ(link.nameRequests.size(), 1u);

    // The write panel's list chooses a destination only.
    auto* destination = Find<CPatchNameListControl>("write", "names");
    ASSERT_NE(destination, nullptr);
    ASSERT_TRUE(destination->IsWritePanel());
    destination->SetRows(0, 9, CVeyListControl::kSetCurrent);
    clock.Advance(250);
    destination->OnTimer(tick);
    EXPECT_EQ(link.selected.size(), 1u);
}

TEST_F(InstrumentControls, LocatingTheCurrentPatchCentresItsRow)
{
    CRecordingLink link;
    Set("vs.patchNameList.listCurrentBank", 1);
    Set("vs.patchNameList.listCurRangeLo", 1);
    Set("vs.patchNameList.listCurRangeUp", 9);
    ASSERT_TRUE(link.SelectProgram(CVeyEntityId(0, 0, 1, 19)));
    CommitChanges();
    ASSERT_TRUE(CPatchBanks::LocateCurrentPatch());
    EXPECT_EQ(Number("vs.patchNameList.currentNumber"), 20);
    EXPECT_EQ(Number("vs.patchNameList.listCurRangeLo"), 16);
    EXPECT_EQ(Number("vs.patchNameList.listCurRangeUp"), 24);
    EXPECT_EQ(CPatchBanks::GetRowsPerBank(8), -1);
    EXPECT_EQ(CPatchBanks::MakePatchEntityId(8, 0), CVeyEntityId(-2, -2, -2, -2));
}

TEST_F(InstrumentControls, TheListHasTextsForTheRowsOfTheBankOnly)
{
    CRecordingLink link;
    auto* list = Find<CPatchNameListControl>("select", "names");
    ASSERT_NE(list, nullptr);
    Set("vs.patchNameList.listCurrentBank", 0);
    Set("vs.patchNameList.listScrollRangeLo", 1);
    Set("vs.patchNameList.listScrollRangeUp", 5);
    Set("vs.patchNameList.listCurRangeLo", 1);
    Set("vs.patchNameList.listCurRangeUp", 9);
    list->UpdateFromValue();
    // Visible rows 1 to 8, the bank's rows 1 to 4: four rows, none for the window's empty end.
    ASSERT_EQ(list->GetRowTexts().size(), 4u);
    for (size_t i = 0; i < 4; ++i)
    {
        ASSERT_FALSE(list->GetRowTexts()[i].empty());
        EXPECT_EQ(list->GetRowTexts()[i][0], std::to_string(i + 1));
    }
    Set("vs.patchNameList.listScrollRangeUp", 33);
}

TEST_F(InstrumentControls, TheBankComboAppliesAWheelRunOnceItStops)
{
    CVirtualClock clock;
    CRecordingLink link;
    auto* combo = Find<CChangePatchBankCombo>("select", "q9eChangePatchBankCombo219");
    if (!combo)
        combo = Find<CChangePatchBankCombo>("write", "q9eChangePatchBankCombo219");
    ASSERT_NE(combo, nullptr);
    Set("vs.control.selectPanelSw", 2);
    ASSERT_TRUE(CVeyViewManager::GetInstance().OpenRootPanel("select"));
    Set("vs.patchNameList.listCurrentBank", 0);
    EXPECT_EQ(combo->GetTextRecord(), "Bank 1");
    const GT::CTimerInfo tick;
    for (int i = 0; i < 3; ++i)
    {
        Wheel(*combo, 1);
        clock.Advance(100);
        combo->OnTimer(tick);
    }
    EXPECT_EQ(Number("vs.patchNameList.listCurrentBank"), 3) << "each step shows at once";
    EXPECT_EQ(combo->GetTextRecord(), "Bank 4");
    EXPECT_TRUE(link.nameRequests.empty());
    clock.Advance(500);
    combo->OnTimer(tick);
    ASSERT_EQ(link.nameRequests.size(), 1u) << "one locate and one request after the run";
    EXPECT_EQ(link.nameRequests[0][0], 3);
    Wheel(*combo, -10);
    EXPECT_EQ(Number("vs.patchNameList.listCurrentBank"), 0);
    Wheel(*combo, -1);
    EXPECT_EQ(Number("vs.patchNameList.listCurrentBank"), 0) << "no wrap at the first bank";
}

TEST_F(InstrumentControls, TheWriteButtonOpensTheWritePanelOnAPatchScreen)
{
    CRecordingLink link;
    auto* write = Find<CWritePanelButton>("main", "writeButton");
    ASSERT_NE(write, nullptr);
    link.patchState = IInstrumentLink::kPatchScreen;
    ASSERT_TRUE(link.SelectProgram(CVeyEntityId(0, 0, 5, 3)));
    CommitChanges();
    Set("vs.control.writePanelSw", 0);
    Click(*write);
    EXPECT_EQ(Number("vs.control.writePanelSw"), 2);
    EXPECT_EQ(Number("vs.patchNameList.listCurrentBank"), 5) << "the list shows the current patch's bank";
    EXPECT_EQ(Number("vs.patchNameList.currentNumber"), 4);
}

TEST_F(InstrumentControls, AnEditOfOneToneReachesEverySelectedTone)
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    CToneSynchronizer synchronizer;
    ASSERT_TRUE(synchronizer.IsBound());
    buffers.GetHandlers().Append(new CToneSynchronizer());
    const auto level = [](int tone) { return "fm.pat.tone[" + std::to_string(tone) + "].lfo1Rate"; };
    Set("vs.control.patchToneStateValue", 5);   // tones 0 and 2
    Set(level(1), 10);
    Set(level(2), 10);
    Set(level(0), 33);
    EXPECT_EQ(Number(level(2)), 33);
    EXPECT_EQ(Number(level(1)), 10) << "a tone outside the selection keeps its value";
    Set("vs.control.patchToneStateValue", 4);   // tone 2 alone
    Set(level(2), 44);
    EXPECT_EQ(Number(level(0)), 33);
}

TEST_F(InstrumentControls, ClosingTheSelectPanelAsksForThePatchNamesAgain)
{
    CVeyFunctorRegistry& functors = CVeyFunctorRegistry::GetInstance();
    // Calls of a name nobody registered are dropped; the instrument layer registers the real one.
    static struct : IVeyFunctor
    {
        void Run(std::string&, const std::string&) override {}
    } readReserved;
    functors.Register("ReadReservedPatches", &readReserved);
    CEntityNameHandler handler;
    CVeyValue* selectPanel = Value("vs.control.selectPanelSw");
    const size_t before = functors.GetQueuedCount();
    struct SCase
    {
        int32_t from, to;
        size_t queued;
    };
    for (const SCase& c : {SCase{2, 1, 0}, SCase{1, 0, 0}, SCase{2, 0, 1}})
    {
        selectPanel->SetNumber(c.from);
        handler.OnSetValues({{selectPanel, c.to}});
        EXPECT_EQ(functors.GetQueuedCount() - before, c.queued) << c.from << " -> " << c.to;
    }
}

TEST(NavigationState, FollowsTheEditModeToTheSamePlace)
{
    struct SCase
    {
        int32_t oldMode, state, newMode, result;
    };
    for (const SCase& c : {SCase{0, 7, 1, 14}, SCase{1, 14, 0, 7}, SCase{0, 4, 1, 13}, SCase{0, 12, 1, 13},
                           SCase{1, 12, 0, 12}, SCase{0, 2, 1, 2}, SCase{1, 3, 0, 3}, SCase{0, 9, 0, 9},
                           SCase{1, 16, 1, 16}, SCase{0, 13, 1, 13},
                           // Outside the table the state stays instead of reading past it.
                           SCase{1, 7, 2, 7}, SCase{-1, 7, 0, 7}, SCase{0, 17, 1, 17}, SCase{0, -3, 1, -3}})
        EXPECT_EQ(CNavigationStateManager::Convert(c.oldMode, c.state, c.newMode), c.result)
            << c.oldMode << " " << c.state << " " << c.newMode;
}

TEST_F(InstrumentControls, ANameRequestThatFailedIsAskedAgain)
{
    struct CFlakyLink : CRecordingLink
    {
        bool RequestUserPatchNames(int32_t bank, int32_t first, int32_t count) override
        {
            CRecordingLink::RequestUserPatchNames(bank, first, count);
            return answer;
        }
        bool answer = false;
    } link;
    Set("vs.patchNameList.listCurrentBank", 6);
    EXPECT_FALSE(CPatchBanks::RequestVisibleNames(false));
    link.answer = true;
    EXPECT_TRUE(CPatchBanks::RequestVisibleNames(false)) << "the rows were not read: they are asked for again";
    EXPECT_TRUE(CPatchBanks::RequestVisibleNames(false));
    EXPECT_EQ(link.nameRequests.size(), 2u) << "a range read once is not read again unless forced";
    EXPECT_TRUE(CPatchBanks::RequestVisibleNames(true));
    EXPECT_EQ(link.nameRequests.size(), 3u);

    // Without MIDI devices the user is told why the names do not come.
    std::vector<int32_t> shown;
    CVeyMidiRequester::SetMessageShower([&shown](int32_t id) { shown.push_back(id); });
    link.connected = false;
    EXPECT_FALSE(CPatchBanks::RequestVisibleNames(true));
    CVeyMidiRequester::SetMessageShower(nullptr);
    EXPECT_EQ(shown, std::vector<int32_t>{CPatchBanks::kMessageMidiNotSetUp});
    EXPECT_EQ(link.nameRequests.size(), 3u);
}

TEST_F(InstrumentControls, WithoutAWaveBankTheWaveSelectorsChangeNothing)
{
    auto* waveL = Find<CWaveIndexSelectControl>("main", "waveL");
    auto* group = Find<CWaveGroupSelectControl>("main", "waveGroup");
    ASSERT_TRUE(waveL && group);
    const std::string tone = "fm.pat.tone[" + std::to_string(Number("vs.control.patchToneActiveValue")) + "].";
    group->SetValue(0);
    Set(tone + "waveNumberL", 7);
    // A script without wave names leaves no wave bank: nothing to clamp into, nothing is sent.
    ASSERT_TRUE(CInstrumentEntities::GetInstance().GetManager().RemoveBank(CVeyEntityId(1, 1, 0, 0)));
    waveL->SetValue(3);
    Wheel(*waveL, 1);
    group->SetValue(0);
    EXPECT_EQ(Number(tone + "waveNumberL"), 7);
    EXPECT_EQ(waveL->GetValueCount(), 0);
}

TEST_F(InstrumentControls, ToneRangesKeepTheirOrder)
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.GetHandlers().Append(new CFadeRangeClipper());
    Set("fm.pat.tmt.tmtKeyboardRangeUpper[1]", 60);
    Set("fm.pat.tmt.tmtKeyboardRangeLower[1]", 70);
    EXPECT_EQ(Number("fm.pat.tmt.tmtKeyboardRangeUpper[1]"), 70) << "the upper key follows the lower one up";
    Set("fm.pat.tmt.tmtVelocityRangeLower[2]", 50);
    Set("fm.pat.tmt.tmtVelocityRangeUpper[2]", 40);
    EXPECT_EQ(Number("fm.pat.tmt.tmtVelocityRangeLower[2]"), 40) << "the lower velocity follows the upper one down";
}

TEST_F(InstrumentControls, TheEffectTypeMenuOpensByCategoryAndSetsThePickedType)
{
    auto* mfx = Find<CMfxSelectCombo>("main", "mfxType");
    ASSERT_NE(mfx, nullptr);
    Set("fm.pat.mfx.mfxType", 22);
    ::mkdir(Q9_PANEL_PICTURE_FOLDER, 0755);
    const std::string picture = std::string(Q9_PANEL_PICTURE_FOLDER) + "/effect-type-menu.png";
    std::vector<std::string> categories;
    std::vector<std::string> modulation;
    PressWithMenu(*mfx, [&] {
        categories = UiDriver::DescribePopupMenu();
        modulation = UiDriver::DescribePopupMenu({2});
        UiDriver::SavePopupMenuPicture(picture);
        // Chorus and flanger effects, the second entry: type 24.
        EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({3, 1}));
    });
    ASSERT_EQ(categories.size(), 11u);
    for (const std::string& title : categories)
        EXPECT_EQ(title.back(), '>') << title;
    ASSERT_EQ(modulation.size(), 12u);
    EXPECT_EQ(modulation.back(), "* 22: QM ROTARY") << "the current type is marked";
    EXPECT_EQ(Number("fm.pat.mfx.mfxType"), 24);
    EXPECT_EQ(mfx->GetTextRecord(), "24 FLANGER");
    EXPECT_FALSE(mfx->IsButtonPressed());
}

TEST(LfoWaveforms, FollowTheirFormulasInPixels)
{
    // 100 columns inside, 50 rows: 100 level units are 12 pixels, the centre is row 26.
    const CLfoControl::CPlotFrame frame = CLfoControl::CPlotFrame::FromRect(CRect(0, 0, 102, 52));
    EXPECT_EQ(CLfoControl::PeriodPixels(0, frame), 44) << "about 2.25 periods across";
    struct SCase
    {
        const char* what;
        int32_t waveform, offset;
        double t;
        double level;
    };
    std::vector<int32_t> steps(16, 64);
    steps[15] = 100;
    for (const SCase& c : {SCase{"sine starts at the centre", 0, 2, 1, 26}, SCase{"offset 0 moves it down", 0, 0, 1, 39},
                           SCase{"offset 4 moves it up", 0, 4, 1, 13}, SCase{"bend up starts below", 6, 2, 1, 38},
                           SCase{"bend down starts above", 7, 2, 1, 14}, SCase{"bend ends at the centre", 6, 2, 1 + 44, 26},
                           SCase{"square starts high", 4, 2, 1, 14}, SCase{"nothing before the start", 0, 2, 0.5, 0}})
    {
        auto generator = CLfoControl::CreateWaveform(c.waveform, 0, c.offset, frame, steps);
        ASSERT_NE(generator, nullptr) << c.what;
        EXPECT_DOUBLE_EQ(generator->Value(c.t), c.level) << c.what;
    }
    // Sixteen steps over two periods (88 pixels); halfway through the last step the interpolated
    // curve is halfway back to the first step, the stepped one still on the last.
    const double lastHalf = 1 + 88 * 15.5 / 16;
    EXPECT_DOUBLE_EQ(CLfoControl::CreateWaveform(12, 0, 2, frame, steps, 1)->Value(lastHalf), 20);
    EXPECT_DOUBLE_EQ(CLfoControl::CreateWaveform(12, 0, 2, frame, steps, 0)->Value(lastHalf), 14);
    EXPECT_NE(CLfoControl::CreateWaveform(12, 0, 2, frame, steps, 7), nullptr) << "an unknown step type draws steps";
    EXPECT_EQ(CLfoControl::CreateWaveform(13, 0, 2, frame), nullptr);
    EXPECT_EQ(CLfoControl::CreateFader(4, 0, 0), nullptr);
}

TEST_F(InstrumentControls, ScrollingAsksForTheNamesOnceTheBarStops)
{
    CVirtualClock clock;
    CRecordingLink link;
    auto* scroll = Find<CPatchNameListScroll>("select", "scroll");
    ASSERT_NE(scroll, nullptr);
    Set("vs.patchNameList.listCurrentBank", 1);
    const GT::CTimerInfo tick;
    for (int32_t lower : {2, 4, 6})
    {
        scroll->MoveCurrentRange(lower);
        clock.Advance(50);
        scroll->OnTimer(tick);
    }
    EXPECT_TRUE(link.nameRequests.empty());
    clock.Advance(200);
    scroll->OnTimer(tick);
    ASSERT_EQ(link.nameRequests.size(), 1u);
    // The rows now in view, from the last position only.
    const int32_t lo = Number("vs.patchNameList.listCurRangeLo");
    EXPECT_EQ(link.nameRequests[0], (std::vector<int32_t>{1, lo - 1, Number("vs.patchNameList.listCurRangeUp") - lo}));
    EXPECT_EQ(lo, 7) << "index 6 of a range counted from 1";
    clock.Advance(1000);
    scroll->OnTimer(tick);
    EXPECT_EQ(link.nameRequests.size(), 1u);
}

TEST_F(InstrumentControls, TheNameListScrollShowsTheFirstVisibleRowWhileItIsHeld)
{
    CVirtualClock clock;
    CRecordingLink link;
    CVeyRecordingTipBar tipBar;
    IVeyTipBar* const saved = VeySetTipBar(&tipBar);
    auto* scroll = Find<CPatchNameListScroll>("select", "scroll");
    ASSERT_NE(scroll, nullptr);
    Set("vs.patchNameList.listCurrentBank", 1);
    UL::CMouseInfo down(0, Centre(scroll->GetRect()), 0);
    down.m_kind = UL::MOUSE_DOWN;
    down.m_flags = 0;
    scroll->OnMouse(down);
    // The press moved the bar a page; the view manager hands the change to the bar.
    scroll->OnValuesChanged({Value("vs.patchNameList.listCurRangeLo")});
    EXPECT_TRUE(tipBar.IsShown());
    EXPECT_EQ(tipBar.GetText(), std::to_string(Number("vs.patchNameList.listCurRangeLo")));
    EXPECT_NE(tipBar.GetText(), "1");
    UL::CMouseInfo up(0, Centre(scroll->GetRect()), 0);
    up.m_kind = UL::MOUSE_UP;
    up.m_flags = 0;
    scroll->OnMouse(up);
    EXPECT_FALSE(tipBar.IsShown());
    VeySetTipBar(saved);
}

TEST_F(InstrumentControls, AScrollButtonHeldAgainstTheEndAsksForTheNamesInView)
{
    CVirtualClock clock;
    CRecordingLink link;
    auto* down = Find<CPatchNameListScrollButton>("select", "down");
    ASSERT_NE(down, nullptr);
    Set("vs.patchNameList.listCurrentBank", 1);
    Set("vs.patchNameList.listCurRangeUp", Number("vs.patchNameList.listCurRangeUp") - Number("vs.patchNameList.listCurRangeLo") + 1);
    Set("vs.patchNameList.listCurRangeLo", 1);
    UL::CMouseInfo press(0, Centre(down->GetRect()), 0);
    press.m_kind = UL::MOUSE_DOWN;
    press.m_flags = 0;
    down->OnMouse(press);
    const GT::CTimerInfo tick;
    for (int i = 0; i < 100 && link.nameRequests.empty(); ++i)
    {
        clock.Advance(50);
        down->OnTimer(tick);
    }
    ASSERT_EQ(link.nameRequests.size(), 1u) << "asked for while the button is still down";
    EXPECT_TRUE(down->IsCapturing());
    EXPECT_EQ(Number("vs.patchNameList.listCurRangeUp"), Number("vs.patchNameList.listScrollRangeUp"));
    const int32_t lo = Number("vs.patchNameList.listCurRangeLo");
    EXPECT_EQ(link.nameRequests[0], (std::vector<int32_t>{1, lo - 1, Number("vs.patchNameList.listCurRangeUp") - lo}));
}

TEST_F(InstrumentControls, PickingAWaveMovesTheToneIntoTheInternalGroup)
{
    auto* waveR = Find<CWaveIndexSelectControl>("main", "waveR");
    ASSERT_NE(waveR, nullptr);
    const std::string tone = "fm.pat.tone[" + std::to_string(Number("vs.control.patchToneActiveValue")) + "].";
    Set(tone + "waveGroupType", 2);
    Set(tone + "waveGroupID", 23);
    const auto pick = [&](const std::vector<int>& path) {
        PressWithMenu(*waveR, [&] { EXPECT_TRUE(UiDriver::ChoosePopupMenuItem(path)); });
    };
    pick({0, 0});   // "Off" leaves the group alone
    EXPECT_EQ(Number(tone + "waveNumberR"), 0);
    EXPECT_EQ(Number(tone + "waveGroupType"), 2);
    pick({1, 2});   // wave 34
    EXPECT_EQ(Number(tone + "waveNumberR"), 34);
    EXPECT_EQ(Number(tone + "waveGroupType"), 1);
    EXPECT_EQ(Number(tone + "waveGroupID"), 23);
    EXPECT_EQ(waveR->GetTextRecord().substr(0, 5), "0034 ");
}

TEST_F(InstrumentControls, TheBankMenuAndTheSelectButtonTurnTheList)
{
    CRecordingLink link;
    auto* combo = Find<CChangePatchBankCombo>("select", "q9eChangePatchBankCombo219");
    auto* select = Find<CSelectPanelButton>("main", "selectButton");
    ASSERT_TRUE(combo && select);
    Set("vs.patchNameList.categorySelectFlag", 1);
    std::vector<std::string> banks;
    PressWithMenu(*combo, [&] {
        banks = UiDriver::DescribePopupMenu();
        EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({2}));
    });
    ASSERT_EQ(banks.size(), 8u);
    EXPECT_EQ(banks[0], "*Bank 1");
    EXPECT_EQ(banks[7], "Bank 8");
    EXPECT_EQ(Number("vs.patchNameList.listCurrentBank"), 2);
    EXPECT_EQ(Number("vs.patchNameList.categorySelectFlag"), 0);

    // Opening the select panel turns the list to the current patch's bank; closing it does not.
    ASSERT_TRUE(link.SelectProgram(CVeyEntityId(0, 0, 6, 10)));
    CommitChanges();
    Set("vs.control.selectPanelSw", 0);
    Click(*select);
    EXPECT_EQ(Number("vs.control.selectPanelSw"), 2);
    EXPECT_EQ(Number("vs.patchNameList.listCurrentBank"), 6);
    EXPECT_EQ(Number("vs.patchNameList.currentNumber"), 11);
    Set("vs.patchNameList.listCurrentBank", 1);
    Click(*select);
    EXPECT_EQ(Number("vs.control.selectPanelSw"), 0);
    EXPECT_EQ(Number("vs.patchNameList.listCurrentBank"), 1);
}
