#pragma once
// Helpers for the toolkit's interactive tests: posted actions (tests/support) and where pictures
// for a person to look at go.
#include "tests/support/PostedActions.h"

#include <string>
#include <sys/stat.h>

namespace UlTest
{
using CPostedActions = ::CPostedActions;

// Pictures for a person to look at go to screenshots/ beside the test program.
inline std::string ScreenshotPath(const std::string& name)
{
    mkdir("screenshots", 0755);
    return "screenshots/" + name;
}
}
