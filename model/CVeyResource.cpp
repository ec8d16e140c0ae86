#include "model/CVeyResource.h"

#include "toolkit/gt/TraceTextOut.h"

#include <algorithm>

std::vector<std::string> CVeyResource::TakeAttributes(CAttributes& attributes, const std::string& name)
{
    std::vector<std::string> values;
    for (const auto& attribute : attributes)
    {
        if (attribute.first == name)
            values.push_back(attribute.second);
    }
    attributes.erase(std::remove_if(attributes.begin(), attributes.end(),
                                    [&name](const CVeyElementDefinition::CAttribute& attribute) {
                                        return attribute.first == name;
                                    }),
                     attributes.end());
    return values;
}

bool CVeyResource::Load(CAttributes& attributes)
{
    const std::vector<std::string> names = TakeAttributes(attributes, "name");
    if (!names.empty())
        m_name = names.back();
    return true;
}

bool CVeyResource::Store(CAttributes& attributes) const
{
    attributes.emplace_back("name", m_name);
    return true;
}

void CVeyResource::ReportErrorWithDetail(const std::string& message, const std::string& detail) const
{
    GetTraceTextOut().Printf("%s : %s : %s\n", message.c_str(), m_name.c_str(), detail.c_str());
}

void CVeyResource::ReportError(const std::string& message) const
{
    GetTraceTextOut().Printf("%s : %s\n", message.c_str(), m_name.c_str());
}
