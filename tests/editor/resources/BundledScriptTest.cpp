// The script that ships with the editor, read as the editor reads it: no diagnostic at all, every
// value the instrument layer binds by name, the instrument's memory layout, and every root panel
// opened and drawn to a picture under the build folder.
#include "editor/CResourceFactory.h"
#include "midi/framework/CVeyMidiManager.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/CVeyStruct.h"
#include "model/CVeyTable.h"
#include "model/CVeyValue.h"
#include "model/VeyManagers.h"
#include "platform/Gdi.h"
#include "platform/Messages.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyBarControls.h"
#include "ui/controls/CVeyPictureControls.h"
#include "ui/controls/CVeySliderControl.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "toolkit/ul/Input.h"
#include "ui/panels/CPanelWindow.h"
#include "ui/panels/CVeyPanel.h"
#include "ui/panels/CVeyViewManager.h"

#include <gtest/gtest.h>

#include <map>

#include <sys/stat.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace
{
// Every path the instrument layer binds by name; "%d" paths for each index.
const std::vector<std::pair<std::string, int>> kBoundPaths = {
    {"fm.setup.kbdPatchBankSelectMsb", 0},          {"fm.setup.kbdPatchBankSelectLsb", 0},
    {"fm.setup.kbdPatchProgramNumber", 0},          {"fm.pat.common.patchName", 0},
    {"fm.pat.common.patchCategory", 0},             {"fm.pat.mfx.mfxType", 0},
    {"fm.pat.rev.reverbType", 0},                   {"fm.pat.cho.chorusType", 0},
    {"fm.pat.tmt.tmtKeyboardRangeLower[%d]", 4},    {"fm.pat.tmt.tmtKeyboardRangeUpper[%d]", 4},
    {"fm.pat.tmt.tmtVelocityRangeLower[%d]", 4},    {"fm.pat.tmt.tmtVelocityRangeUpper[%d]", 4},
    {"fm.pat.tone[%d].waveGroupType", 4},           {"fm.pat.tone[%d].waveGroupID", 4},
    {"fm.pat.tone[%d].waveNumberL", 4},             {"fm.pat.tone[%d].waveNumberR", 4},
    {"cm.command.writeRequest", 0},                 {"cm.command.writeStart", 0},
    {"cm.command.writeComplete", 0},                {"vs.control.moduleType", 0},
    {"vs.control.patchToneStateValue", 0},          {"vs.control.patchToneActiveValue", 0},
    {"vs.control.selectPanelSw", 0},                {"vs.control.writePanelSw", 0},
    {"vs.navigation.patpat.state", 0},              {"vs.navigation.patpat.editMode", 0},
    {"vs.patchNameList.currentNumber", 0},          {"vs.patchNameList.listCurRangeLo", 0},
    {"vs.patchNameList.listCurRangeUp", 0},         {"vs.patchNameList.listScrollRangeLo", 0},
    {"vs.patchNameList.listScrollRangeUp", 0},      {"vs.patchNameList.listCurrentBank", 0},
    {"vs.patchNameList.firstVisibleMsb", 0},        {"vs.patchNameList.firstVisibleLsb", 0},
    {"vs.patchNameList.firstVisiblePc", 0},         {"vs.patchNameList.categorySelectFlag", 0},
    {"vs.system.keyboard.view", 0},                 {"ms.ch[%d].note", 16},
};
const std::vector<std::pair<std::string, int>> kBoundStructs = {
    {"fm", 0}, {"fm.setup", 0}, {"fm.system", 0}, {"fm.pat", 0}, {"fm.pat.mfx", 0}, {"fm.pat.cho", 0},
    {"fm.pat.rev", 0}, {"fm.pat.tone[%d]", 4},
};

std::vector<std::string> Expand(const std::vector<std::pair<std::string, int>>& paths)
{
    std::vector<std::string> out;
    for (const auto& [path, count] : paths)
    {
        if (count == 0)
            out.push_back(path);
        for (int i = 0; i < count; ++i)
        {
            const size_t at = path.find("%d");
            out.push_back(path.substr(0, at) + std::to_string(i) + path.substr(at + 2));
        }
    }
    return out;
}

struct BundledScript : ::testing::Test
{
    void SetUp() override { ASSERT_TRUE(m_script.Read()) << m_trace.Text(); }
    CTraceCapture m_trace;
    CBundledScript m_script;
};
}

