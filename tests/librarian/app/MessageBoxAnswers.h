#pragma once
// Answers the program's message boxes while it lives: every text is recorded; questions with
// Yes, No and Cancel get the answer the test gives (1 yes, 0 no, -1 cancel), the rest OK.
#include <functional>
#include <string>

class CMessageBoxAnswers
{
public:
    using FAnswer = std::function<int(const std::string& text, bool yesNoCancel)>;
    explicit CMessageBoxAnswers(FAnswer answer);
    ~CMessageBoxAnswers();
    CMessageBoxAnswers(const CMessageBoxAnswers&) = delete;
    CMessageBoxAnswers& operator=(const CMessageBoxAnswers&) = delete;

private:
    struct Previous;
    Previous* m_previous;
};
