#pragma once
// The banks of named entities the editor keeps: information records (a name, with or without a
// category), a mapper that stores them by index, and the sequential bank whose entity ids and
// program ids both count up from a base.
#include "model/CVeyEntityManager.h"

#include <memory>
#include <string>
#include <vector>

class CCategoryInformation : public CVeyEntityManager::IInformation
{
public:
    CCategoryInformation() = default;
    CCategoryInformation(std::string name, int category) : m_name(std::move(name)), m_category(category) {}
    explicit CCategoryInformation(const CVeyEntityManager::IInformation& other)
        : m_name(other.GetName()), m_category(other.GetCategory())
    {
    }

    bool IsNull() const override { return false; }
    void SetName(const std::string& name) override { m_name = name; }
    void SetCategory(int category) override { m_category = category; }
    const std::string& GetName() const override { return m_name; }
    int GetCategory() const override { return m_category; }

private:
    std::string m_name;
    int m_category = 0;
};

class CNameInformation : public CVeyEntityManager::IInformation
{
public:
    CNameInformation() = default;
    explicit CNameInformation(std::string name) : m_name(std::move(name)) {}
    explicit CNameInformation(const CVeyEntityManager::IInformation& other) : m_name(other.GetName()) {}

    bool IsNull() const override { return false; }
    void SetName(const std::string& name) override { m_name = name; }
    void SetCategory(int) override {}
    const std::string& GetName() const override { return m_name; }
    int GetCategory() const override { return 0; }

private:
    std::string m_name;
};

// Informations of one kind for indexes 0 .. count - 1; the stored list may be shorter than the
// count while the bank is being filled, and an index past it answers the null information.
template <class TInformation>
class CContinuousInformationMapper : public CVeyEntityManager::IInformationMapper
{
public:
    explicit CContinuousInformationMapper(int count) : m_count(count) {}

    void Clear() override { m_informations.clear(); }
    void Compact() override { m_informations.shrink_to_fit(); }
    void PushBack(const IObject& object) override
    {
        if (const auto* pair = dynamic_cast<const CPair*>(&object))
        {
            if (pair->GetIndex() < 0 || pair->GetIndex() >= m_count)
                return;
            const size_t index = static_cast<size_t>(pair->GetIndex());
            if (m_informations.size() <= index)
                m_informations.resize(index + 1);
            m_informations[index] = TInformation(pair->GetInformation());
        }
        else if (const auto* information = dynamic_cast<const CVeyEntityManager::IInformation*>(&object))
        {
            if (static_cast<int>(m_informations.size()) < m_count)
                m_informations.emplace_back(*information);
        }
    }
    void SetCount(int count) override { m_count = count; }
    int GetCount() const override { return m_count; }
    int GetInformationCount() const override { return static_cast<int>(m_informations.size()); }
    CVeyEntityManager::IInformation& GetInformation(int index) override
    {
        if (index < 0 || index >= GetInformationCount())
            return CVeyEntityManager::GetNullInformation();
        return m_informations[static_cast<size_t>(index)];
    }

private:
    int m_count;
    std::vector<TInformation> m_informations;
};

// A run of `count` entities from a base entity id and a base program id, `programsPerLsb`
// programs to each bank select LSB.
class CSequentialBank : public CVeyEntityManager::IBank
{
public:
    CSequentialBank(const CVeyEntityId& baseId, const CVeyProgramId& baseProgram, int count, int programsPerLsb,
                    std::unique_ptr<CVeyEntityManager::IInformationMapper> informations);

    CVeyEntityManager::IEntityIdMapper& GetEntityIdMapper() override { return m_entityIds; }
    CVeyEntityManager::IProgramIdMapper& GetProgramIdMapper() override { return m_programIds; }
    CVeyEntityManager::IInformationMapper& GetInformationMapper() override { return *m_informations; }
    void SetCount(int count) override;
    int GetCount() const override { return m_entityIds.GetCount(); }
    int GetInformationCount() const override { return m_informations->GetInformationCount(); }
    CVeyEntityId GetBaseEntityId() const override { return m_entityIds.GetBaseEntityId(); }
    CVeyEntityId GetEntityId(int index) const override { return m_entityIds.GetEntityId(index); }
    CVeyProgramId GetProgramId(int index) const override { return m_programIds.GetProgramId(index); }
    CVeyEntityManager::IInformation& GetInformation(int index) override { return m_informations->GetInformation(index); }
    int IndexOfProgramId(const CVeyProgramId& id) const override { return m_programIds.IndexOf(id); }
    int IndexOfEntityId(const CVeyEntityId& id) const override { return m_entityIds.IndexOf(id); }
    bool ContainsProgramId(const CVeyProgramId& id) const override { return m_programIds.Contains(id); }
    bool Matches(const CVeyEntityId& pattern) const override { return m_entityIds.Matches(pattern); }

private:
    CVeyEntityManager::CEntityIdMapper m_entityIds;
    CVeyEntityManager::CSequentialProgramIdMapper m_programIds;
    std::unique_ptr<CVeyEntityManager::IInformationMapper> m_informations;
};

// Banks of informations with a category (user patches, effect types): 128 programs per LSB.
std::unique_ptr<CSequentialBank> MakeCategoryBank(const CVeyEntityId& baseId, const CVeyProgramId& baseProgram, int count);
// Banks of names only (waves): the LSB never advances within the bank.
std::unique_ptr<CSequentialBank> MakeNameBank(const CVeyEntityId& baseId, const CVeyProgramId& baseProgram, int count);