TEST_F(BundledScript, ReadsWithoutADiagnosticAndBindsEveryNamedPath)
{
    EXPECT_EQ(m_trace.Text(), "");
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    for (const std::string& path : Expand(kBoundPaths))
        EXPECT_NE(buffers.FindValueOrNull(path), nullptr) << path;
    for (const std::string& path : Expand(kBoundStructs))
        EXPECT_NE(buffers.FindStructOrNull(path), nullptr) << path;

    // The ranges the instrument layer relies on.
    struct SRange
    {
        const char* path;
        int32_t min, max;
    };
    for (const SRange& r : {SRange{"fm.pat.mfx.mfxType", 0, 78}, SRange{"vs.navigation.patpat.state", 0, 16},
                            SRange{"vs.navigation.patpat.editMode", 0, 1}, SRange{"vs.patchNameList.listCurrentBank", 0, 7},
                            SRange{"vs.patchNameList.currentNumber", 0, 32}, SRange{"vs.patchNameList.listScrollRangeUp", 1, 33},
                            SRange{"vs.control.patchToneStateValue", 0, 15}, SRange{"vs.control.patchToneActiveValue", 0, 3},
                            SRange{"vs.control.selectPanelSw", 0, 2}, SRange{"vs.control.writePanelSw", 0, 2}})
    {
        const CVeyValue* value = buffers.FindValueOrNull(r.path);
        ASSERT_NE(value, nullptr) << r.path;
        EXPECT_EQ(value->GetDefinition()->GetMin(), r.min) << r.path;
        EXPECT_EQ(value->GetDefinition()->GetMax(), r.max) << r.path;
    }
    const CVeyValue* group = buffers.FindValueOrNull("fm.pat.tone[2].waveGroupID");
    EXPECT_TRUE(group->GetDefinition()->GetMin() <= 23 && 23 <= group->GetDefinition()->GetMax()) << "the internal wave group can be chosen";

    // The tables the effect swapper and the selectors read.
    CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
    ASSERT_NE(resources.GetStringTables().Find("mfxCategoryTable"), nullptr);
    const auto& categories = resources.GetStringTables().Find("mfxCategoryTable")->GetElements();
    EXPECT_EQ(categories.size(), 11u);
    EXPECT_EQ(std::set<std::string>(categories.begin(), categories.end()).size(), 11u) << "distinct titles";
    const std::pair<const char*, size_t> groups[] = {
        {"mfxValuePathTable", 79}, {"chorusValuePathTable", 4}, {"reverbValuePathTable", 6}};
    for (const auto& [table, typeCount] : groups)
    {
        const CVeyStringTable* paths = resources.GetStringTables().Find(table);
        ASSERT_NE(paths, nullptr) << table;
        size_t delimiters = 0;
        for (const std::string& path : paths->GetElements())
        {
            if (path == "DELIMITER")
                ++delimiters;
            else
                EXPECT_NE(buffers.FindValueOrNull(path), nullptr) << table << ": " << path;
        }
        EXPECT_EQ(delimiters, typeCount) << table << ": one group per effect type";
    }
    ASSERT_NE(resources.GetStringTables().Find("internalWaveNameTableA"), nullptr);
    EXPECT_GT(resources.GetStringTables().Find("internalWaveNameTableA")->GetElements().size(), 50u);
}

