#pragma once
// The quick way through the usual shape of a script's top-level element: children that hold only
// text and, in a type, "struct"/"panel"/"value"/"control" children whose own children hold only
// text. It reads the text once, front to back. Anything else (a comment, an element inside a
// child, an end tag out of place, an empty tag, a missing end tag) makes it give up, and the
// element is read the general way instead, from the same place.
#include "model/CVeyElementDefinition.h"

#include <cstddef>
#include <string>
#include <vector>

class CVeyPlainElementReader
{
public:
    // Reads the body of the element named [tag, tag + tagLength) whose start tag ends just before
    // `from`, into `definition` as the general reading fills it; with `type` (the same definition
    // as a type), the type's children too. Returns where the element's end tag ends, or null when
    // it gave up; `definition` then holds part of the element and must be started again.
    const char* Read(const char* from, const char* end, const char* tag, size_t tagLength,
                     CVeyElementDefinition& definition, CVeyTypeDefinition* type);

private:
    struct CName
    {
        const char* begin;
        size_t length;
    };
    // A tag: [open, close] from its '<' to its '>'.
    struct CTag
    {
        const char* open;
        const char* close;
        CName Name() const { return {open + 1, static_cast<size_t>(close - open - 1)}; }
        bool Ends(const CName& name) const;
    };

    // The next tag after the position; false when the text ends before one is complete.
    bool NextTag(CTag& tag);
    // The children of an element until its end tag: each the text of one child element, except
    // for type children, which `type` takes (it is null inside them). False to give up.
    bool ReadChildren(const CName& element, CVeyElementDefinition& definition, CVeyTypeDefinition* type);
    // The text of the child `child` up to its end tag, into the definition.
    bool ReadText(const CName& child, CVeyElementDefinition& definition);

    const char* m_position = nullptr;
    const char* m_end = nullptr;
    // Attributes gathered before they go into a definition in one piece, one list per level, kept
    // between elements so that their room is reused.
    std::vector<CVeyElementDefinition::CAttributes> m_attributes;
    size_t m_depth = 0;
};
