#include "model/CVeyTable.h"

#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/Strings.h"

namespace
{
// Longest part of a bad value quoted in a report.
constexpr size_t kMaxReportedDetail = 400;

std::string EscapeListItem(const std::string& item)
{
    std::string escaped;
    for (char c : item)
    {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == ',')
            escaped += "\\c";
        else
            escaped += c;
    }
    return escaped;
}
}

std::unique_ptr<CVeyStringTable> CVeyStringTable::Create()
{
    return std::make_unique<CVeyStringTable>();
}

bool CVeyStringTable::Load(CAttributes& attributes)
{
    if (!CVeyResource::Load(attributes))
        return false;
    for (const std::string& value : TakeAttributes(attributes, "table"))
    {
        std::vector<std::string> items;
        GT::SplitEscapedList(GT::UnescapeXml(value), items);
        m_elements.insert(m_elements.end(), items.begin(), items.end());
    }
    if (m_elements.empty())
    {
        ReportError("String table %s has no element.");
        return false;
    }
    return true;
}

bool CVeyStringTable::Store(CAttributes& attributes) const
{
    if (!CVeyResource::Store(attributes))
        return false;
    std::string joined;
    for (size_t i = 0; i < m_elements.size(); ++i)
    {
        if (i > 0)
            joined += ", ";
        joined += EscapeListItem(m_elements[i]);
    }
    attributes.emplace_back("table", joined);
    return true;
}

int32_t CVeyStringTable::FindNearestIndex(const std::string& text) const
{
    int32_t nearest = 0;
    for (size_t i = 0; i < m_elements.size(); ++i)
    {
        if (GT::NumericLess(text, m_elements[i]))
            break;
        nearest = int32_t(i);
    }
    return nearest;
}

bool CVeyIntegerTable::Load(CAttributes& attributes)
{
    if (!CVeyResource::Load(attributes))
        return false;
    for (const std::string& value : TakeAttributes(attributes, "table"))
    {
        std::vector<int32_t> numbers;
        if (!GT::StringToLongList(value, numbers))
        {
            ReportErrorWithDetail("Number table has invalid element.", value.substr(0, kMaxReportedDetail));
            return false;
        }
        m_elements.insert(m_elements.end(), numbers.begin(), numbers.end());
    }
    if (m_elements.empty())
    {
        ReportError("Number table %s has no element.");
        return false;
    }
    return true;
}

bool CVeyIntegerTable::Store(CAttributes& attributes) const
{
    if (!CVeyResource::Store(attributes))
        return false;
    std::string joined;
    for (size_t i = 0; i < m_elements.size(); ++i)
    {
        if (i > 0)
            joined += ",";
        joined += std::to_string(m_elements[i]);
    }
    attributes.emplace_back("table", joined);
    return true;
}
