#include "ui/panels/CVeyViewManager.h"

#include "model/CVeyAttributeReader.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyErrorOut.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/VeyManagers.h"
#include "platform/Messages.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/SafeFile.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyControlFactory.h"
#include "ui/panels/CPanelWindow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <unordered_map>

namespace
{
// Beyond any desktop; a number this large in the file is damage (an overflowed number reads as one).
constexpr int32_t kMaxWindowCoordinate = 1000000;
// Panel types nest a few levels in a real script; the limit keeps a hostile one off the stack's end.
constexpr size_t kMaxPanelNesting = 64;
// Panels and controls of all root panels together: a whole editor has a few thousand. A short
// script of nested panel types could otherwise ask for millions of windows' worth of objects.
constexpr uint64_t kMaxViews = 1u << 18;

// How many panels and controls the root panels make, counted from the definitions before any is
// made; each type's count is worked out once. Missing types count as nothing; a type that contains
// itself or nests too deeply makes the whole count 0, since converting it fails and says why.
// The result stops just past kMaxViews.
uint64_t CountViews(const CVeyTypeDefinitions& types, const CVeyElementDefinitions& roots)
{
    constexpr uint64_t tooMany = kMaxViews + 1;
    std::unordered_map<const CVeyTypeDefinition*, uint64_t> perType;
    std::vector<const CVeyTypeDefinition*> chain;
    bool broken = false;
    std::function<uint64_t(const CVeyTypeDefinition&)> countType = [&](const CVeyTypeDefinition& type) -> uint64_t {
        if (const auto known = perType.find(&type); known != perType.end())
            return known->second;
        if (broken || chain.size() >= kMaxPanelNesting || std::find(chain.begin(), chain.end(), &type) != chain.end())
        {
            broken = true;
            return 0;
        }
        chain.push_back(&type);
        uint64_t count = 1 + type.GetLeafChildren().size();
        for (const CVeyElementDefinition& child : type.GetStructuralChildren())
            if (const CVeyTypeDefinition* childType = VeyFindTypeDefinition(types, child.GetTypeName()))
                count = std::min(count + countType(*childType), tooMany);
        chain.pop_back();
        perType.emplace(&type, count);
        return count;
    };
    uint64_t total = 0;
    for (const CVeyElementDefinition& root : roots)
        if (const CVeyTypeDefinition* type = VeyFindTypeDefinition(types, root.GetTypeName()))
            total = std::min(total + countType(*type), tooMany);
    return broken ? 0 : total;
}

}

CVeyViewManager& CVeyViewManager::GetInstance()
{
    static CVeyViewManager manager;
    return manager;
}

CVeyViewManager::CVeyViewManager()
{
    CVeyBufferManager::GetInstance().SetViewUpdater(this);
    // Open root panels own windows, which must go before the platform ends.
    AddShutdownHandler([this] { Clear(); });
}

CVeyViewManager::~CVeyViewManager()
{
    // The buffer manager was made first and outlives this object.
    CVeyBufferManager::GetInstance().SetViewUpdater(nullptr);
}

void CVeyViewManager::RegisterManagerStep()
{
    VeySetManagerStep(
        EVeyManager::kView, [] { return GetInstance().CreateRootPanels(); }, [] { GetInstance().Clear(); });
}

void CVeyViewManager::SetPanelFactory(CVeyPanelFactory* factory)
{
    m_panelFactory = factory;
}

CVeyPanelFactory& CVeyViewManager::GetPanelFactory() const
{
    static CWindowPanelFactory framework;
    return m_panelFactory ? *m_panelFactory : framework;
}

bool CVeyViewManager::CreateRootPanels()
{
    CVeyScriptDefinitions::CViewGroup& group = CVeyScriptDefinitions::GetInstance().GetViewGroup();
    for (CVeyTypeDefinition& type : group.panelTypes)
        m_panelTypes.push_back(std::move(type));
    for (CVeyElementDefinition& definition : group.rootPanels)
        m_rootPanelDefinitions.push_back(std::move(definition));
    group.Clear();

    if (CountViews(m_panelTypes, m_rootPanelDefinitions) > kMaxViews)
    {
        GetTraceTextOut().Printf("Root panels are too large: more than %llu panels and controls.\n",
                                 static_cast<unsigned long long>(kMaxViews));
        return false;
    }
    for (const CVeyElementDefinition& definition : m_rootPanelDefinitions)
    {
        m_rootPanels.push_back(GetPanelFactory().CreateRootPanel());
        CVeyRootPanel& panel = *m_rootPanels.back();
        if (!ConvertPanel(definition, panel))
        {
            GetTraceTextOut().Printf("Unable to convert root panel definition %s to root panel.\n",
                                     definition.GetTypeName().c_str());
            return false;
        }
        if (!panel.Create(nullptr))
        {
            GetTraceTextOut().Printf("Unable to create root panel %s.\n", panel.GetName().c_str());
            return false;
        }
    }
    m_rootPanelDefinitions.clear();
    return true;
}

