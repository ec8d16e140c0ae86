#pragma once
// Start-up and teardown of the four managers that turn the script's definitions into objects.
// The model cannot call the managers above it (MIDI ports, panels), so each manager's owner
// registers its create and destroy operations here; an unregistered manager creates nothing.
#include <functional>

enum class EVeyManager
{
    kResource,   // bitmaps, text writers, string and number tables
    kBuffer,     // root structs and MIDI structs
    kMidi,       // MIDI input and output ports
    kView,       // panel types and root panels
};

using FVeyManagerCreate = std::function<bool()>;
using FVeyManagerDestroy = std::function<void()>;

// Registers (or with empty functions, unregisters) the operations of one manager. A later call
// replaces the earlier registration.
void VeySetManagerStep(EVeyManager manager, FVeyManagerCreate create, FVeyManagerDestroy destroy);

// Creates the managers in the order resource, buffer, MIDI, view. On a failure the manager's
// message goes to the trace output, every manager is torn down and the result is false.
bool VeyCreateManagers();

// Tears the managers down in the order view, MIDI, buffer, resource. After each manager's own
// destroy operation its definition group in CVeyScriptDefinitions is emptied.
void VeyDestroyManagers();
