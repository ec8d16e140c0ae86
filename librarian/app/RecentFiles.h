#pragma once
// The librarian files used last, newest first, at most eight, kept in the profile (section
// "Recent File List", entries "File1" to "File8") so that the File menu offers them after a
// restart. Paths are shown whole.
#include <string>
#include <vector>

namespace RecentFiles
{
constexpr size_t kCount = 8;

std::vector<std::string> Get();
// Puts the path first; a path already listed moves up.
void Add(const std::string& path);
}
