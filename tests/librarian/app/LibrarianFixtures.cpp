#include "tests/librarian/app/LibrarianFixtures.h"
#include "librarian/app/InitialFileDocument.h"
#include "librarian/app/LibrarianFile.h"
#include "tests/support/HexFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

std::string ParseHexFixture(const std::string& text)
{
    std::string bytes;
    std::string error;
    if (!DecodeHexFixture(text, bytes, error))
        ADD_FAILURE() << error;
    return bytes;
}

std::string LoadHexFixture(const std::string& name)
{
    const std::string text = ReadFileBytes(std::string(Q9_TEST_DATA_DIR) + "/librarian/" + name);
    EXPECT_FALSE(text.empty()) << "missing fixture " << name;
    return ParseHexFixture(text);
}

CPatch MakeLayoutPatch(const std::string& name)
{
    CPatch patch;
    CParameter::CParts& parts = patch.GetParts();
    parts.resize(patch.GetPartCount());
    for (int part = 0; part < patch.GetPartCount(); ++part)
        parts[part].assign(patch.GetBlockCount(part), CParameter::CBlock(patch.GetBlockSize(part), 0));
    patch.SetName(name);
    return patch;
}

CPatchArray MakeTwoPatchFixture()
{
    CPatchArray patches;

    auto first = std::make_unique<CPatch>(MakeLayoutPatch("INIT PATCH"));
    first->SetText(0, "Memo one");
    first->SetText(2, "\x83\x41\x83\x8B");
    first->SetText(3, "\xFF");
    patches.Add(std::move(first));

    auto second = std::make_unique<CPatch>(MakeLayoutPatch(""));
    CParameter::CParts& parts = second->GetParts();
    const std::string name = "Bass\xA5" "01     ";
    std::copy(name.begin(), name.end(), parts[CPatch::kCommon][0].begin());
    parts[CPatch::kCommon][0][12] = 0x7F;
    parts[CPatch::kCommon][0].back() = 0x01;
    parts[CPatch::kMfx][0].front() = 0x01;
    parts[CPatch::kChorus][0].back() = 0x02;
    parts[CPatch::kReverb][0].front() = 0x03;
    parts[CPatch::kTmt][0].back() = 0x04;
    parts[CPatch::kTone][0].front() = 0x10;
    parts[CPatch::kTone][3].back() = 0x7F;
    patches.Add(std::move(second));
    return patches;
}

bool SamePatches(const CParameterArray& a, const CParameterArray& b)
{
    if (a.GetSize() != b.GetSize())
        return false;
    for (size_t i = 0; i < a.GetSize(); ++i)
    {
        if (a[i].GetKind() != b[i].GetKind() || a[i].GetParts() != b[i].GetParts())
            return false;
        for (int text = 0; text < CParameter::kTextCount; ++text)
            if (a[i].GetText(text) != b[i].GetText(text))
                return false;
    }
    return true;
}

CMessageCapture::CMessageCapture()
{
    m_previous = CImageDocument::SetMessageShower([this](int id) { messages.push_back(id); });
}

CMessageCapture::~CMessageCapture()
{
    CImageDocument::SetMessageShower(m_previous);
}

CInitialFileReset::CInitialFileReset()
{
    CInitialFileDocument::GetInstance().Reset();
}

CInitialFileReset::~CInitialFileReset()
{
    CInitialFileDocument::GetInstance().Reset();
}

CReadResult ReadBytes(const std::string& bytes)
{
    CReadResult result;
    std::istringstream in(bytes);
    result.message = ReadLibrarianFile(in, result.patches);
    return result;
}

std::string WriteBytes(const CParameterArray& patches)
{
    std::ostringstream out;
    EXPECT_TRUE(WriteLibrarianFile(out, patches));
    return out.str();
}
