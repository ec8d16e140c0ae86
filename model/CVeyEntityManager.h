#pragma once
// Entities of the instrument (waves, effect types, user patches) are named two ways: by the
// editor's entity id (three key fields and a running number) and by the MIDI program id used on
// the wire (bank select MSB, bank select LSB, program). The entity manager keeps banks of
// entities, converts between the two identities, walks the entities a pattern matches and fills
// banks through inserters. The banks themselves are the application's.
#include "toolkit/gt/Nullable.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>

// Root of the objects that entity banks store and exchange.
class IObject
{
public:
    virtual ~IObject() = default;
};

// A container that can be emptied, shrunk to fit and appended to.
class IPushBackable
{
public:
    virtual ~IPushBackable() = default;
    virtual void Clear() = 0;
    virtual void Compact() = 0;
    virtual void PushBack(const IObject& object) = 0;
};

class CVeyProgramId : public IObject
{
public:
    CVeyProgramId() = default;
    CVeyProgramId(int32_t bankSelectMsb, int32_t bankSelectLsb, int32_t program)
        : m_bankSelectMsb(bankSelectMsb), m_bankSelectLsb(bankSelectLsb), m_program(program)
    {
    }

    int32_t GetBankSelectMsb() const { return m_bankSelectMsb; }
    int32_t GetBankSelectLsb() const { return m_bankSelectLsb; }
    int32_t GetProgram() const { return m_program; }

    // The default id: every field -1.
    bool IsInvalid() const;
    // Every field 0 or more: the condition for any conversion.
    bool HasNoNegativeField() const;

    bool operator==(const CVeyProgramId& other) const;
    bool operator!=(const CVeyProgramId& other) const { return !(*this == other); }

private:
    int32_t m_bankSelectMsb = -1;
    int32_t m_bankSelectLsb = -1;
    int32_t m_program = -1;
};

class CVeyEntityId;

class CVeyEntityManager
{
public:
    class IInformation : public IObject, public GT::INullable
    {
    public:
        virtual void SetName(const std::string& name) = 0;
        virtual void SetCategory(int category) = 0;
        virtual const std::string& GetName() const = 0;
        virtual int GetCategory() const = 0;
    };

    class IMapper : public IPushBackable
    {
    public:
        virtual void SetCount(int count) = 0;
        virtual int GetCount() const = 0;
    };

    class IInformationMapper : public IMapper
    {
    public:
        // Pushed by an inserter that knows the index the information belongs to; a plain
        // IInformation pushed back is appended instead.
        class CPair : public IObject
        {
        public:
            CPair(int index, const IInformation& information) : m_index(index), m_information(information) {}
            int GetIndex() const { return m_index; }
            const IInformation& GetInformation() const { return m_information; }

        private:
            int m_index;
            const IInformation& m_information;
        };

        virtual int GetInformationCount() const = 0;
        virtual IInformation& GetInformation(int index) = 0;
    };

    class IEntityIdMapper : public IMapper
    {
    public:
        virtual CVeyEntityId GetBaseEntityId() const = 0;
        virtual int IndexOf(const CVeyEntityId& id) const = 0;
        virtual CVeyEntityId GetEntityId(int index) const = 0;
        virtual bool Matches(const CVeyEntityId& pattern) const = 0;
    };

    class IProgramIdMapper : public IMapper
    {
    public:
        virtual int IndexOf(const CVeyProgramId& id) const = 0;
        virtual CVeyProgramId GetProgramId(int index) const = 0;
        virtual bool Contains(const CVeyProgramId& id) const = 0;
    };

