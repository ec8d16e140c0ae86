#pragma once
// A block of bytes shared by the patches read from one file, freed with the last reference. The
// count is not atomic, as a std::shared_ptr's is: patches are made, copied and destroyed on the
// program's one thread, and a file of ten thousand patches takes ten thousand references.
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

class CSharedBytes
{
public:
    CSharedBytes() = default;
    CSharedBytes(const CSharedBytes& other) noexcept : m_block(other.m_block)
    {
        if (m_block)
            ++m_block->references;
    }
    CSharedBytes(CSharedBytes&& other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}
    CSharedBytes& operator=(CSharedBytes other) noexcept
    {
        std::swap(m_block, other.m_block);
        return *this;
    }
    ~CSharedBytes() { Release(); }

    // `size` bytes, not set to anything; empty when there is no memory for them.
    static CSharedBytes Allocate(size_t size)
    {
        CSharedBytes bytes;
        if (size > SIZE_MAX - sizeof(CBlock))
            return bytes;
        void* memory = ::operator new(sizeof(CBlock) + size, std::nothrow);
        if (memory)
            bytes.m_block = new (memory) CBlock{1};
        return bytes;
    }

    explicit operator bool() const { return m_block != nullptr; }
    uint8_t* Data() const { return m_block ? reinterpret_cast<uint8_t*>(m_block + 1) : nullptr; }
    void Reset() { Release(); }

private:
    struct alignas(std::max_align_t) CBlock
    {
        size_t references;
    };

    void Release() noexcept
    {
        if (m_block && --m_block->references == 0)
            ::operator delete(m_block);
        m_block = nullptr;
    }

    CBlock* m_block = nullptr;
};
