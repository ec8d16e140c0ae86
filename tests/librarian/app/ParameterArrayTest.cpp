#include "librarian/app/Data.h"
#include "tests/librarian/app/LibrarianFixtures.h"

#include <gtest/gtest.h>

namespace
{
// A parameter of another kind, which a patch array must not take.
class COtherParameter : public CParameter
{
public:
    std::unique_ptr<CParameter> Clone() const override { return std::make_unique<COtherParameter>(*this); }
    int GetKind() const override { return 7; }
};

std::vector<std::string> Names(const CPatchArray& patches)
{
    std::vector<std::string> names;
    for (size_t i = 0; i < patches.GetSize(); ++i)
        names.push_back(patches.At(i).GetName());
    return names;
}

CPatchArray ThreeNamed()
{
    CPatchArray patches;
    for (const char* name : {"One", "Two", "Three"})
        patches.Add(std::make_unique<CPatch>(MakeLayoutPatch(name)));
    return patches;
}
}

TEST(ParameterArray, ResizeCutsOrAppendsInitializedPatches)
{
    CInitialFileReset reset;
    CPatchArray patches = ThreeNamed();
    patches.Resize(5);
    ASSERT_EQ(patches.GetSize(), 5u);
    EXPECT_EQ(patches.At(2).GetName(), "Three       ");
    EXPECT_EQ(patches.At(3).GetName(), "INIT PATCH  ");
    EXPECT_TRUE(patches.At(4).FitsLayout());

    patches.Resize(1);
    EXPECT_EQ(Names(patches), std::vector<std::string>{"One         "});
    patches.Resize(0);
    EXPECT_TRUE(patches.IsEmpty());
}

TEST(ParameterArray, CopiesAreDeepAndSelfAssignmentKeepsEverything)
{
    CPatchArray source = ThreeNamed();
    CPatchArray copy(source);
    CPatchArray assigned;
    assigned.Add(std::make_unique<CPatch>(MakeLayoutPatch("Old")));
    assigned = source;
    EXPECT_TRUE(SamePatches(copy, source));
    EXPECT_TRUE(SamePatches(assigned, source));

    copy.At(0).SetName("Changed");
    assigned.At(1).GetParts()[CPatch::kTone][3][0] = 0x7F;
    EXPECT_EQ(source.At(0).GetName(), "One         ");
    EXPECT_EQ(source.At(1).GetParts()[CPatch::kTone][3][0], 0);

    CPatchArray& alias = source;
    source = alias;
    EXPECT_EQ(Names(source), Names(ThreeNamed()));
}

TEST(ParameterArray, HoldsOnlyItsElementClassAndKeepsIndicesInRange)
{
    CPatchArray patches = ThreeNamed();
    EXPECT_FALSE(patches.Add(std::make_unique<COtherParameter>()));
    EXPECT_FALSE(patches.Add(nullptr));
    EXPECT_EQ(patches.GetSize(), 3u);

    EXPECT_TRUE(patches.InsertAt(1, std::make_unique<CPatch>(MakeLayoutPatch("In"))));
    EXPECT_TRUE(patches.InsertAt(99, std::make_unique<CPatch>(MakeLayoutPatch("End"))));
    patches.RemoveAt(99);
    EXPECT_EQ(patches.Detach(99), nullptr);
    std::unique_ptr<CParameter> taken = patches.Detach(0);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(static_cast<CPatch&>(*taken).GetName(), "One         ");
    patches.RemoveAt(1);
    EXPECT_EQ(Names(patches), (std::vector<std::string>{"In          ", "Three       ", "End         "}));

    std::unique_ptr<CParameter> created = patches.CreateElement();
    EXPECT_EQ(created->GetKind(), CPatch::kKind);
    EXPECT_TRUE(created->GetParts().empty());
}
