#include "model/CVeyEntityManager.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace
{
bool FitsInt32(int64_t n)
{
    return n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max();
}

bool FieldMatches(int32_t patternField, int32_t baseField)
{
    return patternField == CVeyEntityId::kWildcard || patternField == baseField;
}

class CNullInformation : public CVeyEntityManager::IInformation
{
public:
    bool IsNull() const override { return true; }
    void SetName(const std::string&) override {}
    void SetCategory(int) override {}
    const std::string& GetName() const override { return m_name; }
    int GetCategory() const override { return 0; }

private:
    const std::string m_name;
};
}

// ---- CVeyProgramId

bool CVeyProgramId::IsInvalid() const
{
    return m_bankSelectMsb == -1 && m_bankSelectLsb == -1 && m_program == -1;
}

bool CVeyProgramId::HasNoNegativeField() const
{
    return m_bankSelectMsb >= 0 && m_bankSelectLsb >= 0 && m_program >= 0;
}

bool CVeyProgramId::operator==(const CVeyProgramId& other) const
{
    return m_bankSelectMsb == other.m_bankSelectMsb && m_bankSelectLsb == other.m_bankSelectLsb
        && m_program == other.m_program;
}

// ---- CVeyEntityId

bool CVeyEntityId::IsInvalid() const
{
    return m_key1 == kInvalid && m_key2 == kInvalid && m_key3 == kInvalid && m_number == kInvalid;
}

bool CVeyEntityId::HasNoNegativeField() const
{
    return m_key1 >= 0 && m_key2 >= 0 && m_key3 >= 0 && m_number >= 0;
}

bool CVeyEntityId::operator<(const CVeyEntityId& other) const
{
    return std::tie(m_key1, m_key2, m_key3, m_number)
        < std::tie(other.m_key1, other.m_key2, other.m_key3, other.m_number);
}

bool CVeyEntityId::operator==(const CVeyEntityId& other) const
{
    return m_key1 == other.m_key1 && m_key2 == other.m_key2 && m_key3 == other.m_key3
        && m_number == other.m_number;
}

bool CVeyEntityId::IsCurrent() const
{
    return m_manager != nullptr && m_generation == m_manager->m_generation
        && m_bank != m_manager->m_banks.end();
}

bool CVeyEntityId::Exists() const
{
    return IsCurrent() && m_index >= 0 && m_index < (*m_bank)->GetCount();
}

bool CVeyEntityId::MoveNext()
{
    if (!Exists())
        return false;
    if (m_number != kWildcard)
    {
        m_bank = m_manager->m_banks.end();
        return false;
    }
    ++m_index;
    if (m_index < (*m_bank)->GetCount())
        return true;
    for (++m_bank; m_bank != m_manager->m_banks.end(); ++m_bank)
    {
        if ((*m_bank)->Matches(*this))
        {
            m_index = 0;
            return Exists();
        }
    }
    return false;
}

CVeyEntityId CVeyEntityId::GetMappedKey() const
{
    if (!Exists())
        return CVeyEntityId();
    return (*m_bank)->GetEntityId(m_index);
}

CVeyEntityManager::IInformation& CVeyEntityId::GetInformation() const
{
    if (!Exists())
        return CVeyEntityManager::GetNullInformation();
    return (*m_bank)->GetInformation(m_index);
}

// ---- CEntityIdMapper

CVeyEntityManager::CEntityIdMapper::CEntityIdMapper(const CVeyEntityId& base, int count)
    : m_base(base.GetKey1(), base.GetKey2(), base.GetKey3(), base.GetNumber())
{
    SetCount(count);
}

void CVeyEntityManager::CEntityIdMapper::SetCount(int count)
{
    m_count = std::max(count, 0);
}

int CVeyEntityManager::CEntityIdMapper::IndexOf(const CVeyEntityId& id) const
{
    if (!id.HasNoNegativeField() || id.GetKey1() != m_base.GetKey1() || id.GetKey2() != m_base.GetKey2()
        || id.GetKey3() != m_base.GetKey3())
        return -1;
    const int64_t index = int64_t(id.GetNumber()) - m_base.GetNumber();
    return index >= 0 && index < m_count ? int(index) : -1;
}

CVeyEntityId CVeyEntityManager::CEntityIdMapper::GetEntityId(int index) const
{
    if (index < 0 || index >= m_count)
        return CVeyEntityId();
    const int64_t number = int64_t(m_base.GetNumber()) + index;
    if (!FitsInt32(number))
        return CVeyEntityId();
    return CVeyEntityId(m_base.GetKey1(), m_base.GetKey2(), m_base.GetKey3(), int32_t(number));
}

