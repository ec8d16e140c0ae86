#include "midi/framework/VeyFunctors.h"

#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "toolkit/ul/Cursor.h"

#include <algorithm>
#include <vector>

namespace
{
// Items separated by commas, each without the characters up to the blank (0 to 32) around it;
// empty items are skipped.
std::vector<std::string> SplitNames(const std::string& argument)
{
    std::vector<std::string> names;
    size_t begin = 0;
    while (begin <= argument.size())
    {
        size_t end = argument.find(',', begin);
        if (end == std::string::npos)
            end = argument.size();
        size_t first = begin;
        size_t last = end;
        while (first < last && static_cast<unsigned char>(argument[first]) <= 32)
            ++first;
        while (last > first && static_cast<unsigned char>(argument[last - 1]) <= 32)
            --last;
        if (last > first)
            names.push_back(argument.substr(first, last - first));
        begin = end + 1;
    }
    return names;
}

CVeyMidiOut* MidiOutOf(const CVeyBuffer& buffer)
{
    CVeyRootStruct* root = buffer.GetRootStruct();
    return root ? dynamic_cast<CVeyMidiOut*>(root->GetMidiOut()) : nullptr;
}

bool SendRq1For(const CVeyBuffer& buffer)
{
    CVeyMidiOut* output = MidiOutOf(buffer);
    if (!output)
        return false;
    const CVeyAddressRange range = buffer.GetAbsoluteAddressRange();
    return output->SendRq1(CVeyAddress(range.begin), CVeyAddress(range.GetSize()));
}

CVeyMidiRequester* RequesterOf(const CVeyBuffer& buffer)
{
    CVeyRootStruct* root = buffer.GetRootStruct();
    if (!root)
        return nullptr;
    for (CVeyMidiIn& input : CVeyMidiInputs::GetInstance())
    {
        const std::vector<CVeyRootStruct*>& receivers = input.GetReceivers();
        if (std::find(receivers.begin(), receivers.end(), root) != receivers.end())
            return dynamic_cast<CVeyMidiRequester*>(input.GetListener());
    }
    return nullptr;
}
}

void AVeyBufferFunctor::Run(std::string& result, const std::string& argument)
{
    UL::CWaitCursor wait;
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    for (const std::string& name : SplitNames(argument))
    {
        CVeyStruct* structure = manager.FindStructOrNull(name);
        if (structure && RunOnStruct(*structure))
            continue;
        if (CVeyValue* value = manager.FindValueOrNull(name))
            RunOnValue(*value);
    }
    result = "1";
}

FVeySendDt1& FVeySendDt1::GetInstance()
{
    static FVeySendDt1 functor;
    return functor;
}

bool FVeySendDt1::RunOnStruct(CVeyStruct& structure)
{
    return structure.Transmit();
}

bool FVeySendDt1::RunOnValue(CVeyValue& value)
{
    return value.Transmit();
}

FVeySendRq1& FVeySendRq1::GetInstance()
{
    static FVeySendRq1 functor;
    return functor;
}

bool FVeySendRq1::RunOnStruct(CVeyStruct& structure)
{
    return SendRq1For(structure);
}

bool FVeySendRq1::RunOnValue(CVeyValue& value)
{
    return SendRq1For(value);
}

FVeyRequestRq1Dt1& FVeyRequestRq1Dt1::GetInstance()
{
    static FVeyRequestRq1Dt1 functor;
    return functor;
}

bool FVeyRequestRq1Dt1::RunOnStruct(CVeyStruct& structure)
{
    CVeyMidiRequester* requester = RequesterOf(structure);
    return requester && requester->RequestStruct(structure, nullptr);
}

bool FVeyRequestRq1Dt1::RunOnValue(CVeyValue& value)
{
    CVeyMidiRequester* requester = RequesterOf(value);
    return requester && requester->RequestValue(value, nullptr);
}