TEST_F(BundledScript, LaysOutTheInstrumentsMemoryAsThePatchFormatDoes)
{
    // Absolute begin and size of each leaf, in packed 7-bit address numbers.
    struct SLeaf
    {
        const char* path;
        int32_t begin;
        int32_t size;
    };
    auto address = [](int a, int b, int c, int d) { return (a << 21) | (b << 14) | (c << 7) | d; };
    const int32_t patch = address(0x1F, 0, 0, 0);
    const SLeaf leaves[] = {
        {"fm.setup", address(1, 0, 0, 0), 7},
        {"fm.pat.common", patch, 79},
        {"fm.pat.mfx", patch + address(0, 0, 2, 0), 145},
        {"fm.pat.cho", patch + address(0, 0, 4, 0), 84},
        {"fm.pat.rev", patch + address(0, 0, 6, 0), 83},
        {"fm.pat.tmt", patch + address(0, 0, 0x10, 0), 41},
        {"fm.pat.tone[0]", patch + address(0, 0, 0x20, 0), 154},
        {"fm.pat.tone[3]", patch + address(0, 0, 0x26, 0), 154},
    };
    for (const SLeaf& leaf : leaves)
    {
        SCOPED_TRACE(leaf.path);
        CVeyStruct* s = CVeyBufferManager::GetInstance().FindStructOrNull(leaf.path);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->GetKind(), CVeyStruct::kLeaf);
        EXPECT_EQ(CBundledScript::AbsoluteBegin(*s), leaf.begin);
        ASSERT_NE(s->GetData(), nullptr);
        EXPECT_EQ(int32_t(s->GetData()->size()), leaf.size);
    }
    // The program selection where the librarian's tone check reads it, and the bytes the
    // effect swapper keeps apart from the parameters.
    struct SValue
    {
        const char* path;
        int32_t offset;   // within its leaf
        int32_t size;
    };
    const SValue values[] = {{"fm.setup.kbdPatchBankSelectMsb", 4, 1}, {"fm.setup.kbdPatchBankSelectLsb", 5, 1},
                             {"fm.setup.kbdPatchProgramNumber", 6, 1}, {"fm.pat.common.patchName", 0, 12},
                             {"fm.pat.mfx.mfxType", 0, 1},             {"fm.pat.cho.chorusType", 0, 1},
                             {"fm.pat.rev.reverbType", 0, 1}};
    for (const SValue& v : values)
    {
        CVeyValue* value = CVeyBufferManager::GetInstance().FindValueOrNull(v.path);
        ASSERT_NE(value, nullptr) << v.path;
        EXPECT_EQ(value->GetAddressRange().begin, v.offset) << v.path;
        EXPECT_EQ(value->GetAddressRange().GetSize(), v.size) << v.path;
    }
    for (const char* root : {"vs", "cm"})
    {
        auto* s = dynamic_cast<CVeyRootStruct*>(CVeyBufferManager::GetInstance().FindStructOrNull(root));
        ASSERT_NE(s, nullptr) << root;
        EXPECT_EQ(s->GetMidiOut(), nullptr) << root << " is never sent";
    }
    auto* fm = dynamic_cast<CVeyRootStruct*>(CVeyBufferManager::GetInstance().FindStructOrNull("fm"));
    ASSERT_NE(fm, nullptr);
    EXPECT_NE(fm->GetMidiOut(), nullptr) << "edits of the instrument's memory are sent";
}

TEST_F(BundledScript, OpensAndDrawsEveryRootPanel)
{
    CVeyViewManager& views = CVeyViewManager::GetInstance();
    ASSERT_NE(views.FindRootPanel("main"), nullptr);
    ::mkdir(Q9_PANEL_PICTURE_FOLDER, 0755);
    // The other windows open as their buttons open them: the select and write windows by their
    // switches, the system area and the list windows by the screen they are.
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    const std::map<std::string, std::pair<const char*, int32_t>> opening = {
        {"select", {"vs.control.selectPanelSw", 2}},       {"write", {"vs.control.writePanelSw", 2}},
        {"system", {"vs.navigation.patpat.state", 0}},     {"commonList", {"vs.navigation.patpat.state", 4}},
        {"effectsList", {"vs.navigation.patpat.state", 5}}, {"toneList", {"vs.navigation.patpat.state", 6}},
    };
    for (const auto& root : views.GetRootPanels())
    {
        const std::string name = root->GetName();
        SCOPED_TRACE(name);
        const auto switched = opening.find(name);
        if (switched != opening.end())
        {
            CVeyValue* value = buffers.FindValueOrNull(switched->second.first);
            ASSERT_NE(value, nullptr) << switched->second.first;
            buffers.SetValue(value, switched->second.second);
            buffers.Flush();
            buffers.UpdateViews();
            buffers.ClearChanges();
        }
        else
            EXPECT_EQ(name, "main") << "a window no button opens";
        ASSERT_TRUE(views.OpenRootPanel(name)) << m_trace.Text();
        auto* windowPanel = dynamic_cast<CWindowRootPanel*>(root.get());
        ASSERT_NE(windowPanel, nullptr);
        EXPECT_NE(windowPanel->GetWindow(), nullptr) << "the panel has its window";
        while (PumpAllMessages())
        {
        }
        // The panel as its window paints it, into a picture of its own size.
        const CRect& rect = root->GetRect();
        CBitmap picture;
        ASSERT_TRUE(picture.CreateBitmap(rect.Width(), rect.Height()));
        CDC dc;
        dc.SelectObject(&picture);
        root->Draw(UL::CDrawInfo(&dc, nullptr, nullptr));
        const std::string path = std::string(Q9_PANEL_PICTURE_FOLDER) + "/" + name + ".png";
        EXPECT_TRUE(picture.SaveFile(path.c_str(), "PNG")) << path;
    }
    EXPECT_EQ(m_trace.Text(), "") << "every panel opens without a diagnostic";
}

