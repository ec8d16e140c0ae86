// The part of the fuzz targets' support that needs no program above the platform: the fixtures'
// folder, a scratch folder and the Qt application (the librarian's targets link only this).
#include "fuzz/FuzzSupport.h"

#include "platform/GuiBootstrap.h"

#include <cstdlib>

namespace Fuzz
{
std::string DataFolder()
{
    return Q9_FUZZ_DATA;
}

std::string ScratchFolder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/q9-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            std::abort();
        return std::string(made);
    }();
    return folder;
}

void StartGui()
{
    static int argc = 1;
    static char name[] = "q9-fuzz";
    static char* argv[] = {name, nullptr};
    // Lives as long as the process, as the programs' application object does.
    static CGuiBootstrap* application = nullptr;
    if (application || CGuiBootstrap::Exists())
        return;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    application = new CGuiBootstrap(argc, argv);
}
}
