// The view-state file ("ViewState.txt") read into the model of the editor's bundled script, through
// the instrument layer that binds the values it keeps.
#include "editor/controls/CControlFactory.h"
#include "editor/instrument/CBufferAccessor.h"
#include "fuzz/FuzzSupport.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/VeyManagers.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace
{
std::string g_file;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The bundled script with its pictures and the instrument's own controls, as the editor
    // creates it: the view state names the values it keeps by path.
    Fuzz::PrepareManagers();
    CControlFactory::GetInstance();
    const std::string script = Q9_BUNDLED_SCRIPT;
    CVeyStateBitmap::SetBitmapFolder(script.substr(0, script.rfind('/') + 1));
    if (!CVeyScriptReader::GetInstance().Load(script) || !VeyCreateManagers())
    {
        std::fprintf(stderr, "The bundled script does not build.\n");
        std::abort();
    }
    Fuzz::TearDownAtExit();
    g_file = Fuzz::ScratchFolder() + "/ViewState.txt";
    CBufferAccessor& accessor = CBufferAccessor::GetInstance();
    accessor.SetViewStatePath(g_file);
    std::remove(g_file.c_str());
    if (!accessor.Initialize())
    {
        std::fprintf(stderr, "The bundled script's values do not bind.\n");
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        std::ofstream out(g_file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    CBufferAccessor::GetInstance().LoadViewState(g_file);
    CVeyBufferManager::GetInstance().ClearChanges();
    return 0;
}
