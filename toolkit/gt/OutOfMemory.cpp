#include "toolkit/gt/OutOfMemory.h"

#include "toolkit/gt/TraceTextOut.h"

namespace GT
{
void ReportOutOfMemory(const char* what)
{
    GetTraceTextOut().Printf("Not enough memory to read %s.\n", what);
}
}
