#pragma once
// Clears the diagnostic output on construction and reads back what was written since.
#include <string>

class CTraceCapture
{
public:
    CTraceCapture();
    std::string Text() const;
};
