#include "model/CVeyAttributeReader.h"

#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/Strings.h"
#include "toolkit/gt/TraceTextOut.h"

#include <cstring>

CVeyAttributeReader& CVeyAttributeReader::Take(std::string name, FTake take)
{
    // An owner declares a dozen or so; the list grows once.
    if (m_declared.empty())
        m_declared.reserve(16);
    m_declared.push_back({std::move(name), std::move(take)});
    return *this;
}

CVeyAttributeReader& CVeyAttributeReader::Text(std::string name, std::string& target)
{
    return Take(std::move(name), [&target](const std::string& value) {
        target = value;
        return true;
    });
}

CVeyAttributeReader& CVeyAttributeReader::EscapedText(std::string name, std::string& target)
{
    return Take(std::move(name), [&target](const std::string& value) {
        target = GT::UnescapeXml(value);
        return true;
    });
}

CVeyAttributeReader& CVeyAttributeReader::Number(std::string name, int32_t& target, FReport invalid)
{
    return Take(std::move(name), [&target, invalid = std::move(invalid)](const std::string& value) {
        if (GT::StringToLong(value, &target))
            return true;
        invalid(value);
        return false;
    });
}

CVeyAttributeReader& CVeyAttributeReader::NumberIn(std::string name, int32_t& target, int32_t low, int32_t high,
                                                   FReport invalid, FReport outside)
{
    return Take(std::move(name), [&target, low, high, invalid = std::move(invalid), outside = std::move(outside)](const std::string& value) {
        int32_t number = 0;
        if (!GT::StringToLong(value, &number))
        {
            invalid(value);
            return false;
        }
        if (number < low || number > high)
        {
            outside(value);
            return false;
        }
        target = number;
        return true;
    });
}

CVeyAttributeReader& CVeyAttributeReader::Flag(std::string name, bool& target, FReport invalid)
{
    return Take(std::move(name), [&target, invalid = std::move(invalid)](const std::string& value) {
        int32_t number = 0;
        if (!GT::StringToLong(value, &number))
        {
            invalid(value);
            return false;
        }
        target = number != 0;
        return true;
    });
}

CVeyAttributeReader& CVeyAttributeReader::Point(std::string name, GT::CPoint32& target, FReport invalid)
{
    return Take(std::move(name), [&target, invalid = std::move(invalid)](const std::string& value) {
        GT::CPoint32 point;
        if (GT::StringToPoint(value, &point))
            target = point;
        else if (invalid)
        {
            invalid(value);
            return false;
        }
        return true;
    });
}

CVeyAttributeReader& CVeyAttributeReader::Colour(std::string name, GT::CShortTriple& target, FReport invalid)
{
    return Take(std::move(name), [&target, invalid = std::move(invalid)](const std::string& value) {
        if (GT::StringToShortTriple(value, &target))
            return true;
        invalid(value);
        return false;
    });
}

bool CVeyAttributeReader::Read(CAttributes& attributes) const
{
    CAttributes left;
    left.reserve(attributes.size());
    bool ok = true;
    for (CVeyElementDefinition::CAttribute& attribute : attributes)
    {
        const SDeclared* declared = nullptr;
        if (ok)
        {
            for (const SDeclared& candidate : m_declared)
            {
                if (attribute.first == candidate.name)
                {
                    declared = &candidate;
                    break;
                }
            }
        }
        if (!declared)
            left.push_back(std::move(attribute));
        else if (!declared->take(attribute.second))
            ok = false;
    }
    attributes.swap(left);
    return ok;
}

void CVeyAttributeReader::ReportUnknownTags(const std::string& kind, const std::string& name,
                                            const CAttributes& left)
{
    std::string line = kind + " " + name + " unknown tags. : ";
    for (const CVeyElementDefinition::CAttribute& attribute : left)
        line += attribute.first + ", ";
    GetTraceTextOut().Write(line + "\n");
}
