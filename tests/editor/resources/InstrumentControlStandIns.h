#pragma once
// Stand-ins for the instrument's own control types while the editor's control factory does not
// create them: each takes the type's attributes, resolves every value it names ("...ValueRef",
// and the sixteen paths of a step prefix), finds the pictures, lettering and tables it names, and
// draws a labelled frame. A misspelt path or resource in the script fails as it would with the
// real control.
#include "ui/controls/CVeyControlFactory.h"

#include <string>
#include <vector>

class CInstrumentControlStandIns : public CVeyControlFactory
{
public:
    // Registers itself as the control factory for its lifetime.
    CInstrumentControlStandIns();
    ~CInstrumentControlStandIns() override;

    std::unique_ptr<CVeyControl> CreateControl(const CVeyElementDefinition& definition) override;

    static const std::vector<std::string>& TypeNames();

private:
    CVeyControlFactory* m_previous;
};
