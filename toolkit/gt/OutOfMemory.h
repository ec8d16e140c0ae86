#pragma once
// Readers of outside input (scripts, files, MIDI bytes) run through ReadWithinMemory: input that
// makes the process run out of memory on the way is that reader's failure, reported with one line
// in the diagnostics, and the program goes on.
#include <new>
#include <utility>

namespace GT
{
// "Not enough memory to read <what>." in the diagnostics.
void ReportOutOfMemory(const char* what);

// `read()`, or false when it ran out of memory.
template <class FRead>
bool ReadWithinMemory(const char* what, FRead&& read)
{
    try
    {
        return std::forward<FRead>(read)();
    }
    catch (const std::bad_alloc&)
    {
        ReportOutOfMemory(what);
        return false;
    }
}
}
