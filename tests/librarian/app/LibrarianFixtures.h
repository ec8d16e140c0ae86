#pragma once
// Small builders for the librarian tests: hex fixtures, patches with data, captured messages and
// the initial file reset between tests.
#include "librarian/app/Data.h"
#include "librarian/app/ImageDocument.h"

#include <string>
#include <vector>

// Bytes of a hex fixture: "XX" is one byte, "XX*N" is N such bytes, "text" is the text's bytes,
// '#' starts a comment. Fails the current test on a malformed fixture.
std::string ParseHexFixture(const std::string& text);
// A hex fixture from tests/data/librarian.
std::string LoadHexFixture(const std::string& name);

// A patch of the layout, every byte 0, with the given name and no texts.
CPatch MakeLayoutPatch(const std::string& name);
// The two patches of the fixture "two-patches.q9l.hex", built through the model.
CPatchArray MakeTwoPatchFixture();

// True when the two lists hold the same patches (kind, texts and parts) in the same order.
bool SamePatches(const CParameterArray& a, const CParameterArray& b);

// Records the messages the documents show while it lives.
class CMessageCapture
{
public:
    CMessageCapture();
    ~CMessageCapture();
    std::vector<int> messages;

private:
    CImageDocument::MessageShower m_previous;
};

// Forgets the initial file before and after a test.
class CInitialFileReset
{
public:
    CInitialFileReset();
    ~CInitialFileReset();
};

// Reads `bytes` as a librarian file into a fresh document.
struct CReadResult
{
    int message;
    CPatchArray patches;
};
CReadResult ReadBytes(const std::string& bytes);
// The bytes WriteLibrarianFile gives for the patches.
std::string WriteBytes(const CParameterArray& patches);
