#include "midi/framework/CVeyMidiMessageValueLink.h"

#include "midi/framework/CVeyMidiPortLists.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"

bool CVeyMidiMessageValueLink::Bind(CVeyMidiOut* output, const std::string& valueName)
{
    m_output = output;
    m_valueRef.SetName(valueName);
    return m_valueRef.Resolve();
}

void CVeyMidiMessageValueLink::Update()
{
    CVeyValue* value = m_valueRef.GetValue();
    // The ports may be gone already at shut-down while the model still flushes.
    if (!value || !m_output || !CVeyMidiOutputs::GetInstance().Contains(m_output))
        return;
    const ML::Bytes message = m_output->GetLastMessage();
    if (message.empty() || message.size() > kMaxShownMessage)
        return;
    std::string text;
    ML::AppendHexBytes(text, message.data(), message.size());
    text.pop_back();
    const int32_t size = value->GetAddressRange().GetSize();
    if (size < 0 || static_cast<size_t>(size) < text.size())
        return;
    text.resize(static_cast<size_t>(size), ' ');
    if (value->GetText() == text)
        return;
    value->SetText(text);
    CVeyBufferManager::GetInstance().MarkChanged(value);
}

std::string CVeyMidiMessageValueLink::GetText() const
{
    const CVeyValue* value = m_valueRef.GetValue();
    if (!value)
        return std::string();
    std::string text = value->GetText();
    const size_t last = text.find_last_not_of(' ');
    text.erase(last == std::string::npos ? 0 : last + 1);
    return text;
}
