// Build-time tool: pictures of the librarian for its manual, taken from the program itself running
// offscreen on the build's program folder (its initial file), with example names in the lists.
//   q9_make_librarian_manual_pictures <program folder> <output folder>
// Writes librarian-main.png (the main window with the image and a librarian file side by side)
// and librarian-midi-setup.png (the MIDI set-up dialog).
#include "librarian/app/LibrarianApp.h"
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianDialogs.h"
#include "librarian/app/LibrarianDocuments.h"
#include "librarian/app/LibrarianFrames.h"
#include "librarian/app/Patch.h"
#include "manual/PictureSupport.h"
#include "platform/UiDriver.h"

#include <cstdio>
#include <string>

namespace
{
// The first input and output device lists of the MIDI set-up dialog.
constexpr int kInputList = 4101;
constexpr int kOutputList = 4104;

const char* const kNames[] = {"Warm Pad",  "Glass Bells", "Fat Brass", "Soft Strings", "Dyno EP",    "Rez Sweep",
                              "Bass Drop", "Choir Aahs",  "Saw Lead",  "Kalimba",      "Tape Flute", "Sub Bass"};

// Example names and memos in the image, and a new librarian file holding some of its patches.
bool FillExampleLists(CApp& application)
{
    CImageDoc* image = application.GetImageDoc();
    if (!image)
        return false;
    CPatchArray& patches = image->GetData().GetCurrent().GetPatches();
    for (size_t i = 0; i < patches.GetSize(); ++i)
    {
        patches.At(i).SetName(kNames[i % 12]);
        if (i % 5 == 0)
            patches.At(i).SetText(0, "factory set");
    }
    image->UpdateAllViews();
    application.OnAppCommand(LibrarianCommands::kFileNew);
    CLibrarianTemplate* files = application.GetTemplate(CDoc::kFileTemplateId);
    if (!files || files->GetDocuments().empty())
        return false;
    auto* file = dynamic_cast<CFileDoc*>(files->GetDocuments().front());
    if (!file)
        return false;
    CPatchArray& kept = file->GetData().GetCurrent().GetPatches();
    for (size_t i = 0; i < 6 && i * 3 < patches.GetSize(); ++i)
    {
        kept.Add(patches[i * 3].Clone());
        kept.At(i).SetText(1, i % 2 ? "live set" : "studio");
    }
    file->SetModifiedFlag(TRUE);
    file->UpdateAllViews();
    return true;
}
}

int main(int argc, char** argv)
{
    return RunPictureTool(argc, argv, [](CPictureSession& session, const std::string& programFolder) {
        CApp application;
        application.SetProgramFolder(programFolder);
        application.SetInstanceFolder(session.Folder("channel"));
        // The warnings before transfers would ask; none is wanted here.
        CMidiWarningDlg::SetAnswerHook([](int, const std::string&, bool&) { return false; });
        const bool started = application.InitInstance() && application.GetMainFrame();
        if (started)
        {
            CPictureSession::Settle();
            CMainFrame& frame = *application.GetMainFrame();
            if (!FillExampleLists(application))
                session.Fail("the librarian's lists could not be filled");
            frame.MoveWindow(CRect(0, 0, 1100, 560));
            frame.MDITile(ID_WINDOW_TILE_VERT);
            application.OnIdle(0);
            session.Save(frame, "librarian-main.png");
            session.PostMidiSetupPicture(LibrarianIds::kMidiSetupDialog, {kInputList, kOutputList},
                                         "librarian-midi-setup.png");
            application.OnAppCommand(LibrarianCommands::kSetUpMidi);
            // Nothing is saved: the new file's changes are dropped unasked.
            if (CLibrarianTemplate* files = application.GetTemplate(CDoc::kFileTemplateId))
                for (CDocument* document : files->GetDocuments())
                    document->SetModifiedFlag(FALSE);
        }
        application.ExitInstance();
        CPictureSession::Settle();
        CMidiWarningDlg::SetAnswerHook(nullptr);
        return started;
    });
}
