#include "editor/CApp.h"
#include "editor/CDocumentDialog.h"
#include "editor/instrument/CBufferAccessor.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/progress/CProgressBarB.h"

#include <memory>
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
    // The instrument layer: bound at start-up, its transfers shown in the progress window.
    CBufferAccessor& instrument = CBufferAccessor::GetInstance();
    instrument.SetProgress(&CProgressBarB::GetInstance());
    application.SetInstrumentLayer(&instrument);
    application.SetDocumentRecord(std::make_unique<CDocumentDialog>());
    // The editor keeps no diagnostic window open: its diagnostics (script errors, unknown tags,
    // failures of the managers) go to standard error.
    GetTraceTextOut().EchoToStandardError();
    return RunApplication(application, argc, argv);
}
