// What a user does with a librarian file of 10,000 patches, through the running application:
// open it (document, view and list), sort by name, delete a row (with its undo step), undo,
// copy and insert all of it, and save. Each is one user action; each should stay under 100 ms.
#include "librarian/app/LibrarianApp.h"
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianData.h"
#include "librarian/app/LibrarianDocuments.h"
#include "librarian/app/LibrarianFrames.h"
#include "librarian/app/LibrarianViews.h"
#include "platform/GuiBootstrap.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/librarian/app/MessageBoxAnswers.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace
{
constexpr size_t kPatchCount = 10000;

class CBenchFolder
{
public:
    CBenchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "q9libbench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~CBenchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& Path() const { return m_path; }
    std::string File(const char* name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// The application started once, without an instrument, with a 10,000-patch file on disk.
struct CRig
{
    CRig()
    {
        static int argc = 1;
        static char name[] = "bench_librarian_ui";
        static char* argv[] = {name, nullptr};
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        application = std::make_unique<CGuiBootstrap>(argc, argv);
        SetProfileFolder(folder.Path());
        setenv("XDG_DATA_HOME", folder.Path().c_str(), 1);
        answers = std::make_unique<CMessageBoxAnswers>([](const std::string&, bool) { return 0; });
        app.SetProgramFolder(folder.Path());
        app.SetInstanceFolder(folder.Path());
        ok = app.InitInstance() != FALSE;
        CImageDocument file;
        CPatchArray& patches = file.GetCurrent().GetPatches();
        patches.Resize(kPatchCount);
        for (size_t i = 0; i < kPatchCount; ++i)
        {
            // Names in no order, so that the sort has work to do.
            patches.At(i).SetName("Patch " + std::to_string((i * 7919) % kPatchCount));
            patches.At(i).SetText(0, "memo " + std::to_string(i));
        }
        path = folder.File("big.q9l");
        ok = ok && file.WriteFile(path);
    }
    ~CRig()
    {
        app.ExitInstance();
        while (PumpAllMessages())
        {
        }
        answers.reset();
        SetProfileFolder("");
    }
    CDoc* Open()
    {
        CDoc* document = app.GetTemplate(CDoc::kFileTemplateId)->OpenDocumentFile(path.c_str());
        while (PumpAllMessages())
        {
        }
        return document;
    }
    void Close(CDoc* document)
    {
        app.CloseDocument(document);
        app.OnIdle(0);
    }

    CBenchFolder folder;
    std::unique_ptr<CGuiBootstrap> application;
    std::unique_ptr<CMessageBoxAnswers> answers;
    CVirtualMidiBackend backend;
    CScopedMidiBackend scoped{&backend};
    CApp app;
    std::string path;
    bool ok = false;
};

CRig& Rig()
{
    static CRig rig;
    return rig;
}

CParamView& ViewOf(CDoc* document) { return *dynamic_cast<CParamView*>(document->GetView()); }

void Command(UINT id) { Rig().app.GetMainFrame()->SendMessage(WM_COMMAND, id); }

void OpenLibrarianFile(benchmark::State& state)
{
    if (!Rig().ok)
        return state.SkipWithError("no application");
    for (auto _ : state)
    {
        CDoc* document = Rig().Open();
        if (!document || document->GetData().GetCurrent().GetPatches().GetSize() != kPatchCount)
            return state.SkipWithError("open failed");
        state.PauseTiming();
        Rig().Close(document);
        state.ResumeTiming();
    }
}
BENCHMARK(OpenLibrarianFile)->Unit(benchmark::kMillisecond);

void SortByName(benchmark::State& state)
{
    if (!Rig().ok)
        return state.SkipWithError("no application");
    CDoc* document = Rig().Open();
    CPatchListCtrl& list = ViewOf(document).GetList();
    for (auto _ : state)
        list.SortByColumn(1);   // ascending and descending in turn
    Rig().Close(document);
}
BENCHMARK(SortByName)->Unit(benchmark::kMillisecond);

// Delete one row of a sorted list: the undo copy of 10,000 patches, the delete, the rebuild.
void DeleteRow(benchmark::State& state)
{
    if (!Rig().ok)
        return state.SkipWithError("no application");
    CDoc* document = Rig().Open();
    CParamView& view = ViewOf(document);
    view.GetList().SortByColumn(1);
    for (auto _ : state)
    {
        state.PauseTiming();
        view.GetList().SelectItems(-1, false);
        view.GetList().SelectItems(5000, true);
        state.ResumeTiming();
        Command(LibrarianCommands::kEditDelete);
    }
    Rig().Close(document);
}
BENCHMARK(DeleteRow)->Unit(benchmark::kMillisecond);

void UndoDelete(benchmark::State& state)
{
    if (!Rig().ok)
        return state.SkipWithError("no application");
    CDoc* document = Rig().Open();
    CParamView& view = ViewOf(document);
    view.GetList().SortByColumn(1);
    view.GetList().SelectItems(5000, true);
    Command(LibrarianCommands::kEditDelete);
    for (auto _ : state)
        Command(LibrarianCommands::kEditUndo);   // undo and redo in turn
    Rig().Close(document);
}
BENCHMARK(UndoDelete)->Unit(benchmark::kMillisecond);

// Select All and Copy of the whole list, then (timed on its own) Insert of the 10,000 copies at
// the top: the list grows to 20,000.
void CopyAll(benchmark::State& state)
{
    if (!Rig().ok)
        return state.SkipWithError("no application");
    CDoc* document = Rig().Open();
    for (auto _ : state)
    {
        Command(LibrarianCommands::kEditSelectAll);
        Command(LibrarianCommands::kEditCopy);
    }
    Rig().Close(document);
}
BENCHMARK(CopyAll)->Unit(benchmark::kMillisecond);

void InsertAll(benchmark::State& state)
{
    if (!Rig().ok)
        return state.SkipWithError("no application");
    CDoc* document = Rig().Open();
    CParamView& view = ViewOf(document);
    for (auto _ : state)
    {
        state.PauseTiming();
        document->GetData().GetCurrent().GetPatches().Resize(kPatchCount);
        view.GetList().Refresh(false, 0);
        Command(LibrarianCommands::kEditSelectAll);
        Command(LibrarianCommands::kEditCopy);
        state.ResumeTiming();
        Command(LibrarianCommands::kEditInsert);
    }
    Rig().Close(document);
}
BENCHMARK(InsertAll)->Unit(benchmark::kMillisecond);

void SaveLibrarianFile(benchmark::State& state)
{
    if (!Rig().ok)
        return state.SkipWithError("no application");
    CDoc* document = Rig().Open();
    const std::string path = Rig().folder.File("saved.q9l");
    for (auto _ : state)
        if (!document->DoSave(path.c_str()))
            return state.SkipWithError("save failed");
    Rig().Close(document);
}
BENCHMARK(SaveLibrarianFile)->Unit(benchmark::kMillisecond);
}
