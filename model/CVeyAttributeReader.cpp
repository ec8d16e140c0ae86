#include "model/CVeyAttributeReader.h"

#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/Strings.h"
#include "toolkit/gt/TraceTextOut.h"

#include <cstring>

CVeyAttributeReader& CVeyAttributeReader::Take(const std::string& name, FTake take)
{
    m_declared.push_back({name, std::move(take)});
    return *this;
}

CVeyAttributeReader& CVeyAttributeReader::Text(const std::string& name, std::string& target)
{
    return Take(name, [&target](const std::string& value) {
        target = value;
        return true;
    });
}

CVeyAttributeReader& CVeyAttributeReader::EscapedText(const std::string& name, std::string& target)
{
    return Take(name, [&target](const std::string& value) {
        target = GT::UnescapeXml(value);
        return true;
    });
}

CVeyAttributeReader& CVeyAttributeReader::Number(const std::string& name, int32_t& target, FReport invalid)
{
    return Take(name, [&target, invalid](const std::string& value) {
        if (GT::StringToLong(value, &target))
            return true;
        invalid(value);
        return false;
    });
}

CVeyAttributeReader& CVeyAttributeReader::NumberIn(const std::string& name, int32_t& target, int32_t low, int32_t high,
                                                   FReport invalid, FReport outside)
{
    return Take(name, [&target, low, high, invalid, outside](const std::string& value) {
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

CVeyAttributeReader& CVeyAttributeReader::Flag(const std::string& name, bool& target, FReport invalid)
{
    return Take(name, [&target, invalid](const std::string& value) {
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

CVeyAttributeReader& CVeyAttributeReader::Point(const std::string& name, GT::CPoint32& target, FReport invalid)
{
    return Take(name, [&target, invalid](const std::string& value) {
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

CVeyAttributeReader& CVeyAttributeReader::Colour(const std::string& name, GT::CShortTriple& target, FReport invalid)
{
    return Take(name, [&target, invalid](const std::string& value) {
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
