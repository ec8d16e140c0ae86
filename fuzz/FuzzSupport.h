#pragma once
// What the fuzz targets share: the fixtures' folder, a Qt application on the offscreen platform,
// a scratch folder, and the editor's start-up over the sample script (tests/data/scripts).
#include <cstddef>
#include <cstdint>
#include <string>

namespace Fuzz
{
// tests/data of the source tree.
std::string DataFolder();
// A folder of this process, made on first use.
std::string ScratchFolder();
// The Qt application, made once on the offscreen platform.
void StartGui();

// Registers the four managers, once, and points the script and bitmap folders at the scratch
// folder, which gets the sample script's bitmaps. Every call installs the editor's resource and
// panel factories, which tearing the managers down lets go of: call it before each creation.
void PrepareManagers();
// Reads the sample script and creates the managers; the data file is bound to its root struct.
// Aborts when the fixture does not build: the fuzz target would test nothing.
void CreateSampleModel();

// Ends the process at exit, after the leak check, without tearing down the windows a target
// created (see the .cpp).
void TearDownAtExit();

// The bytes as text.
inline std::string Text(const uint8_t* data, size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}
}
