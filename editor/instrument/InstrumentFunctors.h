#pragma once
// The commands the script's buttons call by name: "Read", "Sync", "WritePatch" and
// "ReadReservedPatches" on the instrument, and "SelectFileMenu", "SelectEditMenu",
// "SelectSetupMenu" and "SelectHelpMenu", which open the application's popup menus.
class CBufferAccessor;

void RegisterInstrumentFunctors(CBufferAccessor& accessor);