TEST_F(BundledScript, TheParameterListsShowEveryLabelWhole)
{
    // A label drawn in its own width looks as the same label drawn with room to spare: nothing of
    // it is cut off or replaced by "...".
    for (const char* window : {"commonList", "toneList", "effectsList"})
    {
        SCOPED_TRACE(window);
        std::vector<CVeyControl*> labels;
        CBundledScript::FindControlWhere(window, [&labels](const CVeyControl& control) {
            if (dynamic_cast<const CVeyLabelControl*>(&control))
                labels.push_back(const_cast<CVeyControl*>(&control));
            return false;
        });
        ASSERT_GT(labels.size(), 50u);
        const CRect panel = CVeyViewManager::GetInstance().FindRootPanel(window)->GetRect();
        CBitmap fitted, roomy;
        ASSERT_TRUE(fitted.CreateBitmap(panel.Width() + 400, panel.Height()));
        ASSERT_TRUE(roomy.CreateBitmap(panel.Width() + 400, panel.Height()));
        CDC fittedDc, roomyDc;
        fittedDc.SelectObject(&fitted);
        roomyDc.SelectObject(&roomy);
        for (CVeyControl* label : labels)
        {
            const CRect rect = label->GetRect();
            const CRect wide(rect.left, rect.top, rect.right + 400, rect.bottom);
            fittedDc.FillSolidRect(wide, RGB(0, 0, 0));
            roomyDc.FillSolidRect(wide, RGB(0, 0, 0));
            label->Draw(UL::CDrawInfo(&fittedDc, nullptr, nullptr));
            label->SetRect(wide);
            label->Draw(UL::CDrawInfo(&roomyDc, nullptr, nullptr));
            label->SetRect(rect);
            int differing = 0;
            for (int y = std::max(0, int(rect.top)); y < std::min(int(rect.bottom), int(panel.Height())); ++y)
                for (int x = std::max(0, int(rect.left)); x < rect.right; ++x)
                    differing += (fitted.GetRow(y)[x] & 0xFFFFFFu) != (roomy.GetRow(y)[x] & 0xFFFFFFu);
            EXPECT_EQ(differing, 0) << static_cast<CVeyLabelControl*>(label)->GetLabel();
        }
    }
}

TEST_F(BundledScript, EverySliderOfTheMainAndSystemWindowsRunsInATrack)
{
    // A slider draws only its thumb (a bar slider only its bar): the track is a picture behind it,
    // drawn first.
    for (const char* window : {"main", "system"})
    {
        SCOPED_TRACE(window);
        std::vector<const CVeyControl*> controls;
        CBundledScript::FindControlWhere(window, [&controls](const CVeyControl& control) {
            controls.push_back(&control);
            return false;
        });
        int sliders = 0;
        for (size_t i = 0; i < controls.size(); ++i)
        {
            const bool slider = dynamic_cast<const CVeySliderControl*>(controls[i]) ||
                                (dynamic_cast<const CVeyBarSliderControl*>(controls[i]) && std::string(window) == "system");
            if (!slider)
                continue;
            ++sliders;
            const CRect rect = controls[i]->GetRect();
            bool track = false;
            for (size_t j = 0; j < i; ++j)
                track |= dynamic_cast<const CVeyPictureControl*>(controls[j]) && CRect(controls[j]->GetRect()) == rect;
            EXPECT_TRUE(track) << controls[i]->GetFullName();
        }
        EXPECT_GT(sliders, 0);
    }
}