    class IBank
    {
    public:
        virtual ~IBank() = default;
        virtual IEntityIdMapper& GetEntityIdMapper() = 0;
        virtual IProgramIdMapper& GetProgramIdMapper() = 0;
        virtual IInformationMapper& GetInformationMapper() = 0;
        virtual void SetCount(int count) = 0;
        virtual int GetCount() const = 0;
        virtual int GetInformationCount() const = 0;
        virtual CVeyEntityId GetBaseEntityId() const = 0;
        virtual CVeyEntityId GetEntityId(int index) const = 0;
        virtual CVeyProgramId GetProgramId(int index) const = 0;
        virtual IInformation& GetInformation(int index) = 0;
        virtual int IndexOfProgramId(const CVeyProgramId& id) const = 0;
        virtual int IndexOfEntityId(const CVeyEntityId& id) const = 0;
        virtual bool ContainsProgramId(const CVeyProgramId& id) const = 0;
        virtual bool Matches(const CVeyEntityId& pattern) const = 0;
    };

    class CEntityIdMapper;
    class CSequentialProgramIdMapper;

    class IInserter : public GT::INullable
    {
    public:
        virtual bool IsFull() const = 0;
        // Each returns true when the bank took the information.
        virtual bool InsertByProgramId(const CVeyProgramId& id, const IInformation& information) = 0;
        virtual bool InsertByEntityId(const CVeyEntityId& id, const IInformation& information) = 0;
        virtual bool Append(const IInformation& information) = 0;
    };

    class CInserter;

    CVeyEntityManager();
    ~CVeyEntityManager();
    CVeyEntityManager(const CVeyEntityManager&) = delete;
    CVeyEntityManager& operator=(const CVeyEntityManager&) = delete;

    // Takes the bank. A bank whose base id another bank already has is deleted and false returned.
    bool AddBank(std::unique_ptr<IBank> bank);
    // Deletes the bank that holds the id; false when there is none.
    bool RemoveBank(const CVeyEntityId& id);
    void Clear();
    size_t GetBankCount() const { return m_banks.size(); }

    // The first bank in base-id order that accepts the id (wildcards allowed), or null.
    IBank* FindBank(const CVeyEntityId& id) const;
    // The first bank in base-id order that contains the program id, or null.
    IBank* FindBank(const CVeyProgramId& id) const;

    CVeyProgramId ToProgramId(const CVeyEntityId& id) const;
    CVeyEntityId ToEntityId(const CVeyProgramId& id) const;
    int GetEntityCount(const CVeyEntityId& id) const;

    // An inserter over the bank that accepts the id, else over the bank whose base id it is, else
    // a null inserter that takes nothing. `clearBank` empties the bank's three mappers first.
    std::unique_ptr<IInserter> CreateInserter(const CVeyEntityId& id, bool clearBank = false);
    // An iterating id over the entities the key matches; use a number of -2 to walk every entity
    // of the key's banks.
    std::unique_ptr<CVeyEntityId> CreateEntityId(const CVeyEntityId& key) const;

    // The information answered where there is none: empty name, category 0, ignores writes.
    static IInformation& GetNullInformation();

private:
    friend class CVeyEntityId;

    struct CBankLess
    {
        bool operator()(const std::unique_ptr<IBank>& a, const std::unique_ptr<IBank>& b) const;
    };
    using CBankSet = std::set<std::unique_ptr<IBank>, CBankLess>;

    CBankSet::const_iterator FindAcceptingBank(const CVeyEntityId& id) const;
    CBankSet::const_iterator FindBankForChange(const CVeyEntityId& id) const;

    CBankSet m_banks;
    // Bumped whenever the bank set changes, so that iterating ids can tell they went stale.
    uint64_t m_generation = 0;
};

class CVeyEntityId : public IObject
{
public:
    static constexpr int32_t kInvalid = -1;
    // In a pattern, a field holding this matches any value.
    static constexpr int32_t kWildcard = -2;

    CVeyEntityId() = default;
    CVeyEntityId(int32_t key1, int32_t key2, int32_t key3, int32_t number)
        : m_key1(key1), m_key2(key2), m_key3(key3), m_number(number)
    {
    }

