#include "model/CVeyPlainElementReader.h"

#include "model/VeyTextSearch.h"

#include <cstring>
#include <iterator>
#include <tuple>
#include <utility>

namespace
{
// The children a type keeps as children rather than as attributes.
bool IsTypeChild(const char* name, size_t length)
{
    switch (length)
    {
    case 5:
        return std::memcmp(name, "panel", 5) == 0 || std::memcmp(name, "value", 5) == 0;
    case 6:
        return std::memcmp(name, "struct", 6) == 0;
    case 7:
        return std::memcmp(name, "control", 7) == 0;
    default:
        return false;
    }
}
}

bool CVeyPlainElementReader::CTag::Ends(const CName& name) const
{
    return static_cast<size_t>(close - open) == name.length + 2 && open[1] == '/' &&
           std::memcmp(open + 2, name.begin, name.length) == 0;
}

bool CVeyPlainElementReader::NextTag(CTag& tag)
{
    // Tags are found as the general reading finds them: a '<', then the first '>' after it.
    const char* open = VeyFindChar(m_position, m_end, '<');
    if (!open)
        return false;
    const char* close = VeyFindChar(open + 1, m_end, '>');
    if (!close)
        return false;
    tag = {open, close};
    m_position = close + 1;
    return true;
}

const char* CVeyPlainElementReader::Read(const char* from, const char* end, const char* tag, size_t tagLength,
                                         CVeyElementDefinition& definition, CVeyTypeDefinition* type)
{
    m_position = from;
    m_end = end;
    m_depth = 0;
    if (m_attributes.size() < 2)
        m_attributes.resize(2);
    for (CVeyElementDefinition::CAttributes& level : m_attributes)
        level.clear();
    const CName element{tag, tagLength};
    return ReadChildren(element, definition, type) ? m_position : nullptr;
}

bool CVeyPlainElementReader::ReadChildren(const CName& element, CVeyElementDefinition& definition,
                                          CVeyTypeDefinition* type)
{
    CVeyElementDefinition::CAttributes& attributes = m_attributes[m_depth];
    attributes.clear();
    CTag tag{nullptr, nullptr};
    while (NextTag(tag))
    {
        if (tag.Ends(element))
        {
            CVeyElementDefinition::CAttributes& kept = definition.GetAttributes();
            kept.reserve(kept.size() + attributes.size());
            kept.insert(kept.end(), std::make_move_iterator(attributes.begin()),
                        std::make_move_iterator(attributes.end()));
            attributes.clear();
            return true;
        }
        // What the general reading treats in its own way: an empty tag ends a body, an end tag out
        // of place ends an enclosing one, a comment is dropped. A child of the element's own name
        // needs no care: it holds text only, so its start and end tag cancel out.
        const CName name = tag.Name();
        if (name.length == 0 || name.begin[0] == '/' || name.begin[0] == '!')
            return false;
        if (type && IsTypeChild(name.begin, name.length))
        {
            CVeyTypeDefinition::CChildren& children =
                name.length == 6 || name.begin[0] == 'p' ? type->GetStructuralChildren() : type->GetLeafChildren();
            children.emplace_back();
            ++m_depth;
            const bool read = ReadChildren(name, children.back(), nullptr);
            --m_depth;
            if (!read)
                return false;
        }
        else
        {
            // The child holds text only: its end tag is the next tag.
            const char* text = m_position;
            CTag endTag{nullptr, nullptr};
            if (!NextTag(endTag) || !endTag.Ends(name))
                return false;
            if (name.length == 4 && std::memcmp(name.begin, "type", 4) == 0)
                definition.SetTypeName(std::string(text, endTag.open));
            else
                attributes.emplace_back(std::piecewise_construct, std::forward_as_tuple(name.begin, name.length),
                                        std::forward_as_tuple(text, endTag.open));
        }
    }
    return false;   // the text ends first
}
