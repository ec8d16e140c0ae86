#include "tests/editor/instrument/EditorAppFixture.h"

#include "editor/CApp.h"
#include "editor/CDocumentDialog.h"
#include "editor/instrument/CBufferAccessor.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/Shell.h"
#include "tests/editor/resources/BundledScript.h"
#include "toolkit/gt/InstanceManager.h"

#include <cstdlib>
#include <filesystem>

EditorAppFixture::EditorAppFixture() = default;
EditorAppFixture::~EditorAppFixture() = default;

void EditorAppFixture::SetUp()
{
    m_backend.SetScheduler([this](DWORD delay, std::function<void()> action) { m_clock.After(delay, std::move(action)); });
    m_instrument.AttachTo(m_backend, "Talvarix", &m_clock);
    m_backend.SetDoneAtWireRate("Talvarix", true);
    SetProgramFolder(std::filesystem::path(CBundledScript::Folder()).parent_path().parent_path().parent_path().string());
    SetProfileFolder(m_config.Path());
    std::filesystem::create_directories(m_config.Path() + "/Vantor");
    ASSERT_TRUE(WriteFileBytes(m_config.Path() + "/Vantor/Talvarix Editor.ini",
                               "[MIDIConnection]\nMIDIInDevice0=Talvarix\nMIDIOutDevice0=Talvarix\n"));
    const char* data = std::getenv("XDG_DATA_HOME");
    m_savedDataHome = data ? data : "";
    setenv("XDG_DATA_HOME", m_data.Path().c_str(), 1);
    GT::CInstanceManager::SetChannelFolder(m_channel.Path());
    m_savedHook = SetMessageBoxHook([this](const char* text, const char*, UINT) {
        m_boxes.push_back(text);
        return IDOK;
    });
    CBufferAccessor& accessor = CBufferAccessor::GetInstance();
    accessor.SetInitialDataPath(std::string());
    accessor.SetViewStatePath(std::string());
    m_app = std::make_unique<CApp>();
    m_app->SetInstrumentLayer(&accessor);
    m_app->SetDocumentRecord(std::make_unique<CDocumentDialog>());
}

void EditorAppFixture::TearDown()
{
    m_app->ExitInstance();
    m_app.reset();
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
