#pragma once
// The editor's MIDI set-up: a device for the instrument's input and output and for the Through
// pair, chosen in the framework's set-up dialog over the editor's own dialog layout.
class CWnd;

// Shows the dialog; OK attaches the chosen devices and keeps them in the settings.
void ShowEditorMidiSetUp(CWnd* parent);
