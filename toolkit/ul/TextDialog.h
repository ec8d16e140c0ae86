#pragma once
// The message-box service: simple questions to the user by kind of buttons and icon.
#include <string>

namespace UL
{
// Kinds: 0 OK, 1 OK/Cancel, 2 Yes/No, 3 Yes/No/Cancel. Icons: 0 question, 1 warning, 2 error.
// Answers: 0 OK, 2 Yes, 3 No, 1 Cancel (and anything else).
enum : int
{
    ANSWER_OK = 0,
    ANSWER_CANCEL = 1,
    ANSWER_YES = 2,
    ANSWER_NO = 3,
};

class ITextDialog
{
public:
    virtual ~ITextDialog() = default;
    virtual int Show(int kind, int icon, const std::string& text) = 0;
    virtual int ShowFormat(int kind, int icon, const char* format, ...) __attribute__((format(printf, 4, 5))) = 0;
};

class ATextDialog : public ITextDialog
{
};

class CTextDialog : public ATextDialog
{
public:
    static ITextDialog& GetInstance();
    int Show(int kind, int icon, const std::string& text) override;
    int ShowFormat(int kind, int icon, const char* format, ...) override __attribute__((format(printf, 4, 5)));
};
}
