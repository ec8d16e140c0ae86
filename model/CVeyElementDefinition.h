#pragma once
// The records the script reader fills: one per element of the script. Every owner (resources,
// structs, MIDI ports, panels, controls) takes the attributes it knows out of a copy of the list
// and reports what is left as unknown tags.
#include <string>
#include <utility>
#include <vector>

class CVeyElementDefinition
{
public:
    using CAttribute = std::pair<std::string, std::string>;   // (name, value)
    using CAttributes = std::vector<CAttribute>;              // file order, duplicates kept

    CVeyElementDefinition() = default;
    explicit CVeyElementDefinition(const std::string& typeName) : m_typeName(typeName) {}

    // The text of the element's child named "type"; empty when it has none.
    const std::string& GetTypeName() const { return m_typeName; }
    void SetTypeName(std::string typeName) { m_typeName = std::move(typeName); }

    const CAttributes& GetAttributes() const { return m_attributes; }
    CAttributes& GetAttributes() { return m_attributes; }

    // Appends one attribute; an existing one of the same name stays.
    void Add(const std::string& name, const std::string& value) { m_attributes.emplace_back(name, value); }

    // Value of the first attribute called `name`, or null.
    const std::string* FindFirst(const std::string& name) const;
    // Value of the last attribute called `name` (the one an owner ends up with), or null.
    const std::string* FindLast(const std::string& name) const;

    void Clear();

private:
    std::string m_typeName;
    CAttributes m_attributes;
};

// The body of a "structType" or "panelType": the type's own name and attributes, plus its children.
class CVeyTypeDefinition : public CVeyElementDefinition
{
public:
    using CChildren = std::vector<CVeyElementDefinition>;

    // Children tagged "struct" or "panel", in file order.
    CChildren& GetStructuralChildren() { return m_structuralChildren; }
    const CChildren& GetStructuralChildren() const { return m_structuralChildren; }
    // Children tagged "value" or "control", in file order.
    CChildren& GetLeafChildren() { return m_leafChildren; }
    const CChildren& GetLeafChildren() const { return m_leafChildren; }

    void Clear();

private:
    CChildren m_structuralChildren;
    CChildren m_leafChildren;
};

using CVeyElementDefinitions = std::vector<CVeyElementDefinition>;
using CVeyTypeDefinitions = std::vector<CVeyTypeDefinition>;

// Replaces every "$name" in the values of `attributes` by the value of the first macro whose name
// follows the "$"; inserted text is not scanned again. Fails at the first "$" that no macro name
// fits: attributes handled before keep their new values, the failing one keeps its old value.
bool VeyResolveMacros(const CVeyElementDefinition::CAttributes& macros,
                      CVeyElementDefinition::CAttributes& attributes);

// The first type definition whose type name equals `name` exactly, or null.
const CVeyTypeDefinition* VeyFindTypeDefinition(const CVeyTypeDefinitions& types, const std::string& name);
CVeyTypeDefinition* VeyFindTypeDefinition(CVeyTypeDefinitions& types, const std::string& name);
