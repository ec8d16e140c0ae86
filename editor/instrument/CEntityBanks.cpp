#include "editor/instrument/CEntityBanks.h"

CSequentialBank::CSequentialBank(const CVeyEntityId& baseId, const CVeyProgramId& baseProgram, int count, int programsPerLsb,
                                 std::unique_ptr<CVeyEntityManager::IInformationMapper> informations)
    : m_entityIds(baseId, count), m_programIds(baseProgram, programsPerLsb, count), m_informations(std::move(informations))
{
}

void CSequentialBank::SetCount(int count)
{
    m_entityIds.SetCount(count);
    m_programIds.SetCount(count);
    m_informations->SetCount(count);
}

std::unique_ptr<CSequentialBank> MakeCategoryBank(const CVeyEntityId& baseId, const CVeyProgramId& baseProgram, int count)
{
    return std::make_unique<CSequentialBank>(baseId, baseProgram, count, 128,
                                             std::make_unique<CContinuousInformationMapper<CCategoryInformation>>(count));
}

std::unique_ptr<CSequentialBank> MakeNameBank(const CVeyEntityId& baseId, const CVeyProgramId& baseProgram, int count)
{
    return std::make_unique<CSequentialBank>(baseId, baseProgram, count, 65536,
                                             std::make_unique<CContinuousInformationMapper<CNameInformation>>(count));
}
