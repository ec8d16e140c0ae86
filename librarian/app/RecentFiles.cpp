#include "librarian/app/RecentFiles.h"

#include "platform/Profile.h"

#include <algorithm>

namespace RecentFiles
{
namespace
{
constexpr const char* kSection = "Recent File List";

std::string Entry(size_t index) { return "File" + std::to_string(index + 1); }
}

std::vector<std::string> Get()
{
    std::vector<std::string> files;
    for (size_t i = 0; i < kCount; ++i)
    {
        const std::string path = GetProfileString(kSection, Entry(i), "");
        if (!path.empty() && std::find(files.begin(), files.end(), path) == files.end())
            files.push_back(path);
    }
    return files;
}

void Add(const std::string& path)
{
    if (path.empty())
        return;
    std::vector<std::string> files = Get();
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    files.insert(files.begin(), path);
    files.resize(std::min(files.size(), kCount));
    for (size_t i = 0; i < kCount; ++i)
        WriteProfileString(kSection, Entry(i), i < files.size() ? files[i] : std::string());
}
}
