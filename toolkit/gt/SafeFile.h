#pragma once
// Saving without risk to the previous version: the content goes to a new file in the target's
// folder, which replaces the target (one rename) only once it is completely written and flushed
// to the disk. A failure at any point removes the new file and leaves the old one as it was.
#include <functional>
#include <iosfwd>
#include <string>

// Calls `write` with a binary stream on the new file; `write` returns false to give up. The file
// keeps the permissions of the file it replaces (new files get the umask's). A symbolic link at
// `path` is kept: the file it points to is replaced. A file this process may not write is left
// alone. True when the target now holds the content.
namespace GT
{
bool SaveFileAtomically(const std::string& path, const std::function<bool(std::ostream&)>& write);
}
