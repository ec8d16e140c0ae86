#include "platform/UserLanguage.h"

#include <cstdlib>

std::string LanguageOfLocale(const std::string& locale)
{
    return locale.compare(0, 2, "ja") == 0 ? "Japanese" : "English";
}

std::string GetUserLanguage()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        const char* value = std::getenv(variable);
        if (value && *value)
            return LanguageOfLocale(value);
    }
    return LanguageOfLocale("");
}
