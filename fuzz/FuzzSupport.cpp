#include "fuzz/FuzzSupport.h"

#include "editor/CEditorFrames.h"
#include "editor/CResourceFactory.h"
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CVeyFunctorRegistry.h"
#include "midi/framework/CVeyMidiManager.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyErrorOut.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyScriptReader.h"
#include "model/VeyManagers.h"
#include "platform/Gdi.h"
#include "platform/Messages.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/panels/CVeyViewManager.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#if __has_include(<sanitizer/lsan_interface.h>)
#include <sanitizer/lsan_interface.h>
#define Q9_FUZZ_HAS_LEAK_CHECK 1
#endif

namespace Fuzz
{
namespace
{
void WriteBitmap(const std::string& path, int width, int height)
{
    CBitmap bitmap;
    if (!bitmap.CreateBitmap(width, height) || !bitmap.SaveFile(path.c_str(), "BMP"))
        std::abort();
}
}

void PrepareManagers()
{
    static const bool prepared = [] {
        StartGui();
        CVeyResourceManager::RegisterManagerStep();
        CVeyBufferManager::RegisterManagerStep();
        CVeyMidiManager::RegisterManagerStep();
        CVeyViewManager::RegisterManagerStep();
        SetVeyMidiDeviceFactory(&CNormalMidiDeviceFactory::GetInstance());
        CVeyFunctorRegistry::GetInstance();
        const std::string folder = ScratchFolder() + "/";
        CVeyFolders::GetInstance().scriptFolder = folder;
        CVeyFolders::GetInstance().userDataFolder = folder;
        CVeyStateBitmap::SetBitmapFolder(folder);
        // The sample script's pictures: a knob strip of 64 states and a panel background.
        WriteBitmap(folder + "knob01.bmp", 32, 32 * 64);
        WriteBitmap(folder + "mainBack.bmp", 400, 300);
        return true;
    }();
    (void)prepared;
    // Tearing the managers down lets go of the factories.
    CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CResourceFactory>());
    CVeyViewManager::GetInstance().SetPanelFactory(&CPanelFactory::GetInstance());
}

void TearDownAtExit()
{
    // libFuzzer ends a run with exit(). By then the window system's own statics, made lazily
    // after this target's set-up, may already be gone, and destroying the windows would reach
    // them: the process ends here instead, without tearing the windows down. The leak check that
    // exit() would have run comes first: what the model and its windows still hold is reachable
    // and not reported, anything lost on the way is.
    static const bool registered = [] {
        std::atexit([] {
#if Q9_FUZZ_HAS_LEAK_CHECK
            __lsan_do_leak_check();
#endif
            std::_Exit(0);
        });
        return true;
    }();
    (void)registered;
}

void CreateSampleModel()
{
    PrepareManagers();
    if (!CVeyScriptReader::GetInstance().Load(DataFolder() + "/scripts/Minimal.xml") || !VeyCreateManagers())
    {
        std::fprintf(stderr, "The sample script does not build.\n");
        std::abort();
    }
    CVeyStruct* root = CVeyBufferManager::GetInstance().FindStructOrNull("fm");
    CVeyDataFile::GetInstance().SetRootStruct(dynamic_cast<CVeyRootStruct*>(root));
    CVeyDataFile::GetInstance().SetProductName("Talvarix");
    TearDownAtExit();
}
}
