#include "ui/controls/CVeyControlFactory.h"

#include "ui/controls/CVeyBarControls.h"
#include "ui/controls/CVeyButtons.h"
#include "ui/controls/CVeyComboControl.h"
#include "ui/controls/CVeyEditControl.h"
#include "ui/controls/CVeyKeyboardControl.h"
#include "ui/controls/CVeyKnobControl.h"
#include "ui/controls/CVeyListControl.h"
#include "ui/controls/CVeyPictureControls.h"
#include "ui/controls/CVeyScrollControls.h"
#include "ui/controls/CVeySliderControl.h"
#include "ui/controls/CVeyStaticTextControls.h"
#include "ui/controls/CVeyView.h"
#include "ui/controls/CVeyBiasControl.h"
#include "ui/controls/CVeyEnvelopeControl.h"
#include "ui/controls/CVeyFadeRangeControl.h"
#include "ui/controls/CVeyLfoControl.h"

namespace
{
CVeyControlFactory*& Registered()
{
    static CVeyControlFactory* factory = nullptr;
    return factory;
}
}

CVeyControlFactory::~CVeyControlFactory()
{
    // A factory that goes away while registered must not be handed out afterwards.
    if (Registered() == this)
        Registered() = nullptr;
}

CVeyControlFactory& CVeyControlFactory::GetInstance()
{
    static CVeyControlFactory framework;
    return Registered() ? *Registered() : framework;
}

void CVeyControlFactory::Register(CVeyControlFactory* factory)
{
    Registered() = factory;
}

CVeyControlFactory* CVeyControlFactory::GetRegistered()
{
    return Registered();
}

std::vector<CVeyControlFactory::CControlType>& CVeyControlFactory::FrameworkTypes()
{
    // One line per framework control class, in the order they are tried. A class joins by naming
    // its creator here (Make<CVeyKnobControl>); until then its name creates nothing.
    static std::vector<CControlType> types = {
        {"slider", &Make<CVeySliderControl>},
        {"knob", &Make<CVeyKnobControl>},
        {"staticText", &Make<CVeyStaticTextControl>},
        {"picture", &Make<CVeyPictureControl>},
        {"staticTextPicture", &Make<CVeyStaticTextPictureControl>},
        {"combo", &Make<CVeyPopComboControl>},
        {"comboA", &Make<CVeyComboControl>},
        {"unlatchButton", &Make<CVeyUnlatchButton>},
        {"latchButton", &Make<CVeyLatchButton>},
        {"incrementButton", &Make<CVeyIncrementButton>},
        {"bias", &Make<CVeyBiasControl>},
        {"envelope", &Make<CVeyEnvelopeControl>},
        {"fadeRange", &Make<CVeyFadeRangeControl>},
        {"lfo", &Make<CVeyLfoControl>},
        {"keyboard", &Make<CVeyKeyboardControl>},
        {"listControl", &Make<CVeyListControl>},
        {"scroll", &Make<CVeyScrollControl>},
        {"scrollButton", &Make<CVeyScrollButton>},
        {"label", &Make<CVeyLabelControl>},
        {"barGraph", &Make<CVeyBarGraphControl>},
        {"edit", &Make<CVeyPopEditControl>},
        {"editDouble", &Make<CVeyEditDoubleControl>},
        {"display", &Make<CVeyDisplayControl>},
        {"barSlider", &Make<CVeyBarSliderControl>},
    };
    return types;
}

const std::vector<CVeyControlFactory::CControlType>& CVeyControlFactory::GetFrameworkTypes()
{
    return FrameworkTypes();
}

void CVeyControlFactory::SetFrameworkType(const std::string& name, FCreateControl create)
{
    for (CControlType& type : FrameworkTypes())
        if (type.name == name)
        {
            type.create = create;
            return;
        }
    FrameworkTypes().push_back({name, create});
}

std::unique_ptr<CVeyControl> CVeyControlFactory::CreateControl(const CVeyElementDefinition& definition)
{
    const std::string& typeName = definition.GetTypeName();
    for (const CControlType& type : FrameworkTypes())
        if (type.name == typeName)
            return type.create ? type.create() : nullptr;
    return nullptr;
}
