#pragma once
// The toolkit's own dialogs (files, fonts) in the user's language: their labels and buttons come
// from the toolkit's translation catalogue for the locale the programs follow.
#include <string>

namespace PlatformDetail
{
// Loads, or drops, the toolkit's catalogue so that the next standard dialog speaks the language
// GetUserLanguage() names. Without the catalogue installed the dialogs stay in English.
void FollowUserLanguageInStandardDialogs();
// The title a dialog without one of its own shows: what it does, in the user's language.
std::string DefaultFileDialogTitle(bool open);
}
