#pragma once
// Memory for many objects of one size that come and go together: the objects of a list read from
// a file, ten thousand at a time. A free list hands each one out and takes it back in a few
// instructions, where the general allocator takes several times as long per object. Blocks are
// taken from the system a page group at a time and kept for the objects that come next; they
// are given back when the pool goes. Not for use from more than one thread.
#include <cstddef>
#include <memory>
#include <vector>

namespace GT
{
class CObjectPool
{
public:
    // False under AddressSanitizer: every object then gets memory of its own, so a use after
    // free is still caught.
#if defined(__SANITIZE_ADDRESS__)
    static constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    static constexpr bool kPooled = false;
#else
    static constexpr bool kPooled = true;
#endif
#else
    static constexpr bool kPooled = true;
#endif

    explicit CObjectPool(size_t objectSize);
    CObjectPool(const CObjectPool&) = delete;
    CObjectPool& operator=(const CObjectPool&) = delete;

    // Room for one object of `size` bytes. A size other than the pool's is served by the general
    // allocator, so a class that derives from the pooled one still works. Throws std::bad_alloc.
    void* Allocate(size_t size);
    // Takes back what Allocate gave for the same size.
    void Free(void* memory, size_t size) noexcept;

private:
    struct CSlot
    {
        CSlot* next;
    };
    static constexpr size_t kBlockBytes = 64 * 1024;

    void AddBlock();

    size_t m_slotSize;
    size_t m_objectSize;
    CSlot* m_free = nullptr;
    std::vector<std::unique_ptr<unsigned char[]>> m_blocks;
};
}
