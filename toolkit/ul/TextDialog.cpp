#include "toolkit/ul/TextDialog.h"

#include "platform/Shell.h"
#include "toolkit/gt/Format.h"

#include <cstdarg>

namespace UL
{
ITextDialog& CTextDialog::GetInstance()
{
    static CTextDialog dialog;
    return dialog;
}

int CTextDialog::Show(int kind, int icon, const std::string& text)
{
    UINT type = MB_OK;
    switch (kind)
    {
    case 1: type = MB_OKCANCEL; break;
    case 2: type = MB_YESNO; break;
    case 3: type = MB_YESNOCANCEL; break;
    default: break;
    }
    switch (icon)
    {
    case 0: type |= MB_ICONQUESTION; break;
    case 2: type |= MB_ICONSTOP; break;
    default: type |= MB_ICONEXCLAMATION; break;
    }
    switch (AfxMessageBox(text.c_str(), type))
    {
    case IDOK: return ANSWER_OK;
    case IDYES: return ANSWER_YES;
    case IDNO: return ANSWER_NO;
    default: return ANSWER_CANCEL;
    }
}

int CTextDialog::ShowFormat(int kind, int icon, const char* format, ...)
{
    std::string text;
    va_list args;
    va_start(args, format);
    GT::FormatV(text, format, args);
    va_end(args);
    return Show(kind, icon, text);
}
}
