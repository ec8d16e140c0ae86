#include "model/CVeyEntityManager.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Manager = CVeyEntityManager;

class CTestInformation : public Manager::IInformation
{
public:
    CTestInformation(std::string name = {}, int category = 0) : m_name(std::move(name)), m_category(category) {}
    bool IsNull() const override { return false; }
    void SetName(const std::string& name) override { m_name = name; }
    void SetCategory(int category) override { m_category = category; }
    const std::string& GetName() const override { return m_name; }
    int GetCategory() const override { return m_category; }

private:
    std::string m_name;
    int m_category;
};

// Stores informations by index; counts the compactions so tests see the inserter's clean-up.
class CTestInformationMapper : public Manager::IInformationMapper
{
public:
    explicit CTestInformationMapper(int count) : m_count(count) {}
    void Clear() override { m_informations.clear(); }
    void Compact() override { ++m_compactions; }
    void PushBack(const IObject& object) override
    {
        if (const auto* pair = dynamic_cast<const CPair*>(&object))
        {
            const auto& information = pair->GetInformation();
            if (size_t(pair->GetIndex()) >= m_informations.size())
                m_informations.resize(pair->GetIndex() + 1);
            m_informations[pair->GetIndex()] = CTestInformation(information.GetName(), information.GetCategory());
        }
        else if (const auto* information = dynamic_cast<const Manager::IInformation*>(&object))
        {
            m_informations.emplace_back(information->GetName(), information->GetCategory());
        }
    }
    void SetCount(int count) override { m_count = count; }
    int GetCount() const override { return m_count; }
    int GetInformationCount() const override { return int(m_informations.size()); }
    Manager::IInformation& GetInformation(int index) override
    {
        if (index < 0 || index >= m_count || size_t(index) >= m_informations.size())
            return Manager::GetNullInformation();
        return m_informations[index];
    }

    int m_compactions = 0;

private:
    int m_count;
    std::vector<CTestInformation> m_informations;
};

class CTestBank : public Manager::IBank
{
public:
    CTestBank(const CVeyEntityId& base, const CVeyProgramId& baseProgram, int programsPerBank, int count)
        : m_entityIds(base, count), m_programIds(baseProgram, programsPerBank, count), m_informations(count)
    {
    }
    Manager::IEntityIdMapper& GetEntityIdMapper() override { return m_entityIds; }
    Manager::IProgramIdMapper& GetProgramIdMapper() override { return m_programIds; }
    Manager::IInformationMapper& GetInformationMapper() override { return m_informations; }
    void SetCount(int count) override
    {
        m_entityIds.SetCount(count);
        m_programIds.SetCount(count);
        m_informations.SetCount(count);
    }
    int GetCount() const override { return m_entityIds.GetCount(); }
    int GetInformationCount() const override { return m_informations.GetInformationCount(); }
    CVeyEntityId GetBaseEntityId() const override { return m_entityIds.GetBaseEntityId(); }
    CVeyEntityId GetEntityId(int index) const override { return m_entityIds.GetEntityId(index); }
    CVeyProgramId GetProgramId(int index) const override { return m_programIds.GetProgramId(index); }
    Manager::IInformation& GetInformation(int index) override { return m_informations.GetInformation(index); }
    int IndexOfProgramId(const CVeyProgramId& id) const override { return m_programIds.IndexOf(id); }
    int IndexOfEntityId(const CVeyEntityId& id) const override { return m_entityIds.IndexOf(id); }
    bool ContainsProgramId(const CVeyProgramId& id) const override { return m_programIds.Contains(id); }
    bool Matches(const CVeyEntityId& pattern) const override { return m_entityIds.Matches(pattern); }

    Manager::CEntityIdMapper m_entityIds;
    Manager::CSequentialProgramIdMapper m_programIds;
    CTestInformationMapper m_informations;
};

std::unique_ptr<CTestBank> MakeBank(CVeyEntityId base, CVeyProgramId baseProgram, int perBank, int count)
{
    return std::make_unique<CTestBank>(base, baseProgram, perBank, count);
}

// The editor's patch bank k: 32 patches from program (87, k / 4, (k mod 4) * 32).
std::unique_ptr<CTestBank> MakePatchBank(int k)
{
    return MakeBank(CVeyEntityId(0, 0, k, 0), CVeyProgramId(87, k / 4, (k % 4) * 32), 128, 32);
}

