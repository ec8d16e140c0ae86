#pragma once
// Opening a document or folder with the desktop's preferred application (the shell's "open" verb).
#include <functional>
#include <string>

// Asks the desktop to open `path` with its preferred application, through the desktop's opener
// (xdg-open). False when that cannot start at all: no desktop in this process, no opener
// installed. The opener may still find no application for the file: `done`, when given, is
// called later on the GUI thread with whether the opener reported success (not when the opener
// was still running at the program's end).
bool ShellOpen(const std::string& path, std::function<void(bool opened)> done = nullptr);

// Tests route every open to `handler` instead of the desktop; null restores the desktop. The
// handler's answer is the whole outcome: `done` is not called.
using ShellOpenHandler = std::function<bool(const std::string& path)>;
void SetShellOpenHandler(ShellOpenHandler handler);
