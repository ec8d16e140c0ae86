#pragma once
// Registration of the program's document type with the desktop, so that opening a document
// starts the program with it (and a running program gets it through the single-instance channel).
#include <string>

namespace GT
{
// Registers (or, with `remove`, removes) the type `typeId` for files ending in `extension`
// (".q9e"), opened by this program. The icon index is kept for the callers' sake; the desktop
// takes no icon from the program file. False when the program file is missing or a write failed.
bool RegisterDocumentType(const std::string& extension, const std::string& typeId, const std::string& description,
                          int iconIndex, bool remove);
}
