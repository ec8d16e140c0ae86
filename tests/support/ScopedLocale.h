#pragma once
// The user's locale for one test: LC_ALL set to the given name (LC_MESSAGES and LANG cleared), the
// three variables put back as they were when the scope ends.
#include <string>
#include <utility>
#include <vector>

class CScopedLocale
{
public:
    explicit CScopedLocale(const std::string& locale);
    ~CScopedLocale();
    CScopedLocale(const CScopedLocale&) = delete;
    CScopedLocale& operator=(const CScopedLocale&) = delete;

private:
    struct CSaved
    {
        std::string name;
        bool set = false;
        std::string value;
    };
    std::vector<CSaved> m_saved;
};
