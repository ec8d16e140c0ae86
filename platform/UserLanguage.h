#pragma once
// The language the user's locale asks for, as the programs' language resource string reads: a
// Japanese locale gives "Japanese", any other "English".
#include <string>

// The locale as the C library chooses it for messages: LC_ALL, then LC_MESSAGES, then LANG; the
// first that is set and not empty decides. A value beginning with "ja" means Japanese.
std::string GetUserLanguage();
// The same decision for a given locale name ("ja_JP.UTF-8", "C", ""), for callers that have one.
std::string LanguageOfLocale(const std::string& locale);
