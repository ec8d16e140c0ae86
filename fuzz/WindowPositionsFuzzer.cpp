// The window-position file read against the sample script's panels.
#include "fuzz/FuzzSupport.h"
#include "ui/panels/CVeyViewManager.h"

#include <sstream>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::CreateSampleModel();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream stream(Fuzz::Text(data, size));
    CVeyViewManager::GetInstance().ReadWindowPositions(stream);
    return 0;
}
