#include "toolkit/gt/ObjectPool.h"

#include <algorithm>
#include <new>

namespace GT
{
CObjectPool::CObjectPool(size_t objectSize)
    : m_slotSize((std::max(objectSize, sizeof(CSlot)) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                 alignof(std::max_align_t)),
      m_objectSize(objectSize)
{
}

void* CObjectPool::Allocate(size_t size)
{
    if (size != m_objectSize || !kPooled)
        return ::operator new(size);
    if (!m_free)
        AddBlock();
    CSlot* slot = m_free;
    m_free = slot->next;
    return slot;
}

void CObjectPool::Free(void* memory, size_t size) noexcept
{
    if (!memory)
        return;
    if (size != m_objectSize || !kPooled)
    {
        ::operator delete(memory);
        return;
    }
    CSlot* slot = static_cast<CSlot*>(memory);
    slot->next = m_free;
    m_free = slot;
}

void CObjectPool::AddBlock()
{
    const size_t slots = std::max<size_t>(1, kBlockBytes / m_slotSize);
    // operator new[] of unsigned char is aligned for any object of fundamental alignment.
    m_blocks.emplace_back(new unsigned char[slots * m_slotSize]);
    unsigned char* block = m_blocks.back().get();
    // Threaded back to front, so the first slots are handed out first.
    for (size_t i = slots; i-- > 0;)
    {
        CSlot* slot = reinterpret_cast<CSlot*>(block + i * m_slotSize);
        slot->next = m_free;
        m_free = slot;
    }
}
}
