#pragma once
// Binary fixtures written as text: "XX" is one byte, "XX*N" is N such bytes, "text" is the text's
// bytes, '#' starts a comment that runs to the end of the line. No test framework involved, so
// the fuzz targets' seed maker reads the same fixtures as the tests.
#include <string>

// The bytes of `text`; false, with `error` saying why, for a malformed fixture.
bool DecodeHexFixture(const std::string& text, std::string& bytes, std::string& error);
