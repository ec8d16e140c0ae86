#pragma once
// The editor's resources: the bitmaps it shows itself (the splash picture), the language string
// and the dialog templates of its own windows. Bitmaps are image files; an id names a file that
// the program registers, else "Resources/Bitmap<id>.bmp" below the program folder.
#include "platform/Win32Types.h"

#include <string>

class CBitmap;

constexpr UINT IDR_MAINFRAME = 3072;        // frame resource: icon, menu, title
constexpr UINT IDB_SPLASH = 3074;           // splash picture
constexpr UINT IDS_LANGUAGE = 10021;        // "English" selects the English messages

// Points a bitmap id at an image file (empty returns to the default file).
void RegisterBitmapResource(UINT id, const std::string& path);
std::string GetBitmapResourcePath(UINT id);
// Reads the bitmap of the id; false when its file is missing or unreadable.
bool LoadBitmapResource(UINT id, CBitmap& bitmap);

// A resource string: empty when missing. The build's resources are the English ones.
std::string LoadResourceString(UINT id);
void SetResourceString(UINT id, const std::string& text);

// The program's icon (resource IDR_MAINFRAME): "Resources/Icon3072.png" below the program folder,
// shown by every window and the about box. False when the file cannot be read.
bool LoadProgramIcon();