void ExpectProgramId(const CVeyProgramId& actual, int msb, int lsb, int program)
{
    EXPECT_EQ(msb, actual.GetBankSelectMsb());
    EXPECT_EQ(lsb, actual.GetBankSelectLsb());
    EXPECT_EQ(program, actual.GetProgram());
}
}

TEST(CVeyEntityManagerTest, SequentialProgramIdMapperMapsBothWays)
{
    struct Case
    {
        const char* name;
        CVeyProgramId base;
        int perBank;
        int count;
        int index;
        CVeyProgramId expected;
    };
    const Case cases[] = {
        {"LSB advances every 128 programs", {9, 0, 0}, 128, 256, 130, {9, 1, 2}},
        {"base program offsets the run", {87, 0, 96}, 128, 32, 31, {87, 0, 127}},
        {"second half of the patches", {87, 1, 0}, 128, 32, 0, {87, 1, 0}},
        {"name bank LSB never advances", {81, 64, 0}, 65536, 300, 200, {81, 64, 200}},
        {"index at the count is out of range", {9, 0, 0}, 128, 10, 10, {}},
        {"negative index", {9, 0, 0}, 128, 10, -1, {}},
        {"zero programs per bank maps nothing", {9, 0, 0}, 0, 10, 3, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Manager::CSequentialProgramIdMapper mapper(c.base, c.perBank, c.count);
        const CVeyProgramId id = mapper.GetProgramId(c.index);
        EXPECT_EQ(c.expected, id);
        if (!c.expected.IsInvalid())
        {
            EXPECT_EQ(c.index, mapper.IndexOf(id));
        }
    }
}

TEST(CVeyEntityManagerTest, SequentialProgramIdMapperRejectsForeignIds)
{
    const Manager::CSequentialProgramIdMapper mapper({87, 0, 0}, 128, 256);
    struct Case
    {
        const char* name;
        CVeyProgramId id;
    };
    const Case cases[] = {
        {"other MSB", {86, 0, 5}},
        {"program not below programs per bank", {87, 0, 128}},
        {"negative LSB", {87, -1, 5}},
        {"beyond the count", {87, 2, 0}},
        {"invalid id", {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(-1, mapper.IndexOf(c.id));
        EXPECT_FALSE(mapper.Contains(c.id));
    }
    EXPECT_EQ(255, mapper.IndexOf({87, 1, 127}));
}

TEST(CVeyEntityManagerTest, EntityIdMapperIndexesAndMatchesPatterns)
{
    const Manager::CEntityIdMapper mapper(CVeyEntityId(2, 1, 0, 10), 5);
    struct Case
    {
        const char* name;
        CVeyEntityId id;
        int index;
        bool matches;
    };
    const int W = CVeyEntityId::kWildcard;
    const Case cases[] = {
        {"first of the run", {2, 1, 0, 10}, 0, true},
        {"last of the run", {2, 1, 0, 14}, 4, true},
        {"past the run", {2, 1, 0, 15}, -1, false},
        {"before the run", {2, 1, 0, 9}, -1, false},
        {"other key", {2, 2, 0, 11}, -1, false},
        {"wildcard number", {2, 1, 0, W}, -1, true},
        {"wildcard keys", {W, W, W, 12}, -1, true},
        {"wildcard keys, number outside", {W, W, W, 20}, -1, false},
        {"invalid id", {}, -1, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.index, mapper.IndexOf(c.id));
        EXPECT_EQ(c.matches, mapper.Matches(c.id));
    }
    EXPECT_EQ(CVeyEntityId(2, 1, 0, 13), mapper.GetEntityId(3));
    EXPECT_TRUE(mapper.GetEntityId(5).IsInvalid());
    EXPECT_FALSE(Manager::CEntityIdMapper(CVeyEntityId(2, 1, 0, 0), 0).Matches({W, W, W, W}));
}

TEST(CVeyEntityManagerTest, ConvertsBetweenEntityAndProgramIds)
{
    Manager manager;
    for (int k = 0; k < 8; ++k)
        ASSERT_TRUE(manager.AddBank(MakePatchBank(k)));
    ASSERT_TRUE(manager.AddBank(MakeBank({2, 1, 0, 0}, {0, 0, 0}, 128, 79)));

    // User patch n is entity (0, 0, n / 32, n mod 32) and program (87, n / 128, n mod 128).
    for (int n : {0, 31, 32, 127, 128, 200, 255})
    {
        SCOPED_TRACE(n);
        const CVeyEntityId entity(0, 0, n / 32, n % 32);
        ExpectProgramId(manager.ToProgramId(entity), 87, n / 128, n % 128);
        EXPECT_EQ(entity, manager.ToEntityId(CVeyProgramId(87, n / 128, n % 128)));
    }
    ExpectProgramId(manager.ToProgramId({2, 1, 0, 78}), 0, 0, 78);

    const int W = CVeyEntityId::kWildcard;
    EXPECT_TRUE(manager.ToProgramId({0, 0, 1, -1}).IsInvalid());
    EXPECT_TRUE(manager.ToProgramId({0, 0, W, 3}).IsInvalid());
    EXPECT_TRUE(manager.ToProgramId({0, 0, 8, 0}).IsInvalid());
    EXPECT_TRUE(manager.ToEntityId({87, -1, 0}).IsInvalid());
    EXPECT_TRUE(manager.ToEntityId({87, 0, 128}).IsInvalid());
    EXPECT_TRUE(manager.ToEntityId({87, 2, 0}).IsInvalid());

    EXPECT_EQ(79, manager.GetEntityCount({2, 1, 0, W}));
    EXPECT_EQ(32, manager.GetEntityCount({0, 0, 3, 5}));
    EXPECT_EQ(0, manager.GetEntityCount({5, 0, 0, W}));
}

TEST(CVeyEntityManagerTest, DuplicateBaseIdLeavesTheFirstBank)
{
    Manager manager;
    auto first = MakeBank({1, 1, 0, 0}, {81, 64, 0}, 65536, 3);
    CTestBank* kept = first.get();
    ASSERT_TRUE(manager.AddBank(std::move(first)));
    // The refused bank is deleted by the manager (the sanitizer build catches a leak).
    EXPECT_FALSE(manager.AddBank(MakeBank({1, 1, 0, 0}, {81, 65, 0}, 65536, 9)));
    EXPECT_EQ(1u, manager.GetBankCount());
    EXPECT_EQ(kept, manager.FindBank(CVeyEntityId(1, 1, 0, 2)));
    EXPECT_EQ(3, manager.GetEntityCount({1, 1, 0, 0}));
    EXPECT_FALSE(manager.AddBank(nullptr));
}

TEST(CVeyEntityManagerTest, WildcardWalkVisitsEveryBankThatMatches)
{
    Manager manager;
    manager.AddBank(MakePatchBank(1));
    manager.AddBank(MakePatchBank(0));
    manager.AddBank(MakeBank({2, 1, 0, 0}, {0, 0, 0}, 128, 4));
    {
        auto inserter = manager.CreateInserter({0, 0, 1, 0});
        inserter->InsertByEntityId({0, 0, 1, 2}, CTestInformation("Two", 7));
    }

    const int W = CVeyEntityId::kWildcard;
    auto walk = manager.CreateEntityId({0, 0, W, W});
    std::vector<CVeyEntityId> visited;
    for (; walk->Exists(); walk->MoveNext())
        visited.push_back(walk->GetMappedKey());
    ASSERT_EQ(64u, visited.size());
    EXPECT_EQ(CVeyEntityId(0, 0, 0, 0), visited.front());
    EXPECT_EQ(CVeyEntityId(0, 0, 0, 31), visited[31]);
    EXPECT_EQ(CVeyEntityId(0, 0, 1, 0), visited[32]);
    EXPECT_EQ(CVeyEntityId(0, 0, 1, 31), visited.back());
    EXPECT_FALSE(walk->MoveNext());
    EXPECT_TRUE(walk->GetMappedKey().IsInvalid());
    EXPECT_TRUE(walk->GetInformation().IsNull());

    // A concrete number stands on that one entity, then ends.
    auto single = manager.CreateEntityId({0, 0, 1, 2});
    ASSERT_TRUE(single->Exists());
    EXPECT_EQ("Two", single->GetInformation().GetName());
    EXPECT_EQ(7, single->GetInformation().GetCategory());
    EXPECT_FALSE(single->MoveNext());

    EXPECT_FALSE(manager.CreateEntityId({3, W, W, W})->Exists());
    EXPECT_FALSE(CVeyEntityId(0, 0, 0, 0).Exists());
}

TEST(CVeyEntityManagerTest, WalkEndsWhenTheBankSetChanges)
{
    Manager manager;
    manager.AddBank(MakePatchBank(0));
    manager.AddBank(MakePatchBank(1));
    const int W = CVeyEntityId::kWildcard;
    auto walk = manager.CreateEntityId({0, 0, W, W});
    ASSERT_TRUE(walk->Exists());

    EXPECT_TRUE(manager.RemoveBank({0, 0, 0, 5}));
    EXPECT_FALSE(walk->Exists());
    EXPECT_FALSE(walk->MoveNext());
    EXPECT_TRUE(walk->GetInformation().IsNull());

    auto again = manager.CreateEntityId({0, 0, W, W});
    EXPECT_EQ(CVeyEntityId(0, 0, 1, 0), again->GetMappedKey());
    manager.Clear();
    EXPECT_FALSE(again->Exists());
    EXPECT_FALSE(manager.RemoveBank({0, 0, 1, 0}));
}

TEST(CVeyEntityManagerTest, InserterFillsTheBankAndCompactsIt)
{
    Manager manager;
    auto owned = MakeBank({2, 1, 0, 0}, {0, 0, 0}, 128, 3);
    CTestBank* bank = owned.get();
    manager.AddBank(std::move(owned));
    {
        auto inserter = manager.CreateInserter({2, 1, 0, 0});
        ASSERT_FALSE(inserter->IsNull());
        const char* names[] = {"Thru", "EQ", "Comp", "Spare"};
        int appended = 0;
        for (const char* name : names)
        {
            if (inserter->IsFull())
                break;
            inserter->Append(CTestInformation(name, 1));
            ++appended;
        }
        EXPECT_EQ(3, appended);
        EXPECT_TRUE(inserter->IsFull());
        EXPECT_EQ(0, bank->m_informations.m_compactions);
    }
    EXPECT_EQ(1, bank->m_informations.m_compactions);
    EXPECT_EQ("Comp", bank->GetInformation(2).GetName());
    EXPECT_TRUE(bank->GetInformation(3).IsNull());

    {
        auto inserter = manager.CreateInserter({2, 1, 0, 0}, true);
        EXPECT_EQ(0, bank->GetInformationCount());
        EXPECT_TRUE(inserter->InsertByProgramId({0, 0, 1}, CTestInformation("Delay", 4)));
        EXPECT_FALSE(inserter->InsertByProgramId({0, 0, 3}, CTestInformation("Past", 4)));
        EXPECT_FALSE(inserter->InsertByEntityId({2, 1, 0, 9}, CTestInformation("Past", 4)));
        EXPECT_FALSE(inserter->IsFull());
    }
    EXPECT_EQ("Delay", bank->GetInformation(1).GetName());

    auto none = manager.CreateInserter({7, 7, 7, 7});
    EXPECT_TRUE(none->IsNull());
    EXPECT_FALSE(none->Append(CTestInformation("x")));
    EXPECT_FALSE(none->InsertByEntityId({7, 7, 7, 7}, CTestInformation("x")));
}

TEST(CVeyEntityManagerTest, EmptyBankIsReachedByItsBaseId)
{
    Manager manager;
    auto owned = MakeBank({1, 1, 0, 0}, {81, 64, 0}, 65536, 0);
    CTestBank* bank = owned.get();
    manager.AddBank(std::move(owned));
    EXPECT_EQ(nullptr, manager.FindBank(CVeyEntityId(1, 1, 0, 0)));
    {
        auto inserter = manager.CreateInserter({1, 1, 0, 0});
        EXPECT_FALSE(inserter->IsNull());
        EXPECT_TRUE(inserter->IsFull());
    }
    bank->SetCount(2);
    EXPECT_EQ(2, manager.GetEntityCount({1, 1, 0, CVeyEntityId::kWildcard}));
    EXPECT_TRUE(manager.RemoveBank({1, 1, 0, 1}));
}
