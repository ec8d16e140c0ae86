// A script read, its managers created (resources, structs, MIDI ports, panels), every root panel
// opened in a window, and everything torn down again: what the editor does at start-up.
#include "fuzz/FuzzSupport.h"
#include "model/CVeyScriptReader.h"
#include "model/VeyManagers.h"
#include "platform/Messages.h"
#include "ui/panels/CVeyPanel.h"
#include "ui/panels/CVeyViewManager.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::PrepareManagers();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::PrepareManagers();
    if (CVeyScriptReader::GetInstance().ReadText(Fuzz::Text(data, size)) && VeyCreateManagers())
    {
        CVeyViewManager& views = CVeyViewManager::GetInstance();
        std::vector<std::string> names;
        for (const auto& panel : views.GetRootPanels())
            names.push_back(panel->GetName());
        for (const std::string& name : names)
            views.OpenRootPanel(name);
        while (PumpAllMessages())
        {
        }
    }
    VeyDestroyManagers();
    while (PumpAllMessages())
    {
    }
    // The programs' main loop deletes closed windows at its next turn; without one here, they
    // go as they do at shut-down.
    RunShutdownHandlers();
    return 0;
}