bool CVeyEntityManager::CEntityIdMapper::Matches(const CVeyEntityId& pattern) const
{
    if (m_count <= 0)
        return false;
    if (!FieldMatches(pattern.GetKey1(), m_base.GetKey1()) || !FieldMatches(pattern.GetKey2(), m_base.GetKey2())
        || !FieldMatches(pattern.GetKey3(), m_base.GetKey3()))
        return false;
    if (pattern.GetNumber() == CVeyEntityId::kWildcard)
        return true;
    const int64_t offset = int64_t(pattern.GetNumber()) - m_base.GetNumber();
    return offset >= 0 && offset < m_count;
}

// ---- CSequentialProgramIdMapper

CVeyEntityManager::CSequentialProgramIdMapper::CSequentialProgramIdMapper(
    const CVeyProgramId& base, int programsPerBank, int count)
    : m_base(base), m_programsPerBank(programsPerBank)
{
    SetCount(count);
}

void CVeyEntityManager::CSequentialProgramIdMapper::SetCount(int count)
{
    m_count = std::max(count, 0);
}

int CVeyEntityManager::CSequentialProgramIdMapper::IndexOf(const CVeyProgramId& id) const
{
    // A mapper without programs per bank maps nothing rather than dividing by zero.
    if (m_programsPerBank <= 0 || !id.HasNoNegativeField())
        return -1;
    if (id.GetBankSelectMsb() != m_base.GetBankSelectMsb() || id.GetProgram() >= m_programsPerBank)
        return -1;
    const int64_t index = (int64_t(id.GetBankSelectLsb()) - m_base.GetBankSelectLsb()) * m_programsPerBank
        - m_base.GetProgram() + id.GetProgram();
    return index >= 0 && index < m_count ? int(index) : -1;
}

CVeyProgramId CVeyEntityManager::CSequentialProgramIdMapper::GetProgramId(int index) const
{
    if (m_programsPerBank <= 0 || index < 0 || index >= m_count)
        return CVeyProgramId();
    const int64_t n = int64_t(m_base.GetProgram()) + index;
    if (n < 0)
        return CVeyProgramId();
    const int64_t lsb = int64_t(m_base.GetBankSelectLsb()) + n / m_programsPerBank;
    if (!FitsInt32(lsb))
        return CVeyProgramId();
    return CVeyProgramId(m_base.GetBankSelectMsb(), int32_t(lsb), int32_t(n % m_programsPerBank));
}

// ---- CInserter

CVeyEntityManager::CInserter::CInserter(IBank& bank, bool clearBank) : m_bank(bank)
{
    if (clearBank)
    {
        m_bank.GetEntityIdMapper().Clear();
        m_bank.GetProgramIdMapper().Clear();
        m_bank.GetInformationMapper().Clear();
    }
}

CVeyEntityManager::CInserter::~CInserter()
{
    m_bank.GetEntityIdMapper().Compact();
    m_bank.GetProgramIdMapper().Compact();
    m_bank.GetInformationMapper().Compact();
}

bool CVeyEntityManager::CInserter::IsFull() const
{
    return m_bank.GetCount() <= m_bank.GetInformationCount();
}

bool CVeyEntityManager::CInserter::InsertByProgramId(const CVeyProgramId& id, const IInformation& information)
{
    // Only a sequential mapper can place a program id; a mapper of any other kind takes nothing.
    const auto* sequential = dynamic_cast<const CSequentialProgramIdMapper*>(&m_bank.GetProgramIdMapper());
    if (sequential == nullptr)
        return false;
    const int index = sequential->IndexOf(id);
    if (index < 0)
        return false;
    m_bank.GetInformationMapper().PushBack(IInformationMapper::CPair(index, information));
    return true;
}

bool CVeyEntityManager::CInserter::InsertByEntityId(const CVeyEntityId& id, const IInformation& information)
{
    const int index = m_bank.IndexOfEntityId(id);
    if (index < 0)
        return false;
    m_bank.GetInformationMapper().PushBack(IInformationMapper::CPair(index, information));
    return true;
}

bool CVeyEntityManager::CInserter::Append(const IInformation& information)
{
    m_bank.GetInformationMapper().PushBack(information);
    return true;
}

// ---- CVeyEntityManager

bool CVeyEntityManager::CBankLess::operator()(const std::unique_ptr<IBank>& a, const std::unique_ptr<IBank>& b) const
{
    return a->GetBaseEntityId() < b->GetBaseEntityId();
}

CVeyEntityManager::CVeyEntityManager() = default;

CVeyEntityManager::~CVeyEntityManager()
{
    Clear();
}

