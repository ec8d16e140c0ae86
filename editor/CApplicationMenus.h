#pragma once
// The popup menus of the main panel's FILE, EDIT, SETUP and HELP buttons. Each is built afresh
// from the message table in the language chosen at start-up, shown beside the pointer, and the
// chosen entry runs the main menu's command of the same name (the Edit entries go straight to the
// patch clipboard). Leaves are numbered depth first; separators take no number.
#include <cstdint>

class CBufferAccessor;
class CEditorCommands;

namespace UL
{
class CPopupMenuItem;
}

namespace ApplicationMenus
{
// Appends one entry per message id firstId .. firstId + count - 1 under `parent`, in that order;
// an id without a text gives an empty entry, which shows as a separator.
void AppendMessageItems(int32_t firstId, int32_t count, UL::CPopupMenuItem& parent);

// The patch clipboard's operation of an Edit menu leaf; -1 for a leaf that has none.
int32_t EditOperationOf(int32_t leaf);
// The Edit menu's leaf that copies the last sent MIDI message to the clipboard.
constexpr int32_t kCopyMidiMessageLeaf = 15;

// Each returns false when the menu was dismissed and true when an entry was chosen; the Edit menu
// also returns false for a leaf without an operation.
bool RunFileMenu(CEditorCommands& commands);
bool RunEditMenu(CBufferAccessor& instrument);
bool RunSetupMenu();
bool RunHelpMenu();

// The script's "SelectFileMenu", "SelectEditMenu", "SelectSetupMenu" and "SelectHelpMenu": the
// menus of the main panel's buttons, on the application's documents and instrument layer.
void RegisterMenuFunctors();
}
