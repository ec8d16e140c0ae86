// The editor starting from a copy of its bundled script folder: whole, and with a damaged script
// or a missing or damaged picture. The start fails with a message and a diagnostic that names the
// bad file, nothing crashes, and no file of the folder is written.
#include "editor/CApp.h"
#include "editor/EditorNames.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/Shell.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/editor/resources/EditorTestHome.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/gt/InstanceManager.h"
#include "ui/panels/CVeyViewManager.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> FileNames(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str()))
    {
        while (dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

class BundledScriptStart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The program folder holds a copy of the built script folder.
        ::mkdir((m_program.Path() + "/Script").c_str(), 0700);
        ::mkdir(Folder().c_str(), 0700);
        for (const std::string& name : FileNames(CBundledScript::Folder()))
            ASSERT_TRUE(WriteFileBytes(Folder() + name, ReadFileBytes(CBundledScript::Folder() + name))) << name;
        m_home.Enter(m_program.Path());
    }
    void TearDown() override { m_home.Leave(); }

    std::string Folder() const { return m_program.Path() + "/Script/Q9EE/"; }

    std::map<std::string, std::string> FolderContents() const
    {
        std::map<std::string, std::string> contents;
        for (const std::string& name : FileNames(Folder()))
            contents[name] = ReadFileBytes(Folder() + name);
        return contents;
    }

    // Runs the editor's start-up and shut-down; `during` looks at the running editor.
    bool Start(const std::function<void()>& during = nullptr)
    {
        CApp app;
        const bool started = app.InitInstance();
        if (started && during)
            during();
        app.ExitInstance();
        PumpAllMessages();
        return started;
    }

    CTempDir m_program;
    CEditorTestHome m_home;
};
}

TEST_F(BundledScriptStart, StartsWithTheInitialPatchAndWritesNothingIntoItsFolder)
{
    const auto before = FolderContents();
    CTraceCapture trace;
    ASSERT_TRUE(Start([] {
        CVeyValue* name = CVeyBufferManager::GetInstance().FindValueOrNull("fm.pat.common.patchName");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->GetText(), "INIT PATCH  ");
        EXPECT_NE(CVeyViewManager::GetInstance().FindRootPanel("main"), nullptr);
    })) << trace.Text();
    EXPECT_EQ(trace.Text().find("Unable"), std::string::npos) << trace.Text();
    EXPECT_EQ(FolderContents(), before);
}

TEST_F(BundledScriptStart, ABadFileOfTheFolderIsReportedByNameAndNothingIsOverwritten)
{
    struct SCase
    {
        const char* name;
        std::function<void(const std::string& folder)> damage;
        bool starts;
        std::string diagnostic;   // what a line of the trace output must hold
    };
    const SCase cases[] = {
        {"script cut short in the memory's definitions",
         [](const std::string& folder) {
             const std::string script = ReadFileBytes(folder + "Script.xml");
             WriteFileBytes(folder + "Script.xml", script.substr(0, script.find("<structType>") + 200));
         },
         false, ""},
        {"unknown tag",
         [](const std::string& folder) {
             const std::string script = ReadFileBytes(folder + "Script.xml");
             WriteFileBytes(folder + "Script.xml", "<script><bogus>x</bogus>" + script.substr(script.find("<script>") + 8));
         },
         false, "Unknown tag. : bogus"},
        {"picture missing", [](const std::string& folder) { std::remove((folder + "knob.png").c_str()); }, false,
         "Unable to read bitmap file. : knob.png : " + Folder() + "knob.png\n"},
        // The tempo display shows the system tempo as this picture: without it the panel cannot be
        // made, and the line names the file.
        {"picture damaged", [](const std::string& folder) { WriteFileBytes(folder + "led.png", "\x89PNG broken"); },
         false, "Unable to read bitmap file. : led.png : " + Folder() + "led.png\n"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        const auto original = FolderContents();
        c.damage(Folder());
        const auto damaged = FolderContents();
        m_home.boxes.clear();
        CTraceCapture trace;
        EXPECT_EQ(Start(), c.starts) << trace.Text();
        if (!c.starts)
        {
            EXPECT_FALSE(m_home.boxes.empty()) << "the user is told";
        }
        if (!c.diagnostic.empty())
        {
            EXPECT_NE(trace.Text().find(c.diagnostic), std::string::npos) << trace.Text();
        }
        EXPECT_EQ(FolderContents(), damaged) << "no file of the folder was written";
        // Put the folder back for the next case.
        for (const auto& [name, bytes] : original)
            WriteFileBytes(Folder() + name, bytes);
    }
}
