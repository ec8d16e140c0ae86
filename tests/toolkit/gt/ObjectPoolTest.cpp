#include "toolkit/gt/ObjectPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

// Many objects at once, past the first block: every slot is distinct, aligned and writable whole,
// and what is given back is handed out again.
TEST(ObjectPool, HandsOutDistinctAlignedSlotsAndReusesFreedOnes)
{
    constexpr size_t kSize = 88;
    GT::CObjectPool pool(kSize);
    std::vector<void*> slots;
    std::set<uintptr_t> addresses;
    for (int i = 0; i < 3000; ++i)
    {
        void* slot = pool.Allocate(kSize);
        std::memset(slot, i & 0xFF, kSize);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(slot) % alignof(std::max_align_t), 0u);
        EXPECT_TRUE(addresses.insert(reinterpret_cast<uintptr_t>(slot)).second);
        slots.push_back(slot);
    }
    for (int i = 0; i < 3000; ++i)
        EXPECT_EQ(static_cast<unsigned char*>(slots[i])[kSize - 1], static_cast<unsigned char>(i & 0xFF));

    for (void* slot : slots)
        pool.Free(slot, kSize);
    pool.Free(nullptr, kSize);
    for (int i = 0; i < 3000; ++i)
    {
        void* slot = pool.Allocate(kSize);
        if (GT::CObjectPool::kPooled)
        {
            EXPECT_EQ(addresses.count(reinterpret_cast<uintptr_t>(slot)), 1u) << "a freed slot is used again";
        }
        pool.Free(slot, kSize);
    }
}

// A class derived from the pooled one is larger: it goes to the general allocator and back.
TEST(ObjectPool, OtherSizesGoToTheGeneralAllocator)
{
    GT::CObjectPool pool(16);
    void* larger = pool.Allocate(200);
    std::memset(larger, 0x5A, 200);
    pool.Free(larger, 200);
    void* own = pool.Allocate(16);
    pool.Free(own, 16);
}
