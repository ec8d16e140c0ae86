#include "librarian/gp/SingleInstance.h"

#include "platform/InstanceChannel.h"
#include "platform/Profile.h"
#include "platform/WinApp.h"
#include "platform/WindowPlacement.h"

#include <memory>

namespace GP
{
namespace
{
std::unique_ptr<CInstanceChannel>& Channel()
{
    static std::unique_ptr<CInstanceChannel> channel;
    return channel;
}

CSingleInstance::CommandHandler& Handler()
{
    static CSingleInstance::CommandHandler handler;
    return handler;
}

void OnCommand(const std::string& command)
{
    CSingleInstance::ActivateMainWindow();
    if (!command.empty() && Handler())
        Handler()(command);
}
}

CSingleInstance::CSingleInstance(const std::string& command, const std::string& name, const std::string& folder)
{
    const std::string channelName = name.empty() ? GetApplicationName() : name;
    auto channel = std::make_unique<CInstanceChannel>(channelName, folder);
    m_first = channel->IsFirst();
    if (!m_first)
    {
        m_handedOver = channel->Send(command);
        return;
    }
    channel->SetHandler(&OnCommand);
    Channel() = std::move(channel);
}

CSingleInstance::~CSingleInstance() = default;

void CSingleInstance::SetCommandHandler(CommandHandler handler)
{
    Handler() = std::move(handler);
}

void CSingleInstance::ReleaseChannel()
{
    Channel().reset();
    Handler() = nullptr;
}

void CSingleInstance::ActivateMainWindow()
{
    CWinApp* app = AfxGetApp();
    CWnd* main = app ? app->m_pMainWnd : nullptr;
    if (!main || !main->GetSafeHwnd())
        return;
    if (IsIconic(main))
        ShowWindowState(main, SW_RESTORE);
    SetForegroundWindow(main);
}
}
