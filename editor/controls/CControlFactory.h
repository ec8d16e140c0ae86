#pragma once
// The editor's control factory: the instrument's own control types by their script type names;
// every other name goes to the framework's factory, so the instrument's types take precedence.
#include "ui/controls/CVeyControlFactory.h"

#include <string>
#include <vector>

class CControlFactory : public CVeyControlFactory
{
public:
    // The one factory, registered on first use for the rest of the program.
    static CControlFactory& GetInstance();

    CControlFactory();
    ~CControlFactory() override;

    std::unique_ptr<CVeyControl> CreateControl(const CVeyElementDefinition& definition) override;

    // The instrument's type names in the order they are compared.
    static const std::vector<CControlType>& GetInstrumentTypes();

private:
    CVeyControlFactory* m_previous;
};
