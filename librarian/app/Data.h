#pragma once
// The patch list that a document keeps twice (current and undo) and the application keeps once
// (the clipboard).
#include "librarian/app/ParameterArray.h"
#include "librarian/app/Patch.h"

using CPatchArray = CConcreteParameterArray<CPatch>;

class CData
{
public:
    CPatchArray& GetPatches() { return m_patches; }
    const CPatchArray& GetPatches() const { return m_patches; }

private:
    CPatchArray m_patches;
};
