#include "tests/librarian/app/MessageBoxAnswers.h"

#include "platform/Shell.h"

struct CMessageBoxAnswers::Previous
{
    MessageBoxHook hook;
};

CMessageBoxAnswers::CMessageBoxAnswers(FAnswer answer) : m_previous(new Previous)
{
    m_previous->hook = SetMessageBoxHook([answer](const char* text, const char*, UINT type) {
        const bool question = (type & MB_TYPEMASK) == MB_YESNOCANCEL;
        const int chosen = answer(text ? text : "", question);
        if (!question)
            return IDOK;
        return chosen > 0 ? IDYES : chosen == 0 ? IDNO : IDCANCEL;
    });
}

CMessageBoxAnswers::~CMessageBoxAnswers()
{
    SetMessageBoxHook(m_previous->hook);
    delete m_previous;
}
