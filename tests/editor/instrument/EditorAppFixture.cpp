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
    m_home.Enter(std::filesystem::path(CBundledScript::Folder()).parent_path().parent_path().parent_path().string());
    std::filesystem::create_directories(m_home.config.Path() + "/Vantor");
    ASSERT_TRUE(WriteFileBytes(m_home.config.Path() + "/Vantor/Talvarix Editor.ini",
                               "[MIDIConnection]\nMIDIInDevice0=Talvarix\nMIDIOutDevice0=Talvarix\n"));
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
    m_home.Leave();
}
