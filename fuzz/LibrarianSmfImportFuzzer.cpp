// A Standard MIDI File imported into the librarian's patches: the file reader, the data-set
// checks and the stores by address.
#include "fuzz/FuzzSupport.h"
#include "librarian/app/Data.h"
#include "librarian/app/Reader.h"

#include <sstream>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::StartGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CPatchArray& patches = *[] {
        auto* made = new CPatchArray;
        made->Resize(256);
        return made;
    }();
    std::istringstream stream(Fuzz::Text(data, size));
    AReader reader;
    reader.ImportSmf(stream, patches);
    return 0;
}
