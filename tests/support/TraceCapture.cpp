#include "tests/support/TraceCapture.h"

#include "toolkit/gt/TraceTextOut.h"

CTraceCapture::CTraceCapture()
{
    GetTraceTextOut().Clear();
}

std::string CTraceCapture::Text() const
{
    return GetTraceTextOut().GetText();
}
