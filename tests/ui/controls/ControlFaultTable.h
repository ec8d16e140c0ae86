#pragma once
// The script faults of the control types as tables of cases: each type lists the attributes that
// must be refused and what the trace then says; the run is the same for every type.
#include "model/CVeyElementDefinition.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <string>

struct CControlFault
{
    const char* name;
    CVeyElementDefinition::CAttributes attributes;
    // What the trace says; null: the attributes are accepted and nothing is said.
    const char* trace;
};

// How much of the trace a case names: all of it, or its last lines (those before them come from
// the layers below, which are tested where they live).
enum class ETraceMatch
{
    kWhole,
    kEnd,
};

// `refuses(attributes)` tries to make a control of the type from the attributes and returns true
// when it was refused. "$folder" in a case's trace stands for `folder`.
template <size_t N, class FRefuses>
void ExpectFaultsReported(const CControlFault (&cases)[N], ETraceMatch match, FRefuses refuses,
                          const std::string& folder = std::string())
{
    for (const CControlFault& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        EXPECT_EQ(refuses(c.attributes), c.trace != nullptr);
        const std::string text = trace.Text();
        std::string expected = c.trace ? c.trace : "";
        if (const size_t at = expected.find("$folder"); at != std::string::npos)
            expected.replace(at, 7, folder);
        if (match == ETraceMatch::kWhole)
            EXPECT_EQ(text, expected);
        else if (text.size() < expected.size())
            ADD_FAILURE() << "the trace is shorter than its expected end: " << text;
        else
            EXPECT_EQ(text.substr(text.size() - expected.size()), expected) << text;
    }
}

// The attributes without those of the names.
inline CVeyElementDefinition::CAttributes WithoutAttributes(const CVeyElementDefinition::CAttributes& attributes,
                                                            std::initializer_list<const char*> names)
{
    CVeyElementDefinition::CAttributes kept;
    for (const auto& attribute : attributes)
    {
        bool dropped = false;
        for (const char* name : names)
            dropped = dropped || attribute.first == name;
        if (!dropped)
            kept.push_back(attribute);
    }
    return kept;
}
