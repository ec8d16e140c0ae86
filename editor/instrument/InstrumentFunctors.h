#pragma once
// The instrument commands the script's buttons call by name: "Read", "Sync" and "WritePatch".
class CBufferAccessor;

void RegisterInstrumentFunctors(CBufferAccessor& accessor);
