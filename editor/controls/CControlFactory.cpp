#include "editor/controls/CControlFactory.h"

#include "editor/controls/CInstrumentSelectControls.h"
#include "editor/controls/CLfoControl.h"
#include "editor/controls/CPanelButtons.h"
#include "editor/controls/CPatchNameList.h"
#include "editor/controls/CSwitchableControls.h"

CControlFactory& CControlFactory::GetInstance()
{
    static CControlFactory instance;
    return instance;
}

CControlFactory::CControlFactory() : m_previous(GetRegistered())
{
    Register(this);
}

CControlFactory::~CControlFactory()
{
    if (GetRegistered() == this)
        Register(m_previous);
}

const std::vector<CVeyControlFactory::CControlType>& CControlFactory::GetInstrumentTypes()
{
    static const std::vector<CControlType> types = {
        {"q9eWaveIndexSelect", &Make<CWaveIndexSelectControl>},
        {"q9eWaveGroupSelect", &Make<CWaveGroupSelectControl>},
        {"norvikZMfxSelectCombo", &Make<CMfxSelectCombo>},
        {"norvikZLfoControl", &Make<CLfoControl>},
        {"norvikZSwSlider", &Make<CSwitchableSliderControl>},
        {"norvikZSwStaticTextPicture", &Make<CSwitchableStaticTextPictureControl>},
        {"qdToneSelectButton", &Make<CToneSelectButton>},
        {"wemSelectPanelButton", &Make<CSelectPanelButton>},
        {"q9eWritePanelButton", &Make<CWritePanelButton>},
        {"q9ePatchNameListControl", &Make<CPatchNameListControl>},
        {"zt7PatchNameListScroll", &Make<CPatchNameListScroll>},
        {"zt7PatchNameListScrollButton", &Make<CPatchNameListScrollButton>},
        {"q9eChangePatchBankCombo", &Make<CChangePatchBankCombo>},
        {"q9eSelectPartButton", &Make<CSelectPartButton>},
    };
    return types;
}

std::unique_ptr<CVeyControl> CControlFactory::CreateControl(const CVeyElementDefinition& definition)
{
    for (const CControlType& type : GetInstrumentTypes())
        if (type.name == definition.GetTypeName())
            return type.create();
    return CVeyControlFactory::CreateControl(definition);
}
