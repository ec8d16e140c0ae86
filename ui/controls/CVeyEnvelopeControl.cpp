#include "ui/controls/CVeyEnvelopeControl.h"

#include "model/CVeyValue.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/VeyGraphPalette.h"

namespace
{
struct CParameterName
{
    const char* attribute;
    CVeyEnvelopeControl::EParameter key;
};

const CParameterName kParameterNames[] = {
    {"L0ValueRef", CVeyEnvelopeControl::kL0}, {"L1ValueRef", CVeyEnvelopeControl::kL1},
    {"L2ValueRef", CVeyEnvelopeControl::kL2}, {"L3ValueRef", CVeyEnvelopeControl::kL3},
    {"L4ValueRef", CVeyEnvelopeControl::kL4}, {"T1ValueRef", CVeyEnvelopeControl::kT1},
    {"T2ValueRef", CVeyEnvelopeControl::kT2}, {"T3ValueRef", CVeyEnvelopeControl::kT3},
    {"T4ValueRef", CVeyEnvelopeControl::kT4},
};

// The keys every envelope needs, with the names its missing-reference message lists.
const std::pair<CVeyEnvelopeControl::EParameter, const char*> kRequiredParameters[] = {
    {CVeyEnvelopeControl::kL1, "L1, "}, {CVeyEnvelopeControl::kL2, "L2, "}, {CVeyEnvelopeControl::kL3, "L3, "},
    {CVeyEnvelopeControl::kT1, "T1, "}, {CVeyEnvelopeControl::kT2, "T2, "}, {CVeyEnvelopeControl::kT3, "T3, "},
    {CVeyEnvelopeControl::kT4, "T4, "},
};
}

CVeyEnvelopeControl::CVeyEnvelopeControl() : m_drawer(VeyCreateGraphDrawer()), m_points(7, CPoint(0, 0)) {}

CVeyEnvelopeControl::~CVeyEnvelopeControl() = default;

const std::string& CVeyEnvelopeControl::GetTypeName() const
{
    static const std::string name("envelope");
    return name;
}

bool CVeyEnvelopeControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    CVeyAttributeReader reader;
    for (const CParameterName& parameter : kParameterNames)
        reader.Take(parameter.attribute, [this, key = parameter.key](const std::string& path) {
            m_valueRefs.emplace_back(path);
            m_parameters[key] = GetValueRefCount() - 1;
            return true;
        });
    return reader.Read(attributes);
}

bool CVeyEnvelopeControl::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create envelope control %s.\n", m_name.c_str());
        return false;
    }
    std::string missing;
    for (const auto& required : kRequiredParameters)
    {
        if (m_parameters.find(required.first) == m_parameters.end())
            missing += required.second;
    }
    if (!missing.empty())
    {
        missing.resize(missing.size() - 2);
        GetTraceTextOut().Printf("There is no value reference %s for envelope control %s.\n", missing.c_str(),
                                 m_name.c_str());
        return false;
    }
    return true;
}

std::pair<int32_t, int32_t> CVeyEnvelopeControl::ReadParameter(EParameter key) const
{
    const auto found = m_parameters.find(key);
    const CVeyValue* value = found == m_parameters.end() ? nullptr : GetValue(found->second);
    if (!value)
        return {0, 1};
    const int32_t count = IVeySingleControl::CountValues(value);
    return {value->GetIndex(), count > 0 ? count : 1};
}

void CVeyEnvelopeControl::UpdateFromValue()
{
    const int64_t left = m_rect.left;
    const int64_t right = m_rect.right;
    const int64_t bottom = m_rect.bottom;
    const int64_t w = right - left - 2;
    const int64_t h = bottom - m_rect.top - 2;
    // Index over count, not count - 1: the highest index stays just short of a full step.
    const auto dx = [&](EParameter key) {
        const auto p = ReadParameter(key);
        return static_cast<int32_t>(w * p.first / p.second / 5);
    };
    const auto levelY = [&](EParameter key) {
        const auto p = ReadParameter(key);
        return static_cast<int32_t>(bottom - h * p.first / p.second - 2);
    };
    std::vector<CPoint>& p = m_points;
    p.resize(7);
    p[0] = CPoint(static_cast<int32_t>(left + 1), levelY(kL0));
    p[1] = CPoint(p[0].x + dx(kT1), levelY(kL1));
    p[2] = CPoint(p[1].x + dx(kT2), levelY(kL2));
    p[3] = CPoint(p[2].x + dx(kT3), levelY(kL3));
    p[4] = CPoint(p[3].x + static_cast<int32_t>((right - left) / 5), p[3].y);
    p[5] = CPoint(p[4].x + dx(kT4), levelY(kL4));
    p[6] = CPoint(static_cast<int32_t>(right - 2), p[5].y);
}

void CVeyEnvelopeControl::Draw(const UL::CDrawInfo& info)
{
    if (!info.IsVisible(m_rect))
        return;
    m_drawer->FillRect(info, m_rect, VeyGraphPalette::kBackground);
    VeyDrawGlowingCurve(*m_drawer, info, m_points, VeyGraphPalette::kBackground, VeyGraphPalette::kCurve);
}
