#include "editor/entities/EntityBanks.h"

CBank::CBank(std::unique_ptr<CVeyEntityManager::IEntityIdMapper> entityIds,
             std::unique_ptr<CVeyEntityManager::IProgramIdMapper> programIds,
             std::unique_ptr<CVeyEntityManager::IInformationMapper> informations)
    : m_entityIds(std::move(entityIds)), m_programIds(std::move(programIds)), m_informations(std::move(informations))
{
}

CBank::~CBank()
{
    m_informations.reset();
    m_programIds.reset();
    m_entityIds.reset();
}

void CBank::SetCount(int count)
{
    m_entityIds->SetCount(count);
    m_programIds->SetCount(count);
    m_informations->SetCount(count);
}
