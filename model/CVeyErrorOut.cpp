#include "model/CVeyErrorOut.h"

#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/ul/TextDialog.h"

namespace
{
constexpr int kOkButton = 0;
constexpr int kWarningIcon = 1;
}

CVeyErrorOut& CVeyErrorOut::GetInstance()
{
    static CVeyErrorOut instance;
    return instance;
}

void CVeyErrorOut::ShowMessage(int32_t messageId)
{
    GetInstance().Write(GetMessageTable().Find(messageId));
}

void CVeyErrorOut::WriteRaw(const std::string& text)
{
    UL::CTextDialog::GetInstance().Show(kOkButton, kWarningIcon, text);
}

CVeyBufferedErrorOut& CVeyBufferedErrorOut::GetInstance()
{
    static CVeyBufferedErrorOut instance;
    return instance;
}

void CVeyBufferedErrorOut::ShowMessage(int32_t messageId)
{
    GetInstance().Write(GetMessageTable().Find(messageId));
}

void CVeyBufferedErrorOut::Flush()
{
    if (m_text.empty())
        return;
    const std::string text = std::move(m_text);
    m_text.clear();
    CVeyErrorOut::GetInstance().Write(text);
}

void CVeyBufferedErrorOut::WriteRaw(const std::string& text)
{
    if (m_mode == kKeepLatest || (m_mode == kKeepFirst && m_text.empty()))
        m_text = text;
}

CVeyFolders& CVeyFolders::GetInstance()
{
    static CVeyFolders instance;
    return instance;
}
