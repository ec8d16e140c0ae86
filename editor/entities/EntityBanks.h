#pragma once
// The information records the editor keeps per entity (a name, and for effect types and user
// patches a category), the mapper that stores them by index, and the bank that ties them to the
// entity and program ids of a contiguous run of entities.
#include "model/CVeyEntityManager.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class CCategoryInformation : public CVeyEntityManager::IInformation
{
public:
    CCategoryInformation() = default;
    CCategoryInformation(std::string name, int category) : m_name(std::move(name)), m_category(category) {}

    bool IsNull() const override { return false; }
    void SetName(const std::string& name) override { m_name = name; }
    void SetCategory(int category) override { m_category = category; }
    const std::string& GetName() const override { return m_name; }
    int GetCategory() const override { return m_category; }

protected:
    std::string m_name;
    int m_category = 0;
};

class CNameInformation : public CVeyEntityManager::IInformation
{
public:
    CNameInformation() = default;
    explicit CNameInformation(std::string name) : m_name(std::move(name)) {}

    bool IsNull() const override { return false; }
    void SetName(const std::string& name) override { m_name = name; }
    void SetCategory(int) override {}
    const std::string& GetName() const override { return m_name; }
    int GetCategory() const override { return 0; }

protected:
    std::string m_name;
};

// The one shared record answered for an index without information: empty, and deaf to writes.
template <class T>
class CNullInformation : public T
{
public:
    static CNullInformation& GetInstance()
    {
        static CNullInformation instance;
        return instance;
    }
    bool IsNull() const override { return true; }
    void SetName(const std::string&) override {}
    void SetCategory(int) override {}
    int GetCategory() const override { return 0; }
};

// Informations of type T for the indexes 0 .. count - 1, stored in index order. The stored list
// may be shorter than the count while the bank is being filled.
template <class T>
class CContinuousInformationMapper : public CVeyEntityManager::IInformationMapper
{
public:
    explicit CContinuousInformationMapper(int count) : m_count(count) {}

    void Clear() override { m_informations.clear(); }
    void Compact() override { std::vector<T>(m_informations).swap(m_informations); }
    void PushBack(const IObject& object) override
    {
        // An inserter that knows the index hands a pair: the record goes to that index.
        if (const auto* pair = dynamic_cast<const CPair*>(&object))
        {
            const auto* information = dynamic_cast<const T*>(&pair->GetInformation());
            if (!information || pair->GetIndex() < 0 || pair->GetIndex() >= m_count)
                return;
            if (size_t(pair->GetIndex()) >= m_informations.size())
                m_informations.resize(size_t(pair->GetIndex()) + 1);
            m_informations[size_t(pair->GetIndex())] = *information;
            return;
        }
        if (const auto* information = dynamic_cast<const T*>(&object))
            m_informations.push_back(*information);
    }
    void SetCount(int count) override { m_count = count; }
    int GetCount() const override { return m_count; }
    int GetInformationCount() const override { return int(m_informations.size()); }
    CVeyEntityManager::IInformation& GetInformation(int index) override
    {
        if (index >= 0 && index < m_count && size_t(index) < m_informations.size())
            return m_informations[size_t(index)];
        return CNullInformation<T>::GetInstance();
    }

private:
    int m_count;
    std::vector<T> m_informations;
};

// Owns one mapper of each kind; every operation of the bank is answered by them.
class CBank : public CVeyEntityManager::IBank
{
public:
    CBank(std::unique_ptr<CVeyEntityManager::IEntityIdMapper> entityIds,
          std::unique_ptr<CVeyEntityManager::IProgramIdMapper> programIds,
          std::unique_ptr<CVeyEntityManager::IInformationMapper> informations);
    ~CBank() override;

    CVeyEntityManager::IEntityIdMapper& GetEntityIdMapper() override { return *m_entityIds; }
    CVeyEntityManager::IProgramIdMapper& GetProgramIdMapper() override { return *m_programIds; }
    CVeyEntityManager::IInformationMapper& GetInformationMapper() override { return *m_informations; }
    void SetCount(int count) override;
    int GetCount() const override { return m_entityIds->GetCount(); }
    int GetInformationCount() const override { return m_informations->GetInformationCount(); }
    CVeyEntityId GetBaseEntityId() const override { return m_entityIds->GetBaseEntityId(); }
    CVeyEntityId GetEntityId(int index) const override { return m_entityIds->GetEntityId(index); }
    CVeyProgramId GetProgramId(int index) const override { return m_programIds->GetProgramId(index); }
    CVeyEntityManager::IInformation& GetInformation(int index) override { return m_informations->GetInformation(index); }
    int IndexOfProgramId(const CVeyProgramId& id) const override { return m_programIds->IndexOf(id); }
    int IndexOfEntityId(const CVeyEntityId& id) const override { return m_entityIds->IndexOf(id); }
    bool ContainsProgramId(const CVeyProgramId& id) const override { return m_programIds->Contains(id); }
    bool Matches(const CVeyEntityId& pattern) const override { return m_entityIds->Matches(pattern); }

private:
    std::unique_ptr<CVeyEntityManager::IEntityIdMapper> m_entityIds;
    std::unique_ptr<CVeyEntityManager::IProgramIdMapper> m_programIds;
    std::unique_ptr<CVeyEntityManager::IInformationMapper> m_informations;
};

// A bank of `count` entities from a base entity id and a base program id, N programs per bank
// select LSB: 128 for effect types and user patches, 65536 (the LSB never advances) for waves.
template <class T, int N>
class CSequentialContinuousBank : public CBank
{
public:
    CSequentialContinuousBank(const CVeyEntityId& baseEntity, const CVeyProgramId& baseProgram, int count)
        : CBank(std::make_unique<CVeyEntityManager::CEntityIdMapper>(baseEntity, count),
                std::make_unique<CVeyEntityManager::CSequentialProgramIdMapper>(baseProgram, N, count),
                std::make_unique<CContinuousInformationMapper<T>>(count))
    {
    }
};

using CCategoryBank = CSequentialContinuousBank<CCategoryInformation, 128>;
using CNameBank = CSequentialContinuousBank<CNameInformation, 65536>;
