#include "tests/editor/resources/BundledScript.h"

#include "editor/CResourceFactory.h"
#include "midi/framework/CVeyMidiManager.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/CVeyStruct.h"
#include "model/VeyManagers.h"
#include "platform/Messages.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/panels/CVeyPanel.h"
#include "ui/panels/CVeyViewManager.h"

CBundledScript::CBundledScript()
{
    CVeyResourceManager::RegisterManagerStep();
    CVeyBufferManager::RegisterManagerStep();
    CVeyMidiManager::RegisterManagerStep();
    CVeyViewManager::RegisterManagerStep();
    CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CResourceFactory>());
    CVeyStateBitmap::SetBitmapFolder(Folder());
    CVeyViewManager::GetInstance().SetProgressSource(nullptr);
}

CBundledScript::~CBundledScript()
{
    VeyDestroyManagers();
    while (PumpAllMessages())
    {
    }
    CVeyScriptDefinitions::GetInstance().Clear();
    CVeyStateBitmap::SetBitmapFolder("");
    for (EVeyManager manager : {EVeyManager::kResource, EVeyManager::kBuffer, EVeyManager::kMidi, EVeyManager::kView})
        VeySetManagerStep(manager, nullptr, nullptr);
}

std::string CBundledScript::Folder() { return Q9EE_SCRIPT_FOLDER "/"; }

bool CBundledScript::Read() { return ReadFile(Folder() + "Script.xml"); }

bool CBundledScript::ReadFile(const std::string& path)
{
    return CVeyScriptReader::GetInstance().Load(path) && VeyCreateManagers();
}

int32_t CBundledScript::AbsoluteBegin(const CVeyStruct& s)
{
    int32_t begin = 0;
    for (const CVeyStruct* at = &s; at; at = at->GetParent())
        begin += at->GetAddressRange().begin;
    return begin;
}

namespace
{
CVeyControl* FindIn(const CVeyPanel& panel, const std::function<bool(const CVeyControl&)>& match)
{
    for (const auto& control : panel.GetChildControls())
        if (match(*control))
            return control.get();
    for (const auto& child : panel.GetChildPanels())
        if (CVeyControl* found = FindIn(*child, match))
            return found;
    return nullptr;
}
}

CVeyControl* CBundledScript::FindControl(const std::string& rootPanel, const std::string& name)
{
    return FindControlWhere(rootPanel, [&name](const CVeyControl& control) { return control.GetName() == name; });
}

CVeyControl* CBundledScript::FindControlWhere(const std::string& rootPanel,
                                              const std::function<bool(const CVeyControl&)>& match)
{
    const CVeyPanel* panel = CVeyViewManager::GetInstance().FindRootPanel(rootPanel);
    return panel ? FindIn(*panel, match) : nullptr;
}
