// The list operations on a selection and the one level of undo of a document.
#include "librarian/app/ImageDocument.h"
#include "librarian/app/PatchListOperations.h"
#include "tests/librarian/app/LibrarianFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Patches named "P0".."Pn-1".
CPatchArray Named(size_t count, const std::string& prefix = "P")
{
    CPatchArray patches;
    for (size_t i = 0; i < count; ++i)
        patches.Add(std::make_unique<CPatch>(MakeLayoutPatch(prefix + std::to_string(i))));
    return patches;
}

// The names, trailing blanks cut, joined by blanks.
std::string Names(const CPatchArray& patches)
{
    std::string names;
    for (size_t i = 0; i < patches.GetSize(); ++i)
    {
        std::string name = patches.At(i).GetName();
        name.erase(name.find_last_not_of(' ') + 1);
        names += (i ? " " : "") + name;
    }
    return names;
}

class PatchListOperationsTest : public ::testing::Test
{
protected:
    CInitialFileReset m_reset;
};

TEST_F(PatchListOperationsTest, CopyDeleteAndInsertFollowTheSelectionOrder)
{
    CPatchArray patches = Named(5);
    CPatchArray clipboard = Named(1, "old");
    // A sorted list hands its selection over in display order.
    PatchList::Copy(patches, {3, 1}, clipboard);
    EXPECT_EQ("P3 P1", Names(clipboard));
    PatchList::Delete(patches, {3, 1, 3, 99});
    EXPECT_EQ("P0 P2 P4", Names(patches));
    EXPECT_EQ(2u, PatchList::Insert(patches, 1, clipboard));
    EXPECT_EQ("P0 P3 P1 P2 P4", Names(patches));
    // The place after the last patch appends.
    PatchList::Insert(patches, 99, clipboard);
    EXPECT_EQ("P0 P3 P1 P2 P4 P3 P1", Names(patches));
    // The clipboard holds copies, not the list's patches.
    patches.At(1).SetName("changed");
    EXPECT_EQ("P3 P1", Names(clipboard));
}

TEST_F(PatchListOperationsTest, ReplaceTakesTheClipboardCyclicallyAndInitializeResets)
{
    const struct
    {
        size_t clipboard;
        std::vector<int> selection;
        const char* expected;
    } cases[] = {
        {2, {0, 1, 2, 3, 4}, "C0 C1 C0 C1 C0"},
        {3, {1, 2}, "P0 C0 C1 P3 P4"},
        {0, {0, 1}, "P0 P1 P2 P3 P4"},
        {1, {4, 0}, "C0 P1 P2 P3 C0"},
    };
    for (const auto& c : cases)
    {
        CPatchArray patches = Named(5);
        PatchList::Replace(patches, c.selection, Named(c.clipboard, "C"));
        EXPECT_EQ(c.expected, Names(patches)) << c.clipboard << " clipboard patches";
    }
    CPatchArray patches = Named(3);
    patches.At(1).SetText(0, "memo");
    PatchList::Initialize(patches, {1});
    EXPECT_EQ("P0 INIT PATCH P2", Names(patches));
    EXPECT_EQ("", patches.At(1).GetText(0));
}

TEST_F(PatchListOperationsTest, ImageKeepsItsSizeAfterDeleteAndInsert)
{
    CPatchArray image = Named(PatchList::kImageSize);
    PatchList::Delete(image, {2, 3, 4});
    image.Resize(PatchList::kImageSize);
    ASSERT_EQ(PatchList::kImageSize, image.GetSize());
    EXPECT_EQ("P5", image.At(2).GetName().substr(0, 2));
    for (size_t i = 253; i < 256; ++i)
        EXPECT_EQ("INIT PATCH  ", image.At(i).GetName());

    CPatchArray full = Named(PatchList::kImageSize);
    PatchList::Insert(full, 254, Named(2, "C"));
    full.Resize(PatchList::kImageSize);
    EXPECT_EQ("C0", full.At(254).GetName().substr(0, 2));
    EXPECT_EQ("C1", full.At(255).GetName().substr(0, 2));
}

TEST_F(PatchListOperationsTest, UndoSwapsAndASecondUndoRedoes)
{
    CImageDocument document;
    document.GetCurrent().GetPatches() = Named(4);
    EXPECT_FALSE(document.CanUndo(1));
    document.RememberUndo(1);
    PatchList::Delete(document.GetCurrent().GetPatches(), {1});
    ASSERT_TRUE(document.CanUndo(1));
    EXPECT_FALSE(document.CanUndo(0));
    document.Undo();
    EXPECT_EQ("P0 P1 P2 P3", Names(document.GetCurrent().GetPatches()));
    document.Undo();
    EXPECT_EQ("P0 P2 P3", Names(document.GetCurrent().GetPatches()));
    // Only the last step is kept; other modes forget it.
    document.RememberUndo(2);
    EXPECT_FALSE(document.CanUndo(1));
    document.Undo();
    EXPECT_EQ("P0 P2 P3", Names(document.GetCurrent().GetPatches()));
}

TEST_F(PatchListOperationsTest, RestoringAfterAFailedTransferLeavesNoUndoOfTheBrokenState)
{
    CImageDocument document;
    document.GetCurrent().GetPatches() = Named(3);
    document.RememberUndo(1);
    document.GetCurrent().GetPatches().At(1).SetName("half read");
    document.RestoreRemembered();
    EXPECT_EQ("P0 P1 P2", Names(document.GetCurrent().GetPatches()));
    EXPECT_FALSE(document.CanUndo(1));
    document.Undo();
    EXPECT_EQ("P0 P1 P2", Names(document.GetCurrent().GetPatches()));
}
}
