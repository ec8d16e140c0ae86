#include "model/CVeyFadeRangeClipper.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"

void CVeyFadeRangeClipper::AddPair(CVeyValue* lower, CVeyValue* upper)
{
    if (lower != nullptr && upper != nullptr)
        m_pairs.emplace_back(lower, upper);
}

bool CVeyFadeRangeClipper::OnValuesChanged(const CVeyValueList& values)
{
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    // The list may be the manager's own change list, which marking a moved value extends.
    const CVeyValueList changed = values;
    bool inPair = false;
    for (CVeyValue* value : changed)
    {
        for (const auto& pair : m_pairs)
        {
            CVeyValue* lower = pair.first;
            CVeyValue* upper = pair.second;
            if (value != lower && value != upper)
                continue;
            inPair = true;
            const int32_t lowerNumber = lower->GetNumber();
            const int32_t upperNumber = upper->GetNumber();
            if (upperNumber >= lowerNumber)
                continue;
            // The bound that was not moved follows the one that was.
            CVeyValue* follower = value == upper ? lower : upper;
            follower->SetNumber(value->GetNumber());
            manager.MarkChanged(follower);
        }
    }
    return inPair;
}
