#include "tests/editor/resources/InstrumentControlStandIns.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyTextWriter.h"
#include "platform/Gdi.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/CVeyView.h"

#include <algorithm>

namespace
{
bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class CStandIn : public CVeyControl
{
public:
    explicit CStandIn(std::string typeName) : m_typeName(std::move(typeName)) {}

    const std::string& GetTypeName() const override { return m_typeName; }

    bool LoadAttributes(CAttributes& attributes) override
    {
        if (!CVeyControl::LoadAttributes(attributes))
            return false;
        CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
        bool ok = true;
        for (const auto& [name, value] : attributes)
        {
            bool found = true;
            if (name == "stepValueRef")
                for (int step = 1; step <= 16; ++step)
                    m_valueRefs.emplace_back(value + std::to_string(step));
            else if (EndsWith(name, "ValueRef"))
                m_valueRefs.emplace_back(value);
            else if (name == "bitmapRef")
                found = resources.GetBitmaps().Find(value) != nullptr;
            else if (EndsWith(name, "WriterRef"))
                found = resources.GetTextWriters().Find(value) != nullptr;
            else if (name == "stringTableRef")
                found = resources.GetStringTables().Find(value) != nullptr;
            if (!found)
            {
                GetTraceTextOut().Printf("%s %s names no resource %s.\n", m_typeName.c_str(), name.c_str(), value.c_str());
                ok = false;
            }
        }
        attributes.clear();
        return ok;
    }

    void Draw(const UL::CDrawInfo& info) override
    {
        if (!info.IsVisible(m_rect))
            return;
        CBrush frame(RGB(240, 190, 90));
        info.m_dc->FillSolidRect(m_rect, RGB(30, 33, 40));
        info.m_dc->FrameRect(m_rect, &frame);
    }

private:
    std::string m_typeName;
};
}

CInstrumentControlStandIns::CInstrumentControlStandIns() : m_previous(GetRegistered())
{
    Register(this);
}

CInstrumentControlStandIns::~CInstrumentControlStandIns()
{
    Register(m_previous);
}

const std::vector<std::string>& CInstrumentControlStandIns::TypeNames()
{
    static const std::vector<std::string> names = {
        "q9eWaveIndexSelect",      "q9eWaveGroupSelect",    "norvikZMfxSelectCombo",   "norvikZLfoControl",
        "norvikZSwSlider",         "norvikZSwStaticTextPicture", "qdToneSelectButton", "wemSelectPanelButton",
        "q9eWritePanelButton",     "q9eSelectPartButton",   "q9ePatchNameListControl", "zt7PatchNameListScroll",
        "zt7PatchNameListScrollButton", "q9eChangePatchBankCombo"};
    return names;
}

std::unique_ptr<CVeyControl> CInstrumentControlStandIns::CreateControl(const CVeyElementDefinition& definition)
{
    const auto& names = TypeNames();
    if (std::find(names.begin(), names.end(), definition.GetTypeName()) != names.end())
        return std::make_unique<CStandIn>(definition.GetTypeName());
    return CVeyControlFactory::CreateControl(definition);
}
