#pragma once
// The handful of Windows scalar types the rest of the system is written against.
// They keep their Windows widths on Linux: DWORD is 32 bits even where long is 64.
#include <cstdint>

using DWORD = uint32_t;
using UINT = unsigned int;
using BYTE = uint8_t;
using WORD = uint16_t;
using BOOL = int;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

// The OK and Cancel answers of dialogs and message boxes (and the ids of their buttons).
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
