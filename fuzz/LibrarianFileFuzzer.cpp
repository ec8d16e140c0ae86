// The librarian's patch file. A file that is accepted is also used as the program uses it: its
// names shown, its blocks taken for the instrument, and it is written back, which must read as
// the same patches.
#include "fuzz/FuzzSupport.h"
#include "librarian/app/Data.h"
#include "librarian/app/LibrarianFile.h"
#include "librarian/app/ParameterAddress.h"

#include <cstdlib>
#include <sstream>

namespace
{
// A rewritten file that does not read back as the same patches is a fault like a crash.
void Require(bool condition)
{
    if (!condition)
        std::abort();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream stream(Fuzz::Text(data, size));
    CPatchArray patches;
    if (ReadLibrarianFile(stream, patches) != kFileMessageNone)
        return 0;
    for (size_t i = 0; i < patches.GetSize(); ++i)
    {
        const CPatch& patch = patches.At(i);
        Require(patch.GetName().size() == static_cast<size_t>(CPatch::kNameLength));
        for (int part = 0; part < CPatch::kPartCount; ++part)
        {
            const CPatch::CPartLayout& layout = *CPatch::GetPartLayout(part);
            for (int block = 0; block < layout.blockCount; ++block)
                Require(PatchAddressing::GetBlockData(patch, part, block).size() <=
                        static_cast<size_t>(layout.blockSize));
        }
    }
    std::ostringstream written;
    Require(WriteLibrarianFile(written, patches));
    std::istringstream again(written.str());
    CPatchArray reread;
    Require(ReadLibrarianFile(again, reread) == kFileMessageNone);
    Require(reread.GetSize() == patches.GetSize());
    for (size_t i = 0; i < patches.GetSize(); ++i)
        Require(reread[i].GetParts() == patches[i].GetParts() && reread[i].GetText(0) == patches[i].GetText(0) &&
                reread[i].GetText(3) == patches[i].GetText(3));
    return 0;
}
