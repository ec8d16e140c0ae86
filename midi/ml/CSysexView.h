#pragma once
// A system-exclusive message seen where it lies, without a copy: F0, then the bytes after it.
// Those need not follow an F0 in memory (a file keeps the length in between), so the F0 is
// implied. The view owns nothing: it is valid only as long as the bytes it looks at, and a
// caller that keeps the message copies it.
#include "midi/ml/CMessage.h"

#include <cstddef>
#include <cstdint>

namespace ML
{
class CSysexView
{
public:
    // `tail` holds the `tailSize` bytes after the F0.
    constexpr CSysexView(const uint8_t* tail, size_t tailSize) : m_tail(tail), m_tailSize(tailSize) {}

    size_t size() const { return 1 + m_tailSize; }
    // Byte `index` of the whole message, F0 first; `index` must be below size().
    uint8_t operator[](size_t index) const { return index == 0 ? kStart : m_tail[index - 1]; }

    const uint8_t* Tail() const { return m_tail; }
    size_t TailSize() const { return m_tailSize; }

    // The whole message, F0 first, replaces the contents of `out`; its storage is reused.
    void CopyTo(Bytes& out) const
    {
        out.clear();
        out.reserve(size());
        out.push_back(kStart);
        out.insert(out.end(), m_tail, m_tail + m_tailSize);
    }
    Bytes ToBytes() const
    {
        Bytes bytes;
        CopyTo(bytes);
        return bytes;
    }

private:
    static constexpr uint8_t kStart = 0xF0;

    const uint8_t* m_tail;
    size_t m_tailSize;
};
}
