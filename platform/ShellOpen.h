#pragma once
// Opening a document or folder with the desktop's preferred application (the shell's "open" verb).
#include <functional>
#include <string>

// Asks the desktop to open `path`; false when no desktop is available or it refused.
bool ShellOpen(const std::string& path);

// Tests route every open to `handler` instead of the desktop; null restores the desktop.
using ShellOpenHandler = std::function<bool(const std::string& path)>;
void SetShellOpenHandler(ShellOpenHandler handler);
