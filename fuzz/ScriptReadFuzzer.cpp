// The script reader over any text: tags, attributes, comments, macros and type bodies.
#include "fuzz/FuzzSupport.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CVeyScriptReader::GetInstance().ReadText(Fuzz::Text(data, size));
    CVeyScriptDefinitions::GetInstance().Clear();
    return 0;
}
