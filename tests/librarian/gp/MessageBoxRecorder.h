#pragma once
// Records the application's message boxes while it lives and answers each with OK.
#include <string>
#include <vector>

namespace GpTest
{
class CMessageBoxRecorder
{
public:
    CMessageBoxRecorder();
    ~CMessageBoxRecorder();
    CMessageBoxRecorder(const CMessageBoxRecorder&) = delete;
    CMessageBoxRecorder& operator=(const CMessageBoxRecorder&) = delete;

    std::vector<std::string> messages;

private:
    struct Previous;
    Previous* m_previous;
};
}
