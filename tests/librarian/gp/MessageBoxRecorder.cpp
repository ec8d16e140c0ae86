#include "tests/librarian/gp/MessageBoxRecorder.h"

#include "platform/Shell.h"

namespace GpTest
{
struct CMessageBoxRecorder::Previous
{
    MessageBoxHook hook;
};

CMessageBoxRecorder::CMessageBoxRecorder() : m_previous(new Previous)
{
    m_previous->hook = SetMessageBoxHook([this](const char* text, const char*, UINT) {
        messages.push_back(text ? text : "");
        return IDOK;
    });
}

CMessageBoxRecorder::~CMessageBoxRecorder()
{
    SetMessageBoxHook(m_previous->hook);
    delete m_previous;
}
}
