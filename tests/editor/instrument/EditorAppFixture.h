#pragma once
// The editor's application object on the bundled script, wired as the program's entry wires it,
// with the simulated Talvarix behind the devices the settings name, in virtual time. The profile,
// the user data folder and the single-instance channel are temporary folders; message boxes are
// recorded and answered OK.
#include "platform/VirtualMidiBackend.h"
#include "tests/editor/resources/EditorTestHome.h"
#include "tests/support/SimulatedTalvarix.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CApp;

class EditorAppFixture : public ::testing::Test
{
protected:
    EditorAppFixture();
    ~EditorAppFixture() override;

    void SetUp() override;
    void TearDown() override;

    CVirtualClock m_clock{1000};
    CVirtualMidiBackend m_backend;
    CScopedMidiBackend m_scoped{&m_backend};
    CSimulatedTalvarix m_instrument;
    CEditorTestHome m_home;
    std::unique_ptr<CApp> m_app;
};
