#include "librarian/app/LibrarianApp.h"
#include "toolkit/gt/TraceTextOut.h"

#include <string>

// The one application object, made before the program's entry as the framework expects.
CApp theApp;

int main(int argc, char** argv)
{
    // The command line is one path; a path with blanks arrives as several arguments.
    std::string commandLine;
    for (int i = 1; i < argc; ++i)
    {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    theApp.SetCommandLine(commandLine);
    // The librarian keeps no diagnostic window: what it reports there (no MIDI system to list
    // devices from, for one) goes to standard error.
    GetTraceTextOut().EchoToStandardError();
    return RunApplication(theApp, argc, argv);
}