bool CVeyEntityManager::AddBank(std::unique_ptr<IBank> bank)
{
    if (!bank)
        return false;
    // A bank refused for a taken base id dies with `bank` here instead of leaking.
    const bool inserted = m_banks.insert(std::move(bank)).second;
    if (inserted)
        ++m_generation;
    return inserted;
}

bool CVeyEntityManager::RemoveBank(const CVeyEntityId& id)
{
    const auto it = FindBankForChange(id);
    if (it == m_banks.end())
        return false;
    m_banks.erase(it);
    ++m_generation;
    return true;
}

void CVeyEntityManager::Clear()
{
    if (m_banks.empty())
        return;
    m_banks.clear();
    ++m_generation;
}

CVeyEntityManager::CBankSet::const_iterator CVeyEntityManager::FindAcceptingBank(const CVeyEntityId& id) const
{
    return std::find_if(m_banks.begin(), m_banks.end(), [&id](const std::unique_ptr<IBank>& bank) {
        return bank->Matches(id);
    });
}

CVeyEntityManager::CBankSet::const_iterator CVeyEntityManager::FindBankForChange(const CVeyEntityId& id) const
{
    const auto accepting = FindAcceptingBank(id);
    if (accepting != m_banks.end())
        return accepting;
    // An empty bank accepts nothing; it is still reachable by its base id.
    return std::find_if(m_banks.begin(), m_banks.end(), [&id](const std::unique_ptr<IBank>& bank) {
        return bank->GetBaseEntityId() == id;
    });
}

CVeyEntityManager::IBank* CVeyEntityManager::FindBank(const CVeyEntityId& id) const
{
    const auto it = FindAcceptingBank(id);
    return it == m_banks.end() ? nullptr : it->get();
}

CVeyEntityManager::IBank* CVeyEntityManager::FindBank(const CVeyProgramId& id) const
{
    for (const auto& bank : m_banks)
    {
        if (bank->ContainsProgramId(id))
            return bank.get();
    }
    return nullptr;
}

CVeyProgramId CVeyEntityManager::ToProgramId(const CVeyEntityId& id) const
{
    if (!id.HasNoNegativeField())
        return CVeyProgramId();
    IBank* bank = FindBank(id);
    if (bank == nullptr)
        return CVeyProgramId();
    return bank->GetProgramId(bank->IndexOfEntityId(id));
}

CVeyEntityId CVeyEntityManager::ToEntityId(const CVeyProgramId& id) const
{
    if (!id.HasNoNegativeField())
        return CVeyEntityId();
    IBank* bank = FindBank(id);
    if (bank == nullptr)
        return CVeyEntityId();
    return bank->GetEntityId(bank->IndexOfProgramId(id));
}

int CVeyEntityManager::GetEntityCount(const CVeyEntityId& id) const
{
    IBank* bank = FindBank(id);
    return bank == nullptr ? 0 : bank->GetCount();
}

std::unique_ptr<CVeyEntityManager::IInserter> CVeyEntityManager::CreateInserter(const CVeyEntityId& id, bool clearBank)
{
    class CNullInserter : public IInserter
    {
    public:
        bool IsNull() const override { return true; }
        bool IsFull() const override { return true; }
        bool InsertByProgramId(const CVeyProgramId&, const IInformation&) override { return false; }
        bool InsertByEntityId(const CVeyEntityId&, const IInformation&) override { return false; }
        bool Append(const IInformation&) override { return false; }
    };

    const auto it = FindBankForChange(id);
    if (it == m_banks.end())
        return std::make_unique<CNullInserter>();
    return std::make_unique<CInserter>(**it, clearBank);
}

std::unique_ptr<CVeyEntityId> CVeyEntityManager::CreateEntityId(const CVeyEntityId& key) const
{
    auto iterating = std::make_unique<CVeyEntityId>(key.GetKey1(), key.GetKey2(), key.GetKey3(), key.GetNumber());
    iterating->m_manager = this;
    iterating->m_generation = m_generation;
    iterating->m_bank = FindAcceptingBank(key);
    if (iterating->m_bank != m_banks.end())
    {
        // The bank accepted the key, so a concrete number lies within its run.
        const int32_t baseNumber = (*iterating->m_bank)->GetBaseEntityId().GetNumber();
        iterating->m_index = key.GetNumber() == CVeyEntityId::kWildcard
            ? 0
            : int(int64_t(key.GetNumber()) - baseNumber);
    }
    return iterating;
}

CVeyEntityManager::IInformation& CVeyEntityManager::GetNullInformation()
{
    static CNullInformation nullInformation;
    return nullInformation;
}