bool CVeyViewManager::ConvertPanel(const CVeyElementDefinition& definition, CVeyPanel& panel)
{
    const CVeyTypeDefinition* type = VeyFindTypeDefinition(m_panelTypes, definition.GetTypeName());
    if (!type)
    {
        GetTraceTextOut().Printf("Unable to find panel definition %s.\n", definition.GetTypeName().c_str());
        return false;
    }
    // A type that contains itself, directly or through others, would never finish.
    if (std::find(m_convertingTypes.begin(), m_convertingTypes.end(), type) != m_convertingTypes.end())
    {
        GetTraceTextOut().Printf("Panel type contains itself. : %s\n", type->GetTypeName().c_str());
        return false;
    }
    if (m_convertingTypes.size() >= kMaxPanelNesting)
    {
        GetTraceTextOut().Printf("Panel type is nested too deeply. : %s\n", type->GetTypeName().c_str());
        return false;
    }
    m_convertingTypes.push_back(type);
    struct CPopType
    {
        std::vector<const CVeyTypeDefinition*>& chain;
        ~CPopType() { chain.pop_back(); }
    } popType{m_convertingTypes};
    const CVeyElementDefinition::CAttributes& macros = definition.GetAttributes();
    CVeyElementDefinition::CAttributes attributes = type->GetAttributes();
    if (!VeyResolveMacros(macros, attributes))
    {
        GetTraceTextOut().Printf("Unable to resolve macros %s.\n", definition.GetTypeName().c_str());
        return false;
    }
    if (!panel.LoadAttributes(attributes))
    {
        GetTraceTextOut().Printf("Unable to convert panel from element definitions %s.\n",
                                 definition.GetTypeName().c_str());
        return false;
    }
    if (!attributes.empty())
    {
        CVeyAttributeReader::ReportUnknownTags("Panel", panel.GetName(), attributes);
        return false;
    }

    for (const CVeyElementDefinition& childDefinition : type->GetStructuralChildren())
    {
        CVeyElementDefinition child = childDefinition;
        if (!VeyResolveMacros(macros, child.GetAttributes()))
        {
            GetTraceTextOut().Printf("Unable to resolve macros %s.\n", child.GetTypeName().c_str());
            return false;
        }
        if (!VeyFindTypeDefinition(m_panelTypes, child.GetTypeName()))
        {
            GetTraceTextOut().Printf("Unable to find child panel type definition %s.\n", child.GetTypeName().c_str());
            return false;
        }
        CVeyPanel* node = panel.AddChildPanel(GetPanelFactory().CreateNodePanel());
        if (!ConvertPanel(child, *node))
        {
            GetTraceTextOut().Printf("Unable to convert child panel definition %s to child panel.\n",
                                     child.GetTypeName().c_str());
            return false;
        }
    }

    for (const CVeyElementDefinition& childDefinition : type->GetLeafChildren())
    {
        CVeyElementDefinition child = childDefinition;
        if (!VeyResolveMacros(macros, child.GetAttributes()))
        {
            GetTraceTextOut().Printf("Unable to resolve macros %s.\n", child.GetTypeName().c_str());
            return false;
        }
        std::unique_ptr<CVeyControl> made = CVeyControlFactory::GetInstance().CreateControl(child);
        if (!made)
        {
            GetTraceTextOut().Printf("Unable to create child control %s.\n", child.GetTypeName().c_str());
            return false;
        }
        CVeyControl* control = panel.AddChildControl(std::move(made));
        CVeyElementDefinition::CAttributes controlAttributes = child.GetAttributes();
        if (!control->LoadAttributes(controlAttributes))
        {
            GetTraceTextOut().Printf("Unable to convert child control from element definitions %s.\n",
                                     child.GetTypeName().c_str());
            return false;
        }
        if (!controlAttributes.empty())
        {
            CVeyAttributeReader::ReportUnknownTags("Control", control->GetName(), controlAttributes);
            return false;
        }
    }
    return true;
}

