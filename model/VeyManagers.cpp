#include "model/VeyManagers.h"

#include "model/CVeyScriptDefinitions.h"
#include "toolkit/gt/OutOfMemory.h"
#include "toolkit/gt/TraceTextOut.h"

#include <array>

namespace
{
struct CManagerStep
{
    FVeyManagerCreate create;
    FVeyManagerDestroy destroy;
};

constexpr size_t kManagerCount = 4;

std::array<CManagerStep, kManagerCount>& GetSteps()
{
    static std::array<CManagerStep, kManagerCount> steps;
    return steps;
}

CManagerStep& GetStep(EVeyManager manager)
{
    return GetSteps()[static_cast<size_t>(manager)];
}

void ClearDefinitions(EVeyManager manager)
{
    CVeyScriptDefinitions& definitions = CVeyScriptDefinitions::GetInstance();
    switch (manager)
    {
    case EVeyManager::kResource: definitions.GetResourceGroup().Clear(); break;
    case EVeyManager::kBuffer: definitions.GetBufferGroup().Clear(); break;
    case EVeyManager::kMidi: definitions.GetMidiGroup().Clear(); break;
    case EVeyManager::kView: definitions.GetViewGroup().Clear(); break;
    }
}

void DestroyManager(EVeyManager manager)
{
    // Copied first: a destroy operation may re-register its own step.
    const FVeyManagerDestroy destroy = GetStep(manager).destroy;
    if (destroy)
        destroy();
    ClearDefinitions(manager);
}
}

void VeySetManagerStep(EVeyManager manager, FVeyManagerCreate create, FVeyManagerDestroy destroy)
{
    CManagerStep& step = GetStep(manager);
    step.create = std::move(create);
    step.destroy = std::move(destroy);
}

bool VeyCreateManagers()
{
    static const struct
    {
        EVeyManager manager;
        const char* failure;
    } kOrder[] = {
        {EVeyManager::kResource, "Unable to create resource manager.\n"},
        {EVeyManager::kBuffer, "Unable to create buffer manager.\n"},
        {EVeyManager::kMidi, "Unable to create MIDI manager.\n"},
        {EVeyManager::kView, "Unable to create view manager.\n"},
    };
    for (const auto& step : kOrder)
    {
        const FVeyManagerCreate create = GetStep(step.manager).create;
        if (create && !GT::ReadWithinMemory("the script's structs, MIDI ports and views", create))
        {
            GetTraceTextOut().Printf("%s", step.failure);
            VeyDestroyManagers();
            return false;
        }
    }
    return true;
}

void VeyDestroyManagers()
{
    DestroyManager(EVeyManager::kView);
    DestroyManager(EVeyManager::kMidi);
    DestroyManager(EVeyManager::kBuffer);
    DestroyManager(EVeyManager::kResource);
}