TEST_F(BundledScript, TheInitialDataFileFitsThisScriptAndAShorterOneIsRefusedWhole)
{
    const std::string path = CBundledScript::Folder() + "InitialData.q9e";
    CVeyDataFile& file = CVeyDataFile::GetInstance();
    file.SetProductName("Talvarix");
    file.SetRootStruct(dynamic_cast<CVeyRootStruct*>(CVeyBufferManager::GetInstance().FindStructOrNull("fm")));
    ASSERT_NE(file.GetRootStruct(), nullptr);
    CVeyValue* name = CVeyBufferManager::GetInstance().FindValueOrNull("fm.pat.common.patchName");
    CVeyBufferManager::GetInstance().SetText(name, "CHANGED");
    CVeyBufferManager::GetInstance().ClearChanges();
    EXPECT_TRUE(file.Load(path));
    EXPECT_EQ(name->GetText(), "INIT PATCH  ") << "the initial data are the script's defaults";
    CVeyBufferManager::GetInstance().ClearChanges();

    // A file of another script whose body is one byte shorter is refused whole and left alone.
    const std::string bytes = ReadFileBytes(path);
    CTempDir folder;
    const std::string shorter = bytes.substr(0, bytes.size() - 1);
    CVeyBufferManager::GetInstance().SetText(name, "KEPT        ");
    CVeyBufferManager::GetInstance().ClearChanges();
    ASSERT_TRUE(WriteFileBytes(folder.File("other.q9e"), shorter));
    EXPECT_FALSE(file.Load(folder.File("other.q9e")));
    EXPECT_EQ(name->GetText(), "KEPT        ") << "nothing of a refused file reaches the model";
    EXPECT_EQ(ReadFileBytes(folder.File("other.q9e")), shorter) << "the refused file is left alone";

    // One byte longer: the body is read and the rest ignored, with a line that says so.
    CTraceCapture trace;
    ASSERT_TRUE(WriteFileBytes(folder.File("longer.q9e"), bytes + std::string(1, '\0')));
    EXPECT_TRUE(file.Load(folder.File("longer.q9e")));
    EXPECT_EQ(name->GetText(), "INIT PATCH  ");
    EXPECT_NE(trace.Text().find("Data file is longer than the data of"), std::string::npos) << trace.Text();
    EXPECT_EQ(ReadFileBytes(path), bytes);
    file.SetRootStruct(nullptr);
}

namespace
{
void CollectShownValues(const CVeyPanel& panel, std::set<const CVeyValue*>& shown)
{
    for (const auto& control : panel.GetChildControls())
        for (int32_t i = 0; i < control->GetValueRefCount(); ++i)
            if (const CVeyValue* value = control->GetValue(i))
                shown.insert(value);
    for (const auto& child : panel.GetChildPanels())
        CollectShownValues(*child, shown);
}

void ForEachValue(CVeyStruct& s, const std::function<void(CVeyValue&)>& visit)
{
    if (std::vector<CVeyValue>* values = s.GetValues())
        for (CVeyValue& value : *values)
            visit(value);
    if (CVeyStructList* children = s.GetChildStructs())
        for (auto& child : *children)
            ForEachValue(*child, visit);
}
}

TEST_F(BundledScript, EveryParameterOfTheInstrumentCanBeEditedOnAPanel)
{
    std::set<const CVeyValue*> shown;
    for (const auto& root : CVeyViewManager::GetInstance().GetRootPanels())
        CollectShownValues(*root, shown);
    // The tone panels follow the selected tone, so tone 1's parameters stand for every tone's.
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    size_t parameters = 0;
    ForEachValue(*buffers.FindStructOrNull("fm"), [&](CVeyValue& value) {
        const CVeyValueDefinition& d = *value.GetDefinition();
        if (d.GetEncoding() != CVeyValueDefinition::kString && d.GetMin() == d.GetMax())
            return;   // a reserved byte has nothing to edit
        ++parameters;
        const CVeyValue* standIn = &value;
        if (value.GetParent()->GetName().rfind("tone[", 0) == 0)
            standIn = buffers.FindValueOrNull("fm.pat.tone[0]." + value.GetName());
        EXPECT_TRUE(shown.count(standIn)) << value.GetParent()->GetName() << "." << value.GetName() << " is on no panel";
    });
    EXPECT_GT(parameters, 300u);
}
