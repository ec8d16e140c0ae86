#include "tests/editor/resources/EditorTestHome.h"

#include "editor/EditorNames.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "toolkit/gt/InstanceManager.h"

#include <cstdlib>

CEditorTestHome::~CEditorTestHome() { Leave(); }

void CEditorTestHome::Enter(const std::string& programFolder)
{
    SetProgramFolder(programFolder);
    SetProfileFolder(config.Path());
    const char* home = std::getenv("XDG_DATA_HOME");
    m_savedDataHome = home ? home : "";
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    GT::CInstanceManager::SetChannelFolder(channel.Path());
    m_savedHook = SetMessageBoxHook([this](const char* text, const char*, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    m_entered = true;
}

void CEditorTestHome::Leave()
{
    if (!m_entered)
        return;
    m_entered = false;
    PumpAllMessages();
    GT::CInstanceManager::Close();
    GT::CInstanceManager::SetRequestHandler(nullptr);
    GT::CInstanceManager::SetChannelFolder("");
    SetMessageBoxHook(m_savedHook);
    if (m_savedDataHome.empty())
        unsetenv("XDG_DATA_HOME");
    else
        setenv("XDG_DATA_HOME", m_savedDataHome.c_str(), 1);
    SetProfileFolder("");
    SetProgramFolder("");
}
