#include "toolkit/gt/InputFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>

TEST(InputFile, ReadsARegularFileInPiecesUpToItsEnd)
{
    CTempDir folder;
    const std::string bytes = std::string("head") + std::string(1000, '\0') + "tail";
    ASSERT_TRUE(WriteFileBytes(folder.File("data"), bytes));

    GT::CInputFile file;
    ASSERT_TRUE(file.Open(folder.File("data")));
    EXPECT_EQ(file.GetSize(), bytes.size());
    std::string head(4, ' ');
    std::string rest(bytes.size() - 4, ' ');
    ASSERT_TRUE(file.Read(head.data(), head.size()));
    ASSERT_TRUE(file.Read(rest.data(), rest.size()));
    EXPECT_EQ(head + rest, bytes);

    char beyond = 0;
    EXPECT_FALSE(file.Read(&beyond, 1)) << "the file has ended";
    EXPECT_TRUE(file.Read(&beyond, 0));
}

// None of these has a length to read against; a pipe with no writer must not keep Open waiting.
TEST(InputFile, OpensNothingButRegularFiles)
{
    CTempDir folder;
    const std::string pipe = folder.File("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {folder.File("missing"), folder.Path(), pipe, std::string("/dev/null")})
    {
        SCOPED_TRACE(path);
        GT::CInputFile file;
        EXPECT_FALSE(file.Open(path));
        char byte = 0;
        EXPECT_FALSE(file.Read(&byte, 1));
    }
}
