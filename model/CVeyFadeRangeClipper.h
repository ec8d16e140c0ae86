#pragma once
// Keeps pairs of lower and upper range values ordered: moving one past the other drags the other
// along, and the value so moved is sent with the rest of the change.
#include "model/IVeyBufferHandler.h"

#include <utility>
#include <vector>

class CVeyValue;

class CVeyFadeRangeClipper : public IVeyBufferHandler
{
public:
    void AddPair(CVeyValue* lower, CVeyValue* upper);

    // True when at least one changed value belongs to a pair.
    bool OnValuesChanged(const CVeyValueList& values) override;

private:
    std::vector<std::pair<CVeyValue*, CVeyValue*>> m_pairs;
};
