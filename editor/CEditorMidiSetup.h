#pragma once
// The editor's MIDI set-up: a device for the instrument's input and output and for the Through
// pair, chosen in the framework's set-up dialog over the editor's own dialog layout.
#include "platform/Win32Types.h"

class CMidiSetupDialogSettings;
class CWnd;

namespace EditorMidiSetup
{
// The items of the editor's layout.
enum : UINT
{
    kTemplate = 9301,
    kGroup = 200,
    kInput = 201,
    kOutput = 202,
    kDeviceId = 203,
    kThruGroup = 204,
    kThruInput = 205,
    kThruOutput = 206,
    kLocalOn = 207,
};

// The dialog's settings over the editor's layout, whose template this registers.
CMidiSetupDialogSettings Layout();
}

// Shows the dialog; OK attaches the chosen devices and keeps them in the settings.
void ShowEditorMidiSetUp(CWnd* parent);
