#pragma once
// Helpers for the librarian toolkit's window tests: posted actions (tests/support) and a fixture
// that keeps the profile in a temporary folder.
#include "platform/FontDialog.h"
#include "platform/Profile.h"
#include "tests/support/PostedActions.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace GpTest
{
using CPostedActions = ::CPostedActions;

class CProfileFixture : public ::testing::Test
{
protected:
    void SetUp() override { SetProfileFolder(m_folder.Path()); }
    void TearDown() override { SetProfileFolder(""); }
    CTempDir m_folder;
};
}
