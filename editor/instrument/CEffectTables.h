#pragma once
// Names of the instrument's MFX types (fixed in the program, each with its category) and of its
// internal waves (from the script's wave name tables), filled into the entity banks at set-up.
#include "model/CVeyEntityManager.h"

#include <vector>

class CBufferAccessor;

// Appends the 79 MFX types in number order; true when the bank took exactly all of them.
bool SetupMfxTypeTable(CVeyEntityManager::IInserter& inserter);
// One name bank per internal wave table of the script ("Off", then the table's names), replacing
// those of an earlier run; false when the script lacks a table.
bool SetupInternalWaveNameTables(CBufferAccessor& accessor);