bool CVeyViewManager::OpenRootPanel(const std::string& name)
{
    CVeyRootPanel* panel = FindRootPanel(name);
    if (!panel)
        return false;
    panel->OnValuesChanged({});
    return true;
}

bool CVeyViewManager::HandToRootPanels(const std::vector<CVeyValue*>& changes)
{
    bool reacted = false;
    // A panel may close (and its window go) while the list is handed on; index, not iterator.
    for (size_t i = 0; i < m_rootPanels.size(); ++i)
        reacted = m_rootPanels[i]->OnValuesChanged(changes) || reacted;
    return reacted;
}

bool CVeyViewManager::UpdateViews(const std::vector<CVeyValue*>& changes)
{
    if (changes.size() <= kChunkSize)
        return HandToRootPanels(changes);
    IVeyUpdateProgress idle;
    IVeyUpdateProgress* progress = m_progressSource ? m_progressSource() : nullptr;
    if (!progress)
        progress = &idle;
    progress->SetRange(static_cast<int32_t>((changes.size() >> 13) + 1));
    progress->SetPos(0);
    progress->SetMessage(GetMessageTable().Find(kUpdatingMessageId));
    progress->Begin();
    bool reacted = false;
    for (size_t begin = 0; begin < changes.size(); begin += kChunkSize)
    {
        const size_t end = std::min(changes.size(), begin + kChunkSize);
        const std::vector<CVeyValue*> chunk(changes.begin() + static_cast<std::ptrdiff_t>(begin),
                                            changes.begin() + static_cast<std::ptrdiff_t>(end));
        reacted = HandToRootPanels(chunk) || reacted;
        progress->Step();
    }
    progress->End();
    return reacted;
}

void CVeyViewManager::Clear()
{
    m_rootPanels.clear();
    m_panelTypes.clear();
    m_rootPanelDefinitions.clear();
    CVeyViewPointers& pointers = CVeyViewPointers::GetInstance();
    pointers.focused = nullptr;
    pointers.capturing = nullptr;
    pointers.tipBar = nullptr;
}

CVeyRootPanel* CVeyViewManager::FindRootPanel(const std::string& name) const
{
    for (const auto& panel : m_rootPanels)
        if (panel->GetName() == name)
            return panel.get();
    return nullptr;
}

CVeyView* CVeyViewManager::GetFocusedView() const { return CVeyViewPointers::GetInstance().focused; }
CVeyView* CVeyViewManager::GetCapturingView() const { return CVeyViewPointers::GetInstance().capturing; }
CVeyView* CVeyViewManager::GetTipBarView() const { return CVeyViewPointers::GetInstance().tipBar; }

std::string CVeyViewManager::GetWindowPositionPath() const
{
    return CVeyFolders::GetInstance().userDataFolder + "/" + "WindowPosition.txt";
}

void CVeyViewManager::ReadWindowPositions(std::istream& stream)
{
    std::string name;
    std::string position;
    while (std::getline(stream, name) && std::getline(stream, position))
    {
        // Tolerate a file that went through an editor that ends lines with CR LF.
        if (!name.empty() && name.back() == '\r')
            name.pop_back();
        if (!position.empty() && position.back() == '\r')
            position.pop_back();
        GT::CPoint32 point;
        // Compared on both sides: a coordinate of INT32_MIN has no absolute value.
        const auto outside = [](int32_t c) { return c < -kMaxWindowCoordinate || c > kMaxWindowCoordinate; };
        if (!GT::StringToPoint(position, &point) || outside(point.x) || outside(point.y))
            continue;
        if (CVeyRootPanel* panel = FindRootPanel(name))
            panel->SetWindowPosition(CPoint(point.x, point.y));
    }
}

void CVeyViewManager::WriteWindowPositions(std::ostream& stream)
{
    for (size_t i = 0; i < m_rootPanels.size(); ++i)
    {
        CVeyRootPanel& panel = *m_rootPanels[i];
        if (panel.IsOpen())
            panel.Close();
        const CPoint& position = panel.GetWindowPosition();
        stream << panel.GetName() << '\n' << position.x << ',' << position.y << '\n';
    }
}

bool CVeyViewManager::LoadWindowPositions()
{
    std::ifstream file(GetWindowPositionPath(), std::ios::binary);
    if (!file)
        return false;
    ReadWindowPositions(file);
    return true;
}

bool CVeyViewManager::SaveWindowPositions()
{
    std::ostringstream text;
    WriteWindowPositions(text);
    const std::string bytes = text.str();
    return GT::SaveFileAtomically(GetWindowPositionPath(), [&bytes](std::ostream& file) {
        return bool(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
    });
}
