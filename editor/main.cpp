#include "editor/CApp.h"

#include <string>

// The one application object, made before the program's entry as the framework expects.
CApp theApp;

int main(int argc, char** argv)
{
    CApp& application = theApp;
    // Windows hands the program one command line; a path with blanks arrives as several arguments.
    std::string commandLine;
    for (int i = 1; i < argc; ++i)
    {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    application.SetCommandLine(commandLine);
    return RunApplication(application, argc, argv);
}
