#include "model/CVeyElementDefinition.h"

const std::string* CVeyElementDefinition::FindFirst(const std::string& name) const
{
    for (const CAttribute& attribute : m_attributes)
        if (attribute.first == name)
            return &attribute.second;
    return nullptr;
}

const std::string* CVeyElementDefinition::FindLast(const std::string& name) const
{
    for (auto it = m_attributes.rbegin(); it != m_attributes.rend(); ++it)
        if (it->first == name)
            return &it->second;
    return nullptr;
}

void CVeyElementDefinition::Clear()
{
    m_typeName.clear();
    m_attributes.clear();
}

void CVeyTypeDefinition::Clear()
{
    CVeyElementDefinition::Clear();
    m_structuralChildren.clear();
    m_leafChildren.clear();
}

namespace
{
const CVeyElementDefinition::CAttribute* FindMacro(const CVeyElementDefinition::CAttributes& macros,
                                                   const std::string& text, size_t position)
{
    const size_t available = text.size() - position;
    for (const CVeyElementDefinition::CAttribute& macro : macros)
    {
        const std::string& name = macro.first;
        if (name.size() <= available && text.compare(position, name.size(), name) == 0)
            return &macro;
    }
    return nullptr;
}
}

bool VeyResolveMacros(const CVeyElementDefinition::CAttributes& macros,
                      CVeyElementDefinition::CAttributes& attributes)
{
    for (CVeyElementDefinition::CAttribute& attribute : attributes)
    {
        const std::string& value = attribute.second;
        size_t dollar = value.find('$');
        if (dollar == std::string::npos)
            continue;
        std::string resolved;
        size_t copied = 0;
        while (dollar != std::string::npos)
        {
            const CVeyElementDefinition::CAttribute* macro = FindMacro(macros, value, dollar + 1);
            if (!macro)
                return false;
            resolved.append(value, copied, dollar - copied);
            resolved += macro->second;
            copied = dollar + 1 + macro->first.size();
            dollar = value.find('$', copied);
        }
        resolved.append(value, copied, std::string::npos);
        attribute.second = std::move(resolved);
    }
    return true;
}

const CVeyTypeDefinition* VeyFindTypeDefinition(const CVeyTypeDefinitions& types, const std::string& name)
{
    for (const CVeyTypeDefinition& type : types)
        if (type.GetTypeName() == name)
            return &type;
    return nullptr;
}

CVeyTypeDefinition* VeyFindTypeDefinition(CVeyTypeDefinitions& types, const std::string& name)
{
    return const_cast<CVeyTypeDefinition*>(
        VeyFindTypeDefinition(static_cast<const CVeyTypeDefinitions&>(types), name));
}
