#pragma once
// The Qt application for fonts and windows, off screen, for the length of one benchmark:
// everything the benchmark made must be gone before it ends.
#include "platform/GuiBootstrap.h"

#include <cstdlib>
#include <memory>

namespace Bench
{
class COffscreenApplication
{
public:
    COffscreenApplication()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        if (!CGuiBootstrap::Exists())
            m_application = std::make_unique<CGuiBootstrap>(m_argc, m_argv);
    }

private:
    int m_argc = 1;
    char m_name[16] = "q9_benchmark";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<CGuiBootstrap> m_application;
};
}
