#pragma once
// Text between the program and the toolkit. The program's texts are UTF-8. A byte that is not part
// of a well-formed UTF-8 sequence (a stray byte in a patch name from the instrument or an old
// file) shows as the Latin-1 character of the same value, so it is seen, not dropped, and the
// text around it stays intact.
#include <QString>

#include <cstddef>
#include <string>

namespace PlatformDetail
{
QString TextFromBytes(const char* bytes, size_t length);
QString TextFromBytes(const std::string& text);
// A null pointer gives the empty text.
QString TextFromBytes(const char* text);
// Always UTF-8.
std::string TextToBytes(const QString& text);
}
