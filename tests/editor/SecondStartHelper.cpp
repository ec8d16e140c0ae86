// A later start of the editor: argv[1] the channel folder, argv[2] the settings folder, argv[3]
// the command line. It prints the exit code of the run.
#include "editor/CApp.h"
#include "platform/Profile.h"
#include "toolkit/gt/InstanceManager.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    GT::CInstanceManager::SetChannelFolder(argv[1]);
    SetProfileFolder(argv[2]);
    CApp application;
    application.SetCommandLine(argv[3]);
    int qtArgc = 1;
    const int code = RunApplication(application, qtArgc, argv);
    std::printf("exit:%d\n", code);
    std::fflush(stdout);
    return code;
}
