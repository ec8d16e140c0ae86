// Turns hex fixtures (tests/support/HexFixture.h) into the binary seeds of a fuzz target.
//   fuzz_seed_maker OUTPUT-FOLDER FIXTURE.hex...
#include "tests/support/HexFixture.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER FIXTURE.hex...\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    for (int i = 2; i < argc; ++i)
    {
        const std::filesystem::path fixture(argv[i]);
        std::ifstream in(fixture, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string bytes;
        std::string error;
        if (!in.good() && !in.eof())
            error = "cannot be read";
        if (!error.empty() || !DecodeHexFixture(text, bytes, error))
        {
            std::fprintf(stderr, "%s: %s\n", fixture.c_str(), error.c_str());
            return 1;
        }
        std::ofstream out(folder / fixture.stem(), std::ios::binary | std::ios::trunc);
        if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        {
            std::fprintf(stderr, "%s: cannot be written\n", (folder / fixture.stem()).c_str());
            return 1;
        }
    }
    return 0;
}
