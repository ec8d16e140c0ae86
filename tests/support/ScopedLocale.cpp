#include "tests/support/ScopedLocale.h"

#include <cstdlib>

CScopedLocale::CScopedLocale(const std::string& locale)
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        const char* value = std::getenv(name);
        m_saved.push_back({name, value != nullptr, value ? value : ""});
        unsetenv(name);
    }
    setenv("LC_ALL", locale.c_str(), 1);
}

CScopedLocale::~CScopedLocale()
{
    for (const CSaved& saved : m_saved)
    {
        if (saved.set)
            setenv(saved.name.c_str(), saved.value.c_str(), 1);
        else
            unsetenv(saved.name.c_str());
    }
}
