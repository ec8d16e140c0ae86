#pragma once
// The edit operations of a patch list on a selection: the patch indices of the selected rows in
// the order the list shows them (a column sort may have changed it). Indices that name no patch
// are ignored, so a stale selection never reaches past the list.
#include "librarian/app/Data.h"

#include <cstddef>
#include <vector>

namespace PatchList
{
// The image always holds the instrument's 256 user patches.
constexpr size_t kImageSize = 256;

// Empties the clipboard, then appends a copy of every selected patch, in selection order.
void Copy(const CPatchArray& patches, const std::vector<int>& selection, CPatchArray& clipboard);
// Deletes every selected patch; the others close up in their order.
void Delete(CPatchArray& patches, const std::vector<int>& selection);
// Inserts copies of the clipboard's patches before patch `position` (at or past the end:
// appended). Returns how many were inserted.
size_t Insert(CPatchArray& patches, size_t position, const CPatchArray& clipboard);
// Replaces the selected patches one by one by copies of the clipboard's patches, taken from the
// first and again from the first when they run out. Nothing with an empty clipboard.
void Replace(CPatchArray& patches, const std::vector<int>& selection, const CPatchArray& clipboard);
// Initialises every selected patch.
void Initialize(CPatchArray& patches, const std::vector<int>& selection);
}
