#pragma once
// Command ids of the librarian's menus, tool bar and buttons.
#include "platform/Win32Types.h"

namespace LibrarianCommands
{
constexpr UINT kFileNew = 57600;
constexpr UINT kFileOpen = 57601;
constexpr UINT kFileClose = 57602;
constexpr UINT kFileSave = 57603;
constexpr UINT kFileSaveAs = 57604;
constexpr UINT kFileRecent = 57616;   // to kFileRecent + 7
constexpr UINT kAppExit = 57665;
constexpr UINT kEditUndo = 57643;
constexpr UINT kEditCut = 57635;
constexpr UINT kEditCopy = 57634;
constexpr UINT kEditInsert = 32779;
constexpr UINT kEditReplace = 32780;
constexpr UINT kEditDelete = 57088;
constexpr UINT kEditInitialize = 4128;
constexpr UINT kEditSelectAll = 57642;
constexpr UINT kFileDuplicate = 32782;
constexpr UINT kReadAll = 32784;
constexpr UINT kReadSelected = 32785;
constexpr UINT kWriteAll = 32797;
constexpr UINT kWriteSelected = 32798;
constexpr UINT kExportSmfAll = 32859;
constexpr UINT kExportSmfSelected = 32860;
constexpr UINT kImportSmf = 32861;
constexpr UINT kSetUpGrid = 32863;
constexpr UINT kSetUpMidi = 32855;
constexpr UINT kSetUpFont = 32854;
constexpr UINT kManual = 32858;
constexpr UINT kAbout = 32865;
}
