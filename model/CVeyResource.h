#pragma once
// Base of every named resource of the script: bitmaps, text writers, string and number tables.
// A resource takes the attributes it knows out of a copy of its definition's list; whatever is
// left over is reported by the resource manager as unknown tags.
#include "model/CVeyElementDefinition.h"

#include <string>
#include <vector>

class CVeyResource
{
public:
    using CAttributes = CVeyElementDefinition::CAttributes;

    virtual ~CVeyResource() = default;

    // Takes every "name" entry out of the list (the last one wins).
    virtual bool Load(CAttributes& attributes);
    // Appends ("name", name).
    virtual bool Store(CAttributes& attributes) const;
    // "%s : %s : %s\n" with the message, the name and the detail, to the trace output.
    virtual void ReportErrorWithDetail(const std::string& message, const std::string& detail) const;
    // "%s : %s\n" with the message and the name, to the trace output.
    virtual void ReportError(const std::string& message) const;

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }

    // Removes every entry called `name` from the list and returns their values in list order.
    static std::vector<std::string> TakeAttributes(CAttributes& attributes, const std::string& name);

private:
    std::string m_name;
};
