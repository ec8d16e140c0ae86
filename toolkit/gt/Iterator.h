#pragma once
// A forward-only sequence of values, as the menu builders consume them.
#include <cstdint>

namespace GT
{
template <class T>
class IIterator
{
public:
    virtual ~IIterator() = default;
    virtual bool HasNext() const = 0;
    virtual T Next() = 0;
};

// Counts from `first` up to, not including, `end`.
template <class T>
class CCountingIterator : public IIterator<T>
{
public:
    CCountingIterator(T first, T end) : m_next(first), m_end(end) {}
    bool HasNext() const override { return m_next < m_end; }
    T Next() override { return m_next++; }

private:
    T m_next;
    T m_end;
};
}
