// The librarian's patch file.
#include "fuzz/FuzzSupport.h"
#include "librarian/app/Data.h"
#include "librarian/app/LibrarianFile.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream stream(Fuzz::Text(data, size));
    CPatchArray patches;
    ReadLibrarianFile(stream, patches);
    return 0;
}
