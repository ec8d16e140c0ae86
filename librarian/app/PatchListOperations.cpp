#include "librarian/app/PatchListOperations.h"

#include <algorithm>
#include <memory>

namespace PatchList
{
namespace
{
bool Names(const CPatchArray& patches, int index)
{
    return index >= 0 && static_cast<size_t>(index) < patches.GetSize();
}
}

void Copy(const CPatchArray& patches, const std::vector<int>& selection, CPatchArray& clipboard)
{
    clipboard.RemoveAll();
    for (int index : selection)
        if (Names(patches, index))
            clipboard.Add(patches[static_cast<size_t>(index)].Clone());
}

void Delete(CPatchArray& patches, const std::vector<int>& selection)
{
    // From the back, so that the indices still to go keep naming the same patches.
    std::vector<int> doomed;
    for (int index : selection)
        if (Names(patches, index))
            doomed.push_back(index);
    std::sort(doomed.begin(), doomed.end());
    doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        patches.RemoveAt(static_cast<size_t>(*it));
}

size_t Insert(CPatchArray& patches, size_t position, const CPatchArray& clipboard)
{
    position = std::min(position, patches.GetSize());
    // The patches behind the place step aside and come back after the copies: one pass, however
    // long the list.
    std::vector<std::unique_ptr<CParameter>> tail;
    tail.reserve(patches.GetSize() - position);
    while (patches.GetSize() > position)
        tail.push_back(patches.Detach(patches.GetSize() - 1));
    for (size_t i = 0; i < clipboard.GetSize(); ++i)
        patches.Add(clipboard[i].Clone());
    for (auto it = tail.rbegin(); it != tail.rend(); ++it)
        patches.Add(std::move(*it));
    return clipboard.GetSize();
}

void Replace(CPatchArray& patches, const std::vector<int>& selection, const CPatchArray& clipboard)
{
    if (clipboard.IsEmpty())
        return;
    size_t next = 0;
    for (int index : selection)
    {
        if (!Names(patches, index))
            continue;
        patches[static_cast<size_t>(index)] = clipboard[next];
        next = (next + 1) % clipboard.GetSize();
    }
}

void Initialize(CPatchArray& patches, const std::vector<int>& selection)
{
    for (int index : selection)
        if (Names(patches, index))
            patches[static_cast<size_t>(index)].Initialize();
}
}
