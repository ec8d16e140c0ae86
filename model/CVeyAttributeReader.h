#pragma once
// One way to read the attributes of a script element. An owner (a resource, a MIDI port, a panel,
// a control) declares the names it knows, each with its kind, where the value goes and what to
// say about a bad one; Read then walks the list once, in file order. An attribute that is absent
// leaves its target at the default the owner gave it; one that appears twice is read twice.
#include "model/CVeyElementDefinition.h"
#include "model/CVeyResources.h"
#include "toolkit/gt/ValueTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CVeyAttributeReader
{
public:
    using CAttributes = CVeyElementDefinition::CAttributes;
    // Writes the diagnostic line about a bad value; it is given the value as written.
    using FReport = std::function<void(const std::string& value)>;
    // Takes one value; false when the value is bad, after writing the diagnostic line.
    using FTake = std::function<bool(const std::string& value)>;

    // Text as it stands.
    CVeyAttributeReader& Text(std::string name, std::string& target);
    // Text with its XML escapes undone.
    CVeyAttributeReader& EscapedText(std::string name, std::string& target);
    // A decimal or hexadecimal number.
    CVeyAttributeReader& Number(std::string name, int32_t& target, FReport invalid);
    // A number from `low` through `high`: `invalid` for text that is no number, `outside` for a
    // number out of range.
    CVeyAttributeReader& NumberIn(std::string name, int32_t& target, int32_t low, int32_t high, FReport invalid,
                                  FReport outside);
    // A number read as a switch: anything but 0 is on.
    CVeyAttributeReader& Flag(std::string name, bool& target, FReport invalid);
    // "x,y". Without `invalid`, a bad point is passed over and the target keeps its default.
    CVeyAttributeReader& Point(std::string name, GT::CPoint32& target, FReport invalid = nullptr);
    // "r,g,b".
    CVeyAttributeReader& Colour(std::string name, GT::CShortTriple& target, FReport invalid);
    // The name of a resource of the script; `missing` when no resource has that name. The target
    // is anything a resource pointer can be assigned to.
    template <class TTarget, class TResource>
    CVeyAttributeReader& Resource(std::string name, TTarget& target, const CVeyResources<TResource>& from,
                                  FReport missing)
    {
        return Take(std::move(name), [&target, &from, missing = std::move(missing)](const std::string& value) {
            TResource* found = from.Find(value);
            target = found;
            if (!found)
                missing(value);
            return found != nullptr;
        });
    }
    // Anything else.
    CVeyAttributeReader& Take(std::string name, FTake take);

    // Takes every declared attribute out of `attributes`. Unknown attributes stay in the list, for
    // the owner's caller to report. False at the first bad value: the attributes after it are not
    // read and stay in the list.
    bool Read(CAttributes& attributes) const;

    // "<kind> <name> unknown tags. : " followed by "<tag>, " for each attribute left over.
    static void ReportUnknownTags(const std::string& kind, const std::string& name, const CAttributes& left);

private:
    struct SDeclared
    {
        std::string name;
        FTake take;
    };
    std::vector<SDeclared> m_declared;
};