    int32_t GetKey1() const { return m_key1; }
    int32_t GetKey2() const { return m_key2; }
    int32_t GetKey3() const { return m_key3; }
    int32_t GetNumber() const { return m_number; }

    // The default id: every field -1.
    bool IsInvalid() const;
    // Every field 0 or more: the condition for any conversion.
    bool HasNoNegativeField() const;

    // Field by field, compared as signed numbers; the iteration state takes no part.
    bool operator<(const CVeyEntityId& other) const;
    bool operator==(const CVeyEntityId& other) const;
    bool operator!=(const CVeyEntityId& other) const { return !(*this == other); }

    // Iterating ids (CVeyEntityManager::CreateEntityId) walk the entities their key matches. On
    // a plain id, or once the walk has ended, Exists is false, GetMappedKey gives the invalid id
    // and GetInformation the null information. A walk also ends when its manager's bank set
    // changes, so an iterating id never reaches a deleted bank.
    bool Exists() const;
    bool MoveNext();
    CVeyEntityId GetMappedKey() const;
    CVeyEntityManager::IInformation& GetInformation() const;

private:
    friend class CVeyEntityManager;

    bool IsCurrent() const;

    int32_t m_key1 = kInvalid;
    int32_t m_key2 = kInvalid;
    int32_t m_key3 = kInvalid;
    int32_t m_number = kInvalid;

    const CVeyEntityManager* m_manager = nullptr;
    uint64_t m_generation = 0;
    CVeyEntityManager::CBankSet::const_iterator m_bank{};
    int m_index = 0;
};

// A contiguous run of entity ids: index i is the base id with number base number + i.
class CVeyEntityManager::CEntityIdMapper : public CVeyEntityManager::IEntityIdMapper
{
public:
    CEntityIdMapper(const CVeyEntityId& base, int count);

    void Clear() override {}
    void Compact() override {}
    void PushBack(const IObject&) override {}
    void SetCount(int count) override;
    int GetCount() const override { return m_count; }

    CVeyEntityId GetBaseEntityId() const override { return m_base; }
    int IndexOf(const CVeyEntityId& id) const override;
    CVeyEntityId GetEntityId(int index) const override;
    bool Matches(const CVeyEntityId& pattern) const override;

private:
    CVeyEntityId m_base;
    int m_count = 0;
};

// Program ids in order from a base: index i is n = base program + i, MSB = base MSB,
// LSB = base LSB + n / programs per bank, program = n mod programs per bank.
class CVeyEntityManager::CSequentialProgramIdMapper : public CVeyEntityManager::IProgramIdMapper
{
public:
    CSequentialProgramIdMapper(const CVeyProgramId& base, int programsPerBank, int count);

    void Clear() override {}
    void Compact() override {}
    void PushBack(const IObject&) override {}
    void SetCount(int count) override;
    int GetCount() const override { return m_count; }

    int IndexOf(const CVeyProgramId& id) const override;
    CVeyProgramId GetProgramId(int index) const override;
    bool Contains(const CVeyProgramId& id) const override { return IndexOf(id) != -1; }

    const CVeyProgramId& GetBaseProgramId() const { return m_base; }
    int GetProgramsPerBank() const { return m_programsPerBank; }

private:
    CVeyProgramId m_base;
    int m_programsPerBank = 0;
    int m_count = 0;
};

// Fills one bank; compacts the bank's three mappers when it is destroyed.
class CVeyEntityManager::CInserter : public CVeyEntityManager::IInserter
{
public:
    CInserter(IBank& bank, bool clearBank);
    ~CInserter() override;
    CInserter(const CInserter&) = delete;
    CInserter& operator=(const CInserter&) = delete;

    bool IsNull() const override { return false; }
    bool IsFull() const override;
    bool InsertByProgramId(const CVeyProgramId& id, const IInformation& information) override;
    bool InsertByEntityId(const CVeyEntityId& id, const IInformation& information) override;
    bool Append(const IInformation& information) override;

private:
    IBank& m_bank;
};
