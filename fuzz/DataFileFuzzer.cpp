// The editor's data file read into the sample model.
#include "fuzz/FuzzSupport.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"

#include <sstream>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::CreateSampleModel();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream stream(Fuzz::Text(data, size));
    CVeyDataFile::GetInstance().Read(stream);
    CVeyBufferManager::GetInstance().ClearChanges();
    return 0;
}
