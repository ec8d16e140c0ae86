#pragma once
// Shows the last message a MIDI output sent as hex text in a text value of the model
// ("midiMessageValueRef"); refreshed at the end of every flush of the buffer manager.
#include "model/CVeyValueRef.h"
#include "model/IVeyModelLinks.h"

#include <string>

class CVeyMidiOut;

class CVeyMidiMessageValueLink : public IVeyMidiMessageValueLink
{
public:
    // Messages longer than this are not shown.
    static constexpr size_t kMaxShownMessage = 256;

    // Stores both and resolves the value name; false when no value answers.
    bool Bind(CVeyMidiOut* output, const std::string& valueName);

    // "%02X" bytes separated by blanks, padded with blanks to the value's size; the value is set
    // and marked changed only when the text fits and differs.
    void Update() override;
    // The value's text without its trailing blanks.
    std::string GetText() const override;

    CVeyMidiOut* GetOutput() const { return m_output; }
    CVeyValue* GetValue() const { return m_valueRef.GetValue(); }

private:
    CVeyMidiOut* m_output = nullptr;
    CVeyValueRef m_valueRef;
};
