#pragma once
// The commands the script's buttons call by name on the instrument: "Read", "Sync", "WritePatch"
// and "ReadReservedPatches".
class AReader;
class CEditContext;
class CWriter;
class IEditorInstrumentLayer;
struct CInstrumentBindings;

// What the commands work on: the layer's whole-image transfers and its parts.
struct CInstrumentFunctorTargets
{
    IEditorInstrumentLayer* layer = nullptr;
    const CInstrumentBindings* bound = nullptr;
    CEditContext* context = nullptr;
    AReader* reader = nullptr;
    CWriter* writer = nullptr;
};

// Registers the commands, or points the registered ones at new targets (each set-up of the layer
// makes a new reader and writer).
void RegisterInstrumentFunctors(const CInstrumentFunctorTargets& targets);
