#pragma once
// A vector that keeps up to N elements inside itself and takes memory from the heap only beyond
// them: for the many short sequences of a usual length (the blocks of a patch) that would each
// cost an allocation as std::vector. It behaves as std::vector for what it offers; iterators are
// pointers, made invalid by any growth past the capacity and, unlike a std::vector's, by a move
// of elements that are held inside.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace GT
{
template <typename T, size_t N>
class CInlineVector
{
    static_assert(N > 0, "an inline vector keeps at least one element inside");

    template <typename TIterator>
    using RequireInputIterator = std::enable_if_t<std::is_convertible<
        typename std::iterator_traits<TIterator>::iterator_category, std::input_iterator_tag>::value>;

public:
    using value_type = T;
    using size_type = size_t;
    using difference_type = std::ptrdiff_t;
    using reference = T&;
    using const_reference = const T&;
    using pointer = T*;
    using const_pointer = const T*;
    using iterator = T*;
    using const_iterator = const T*;

    CInlineVector() noexcept : m_data(InlineData()) {}
    explicit CInlineVector(size_t count) : CInlineVector() { resize(count); }
    CInlineVector(size_t count, const T& value) : CInlineVector() { assign(count, value); }
    template <typename TIterator, typename = RequireInputIterator<TIterator>>
    CInlineVector(TIterator first, TIterator last) : CInlineVector()
    {
        assign(first, last);
    }
    CInlineVector(std::initializer_list<T> values) : CInlineVector() { assign(values.begin(), values.end()); }
    // The delegating constructors above make a throw half way destroy what was built.
    CInlineVector(const CInlineVector& other) : CInlineVector() { assign(other.begin(), other.end()); }
    CInlineVector(CInlineVector&& other) noexcept : CInlineVector() { TakeFrom(other); }
    ~CInlineVector()
    {
        clear();
        ReleaseHeap();
    }

    CInlineVector& operator=(const CInlineVector& other)
    {
        if (this != &other)
            assign(other.begin(), other.end());
        return *this;
    }
    CInlineVector& operator=(CInlineVector&& other) noexcept
    {
        if (this != &other)
        {
            clear();
            ReleaseHeap();
            TakeFrom(other);
        }
        return *this;
    }
    CInlineVector& operator=(std::initializer_list<T> values)
    {
        assign(values.begin(), values.end());
        return *this;
    }

    size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }
    size_t capacity() const noexcept { return m_capacity; }
    // Sizes are counted in 32 bits, which keeps the vector small.
    static constexpr size_t max_size() noexcept { return std::numeric_limits<uint32_t>::max(); }
    T* data() noexcept { return m_data; }
    const T* data() const noexcept { return m_data; }

    iterator begin() noexcept { return m_data; }
    iterator end() noexcept { return m_data + m_size; }
    const_iterator begin() const noexcept { return m_data; }
    const_iterator end() const noexcept { return m_data + m_size; }
    const_iterator cbegin() const noexcept { return begin(); }
    const_iterator cend() const noexcept { return end(); }

    T& operator[](size_t index) noexcept { return m_data[index]; }
    const T& operator[](size_t index) const noexcept { return m_data[index]; }
    T& front() noexcept { return m_data[0]; }
    const T& front() const noexcept { return m_data[0]; }
    T& back() noexcept { return m_data[m_size - 1]; }
    const T& back() const noexcept { return m_data[m_size - 1]; }

    void reserve(size_t count)
    {
        if (count > m_capacity)
            MoveTo(Allocate(count), count);
    }

    void clear() noexcept { DestroyFrom(0); }

    void resize(size_t count)
    {
        if (count <= m_size)
            return DestroyFrom(count);
        if (count > m_capacity)
            reserve(GrownCapacity(count));
        std::uninitialized_value_construct(end(), m_data + count);
        m_size = count;
    }

    void resize(size_t count, const T& value)
    {
        if (count <= m_size)
            return DestroyFrom(count);
        if (count > m_capacity)
        {
            // The new elements are made before the old ones move: `value` may be one of them.
            const size_t capacity = GrownCapacity(count);
            T* fresh = Allocate(capacity);
            try
            {
                std::uninitialized_fill(fresh + m_size, fresh + count, value);
            }
            catch (...)
            {
                ::operator delete(fresh);
                throw;
            }
            MoveTo(fresh, capacity);
        }
        else
        {
            std::uninitialized_fill(end(), m_data + count, value);
        }
        m_size = count;
    }

    // As std::vector's: `value` must not be one of this vector's elements.
    void assign(size_t count, const T& value)
    {
        clear();
        reserve(count);
        std::uninitialized_fill_n(m_data, count, value);
        m_size = count;
    }

    // As std::vector's: the range must not be this vector's own elements.
    template <typename TIterator, typename = RequireInputIterator<TIterator>>
    void assign(TIterator first, TIterator last)
    {
        using Category = typename std::iterator_traits<TIterator>::iterator_category;
        if constexpr (std::is_base_of<std::forward_iterator_tag, Category>::value)
        {
            const size_t count = static_cast<size_t>(std::distance(first, last));
            if (count > m_capacity)
            {
                clear();
                reserve(count);
            }
            // Elements already there are overwritten in place; only the rest are made.
            const size_t kept = std::min<size_t>(count, m_size);
            TIterator middle = std::next(first, static_cast<difference_type>(kept));
            std::copy(first, middle, m_data);
            if (count > m_size)
                std::uninitialized_copy(middle, last, end());
            else
                DestroyFrom(count);
            m_size = count;
        }
        else
        {
            clear();
            for (; first != last; ++first)
                push_back(*first);
        }
    }

    void push_back(const T& value) { emplace_back(value); }
    void push_back(T&& value) { emplace_back(std::move(value)); }

    template <typename... TArguments>
    T& emplace_back(TArguments&&... arguments)
    {
        if (m_size < m_capacity)
        {
            ::new (static_cast<void*>(end())) T(std::forward<TArguments>(arguments)...);
        }
        else
        {
            // Made in the new storage first: the arguments may refer to an element.
            const size_t capacity = GrownCapacity(m_size + 1);
            T* fresh = Allocate(capacity);
            try
            {
                ::new (static_cast<void*>(fresh + m_size)) T(std::forward<TArguments>(arguments)...);
            }
            catch (...)
            {
                ::operator delete(fresh);
                throw;
            }
            MoveTo(fresh, capacity);
        }
        ++m_size;
        return back();
    }

    void pop_back() noexcept { DestroyFrom(m_size - 1); }

    friend bool operator==(const CInlineVector& a, const CInlineVector& b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }
    friend bool operator!=(const CInlineVector& a, const CInlineVector& b) { return !(a == b); }

private:
    T* InlineData() noexcept { return reinterpret_cast<T*>(m_inline); }
    bool IsInline() const noexcept { return m_data == reinterpret_cast<const T*>(m_inline); }

    size_t GrownCapacity(size_t needed) const noexcept
    {
        return std::max(needed, std::min<size_t>(2 * size_t(m_capacity), max_size()));
    }

    static T* Allocate(size_t count)
    {
        static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "heap storage is aligned for T");
        if (count > max_size())
            throw std::length_error("CInlineVector");
        return static_cast<T*>(::operator new(count * sizeof(T)));
    }

    // Moves the elements into `fresh` (room for `capacity`) and makes it the storage.
    void MoveTo(T* fresh, size_t capacity) noexcept
    {
        static_assert(std::is_nothrow_move_constructible<T>::value, "elements move without throwing");
        std::uninitialized_move(begin(), end(), fresh);
        std::destroy(begin(), end());
        ReleaseHeap();
        m_data = fresh;
        m_capacity = capacity;
    }

    void DestroyFrom(size_t count) noexcept
    {
        std::destroy(m_data + count, end());
        m_size = count;
    }

    void ReleaseHeap() noexcept
    {
        if (!IsInline())
            ::operator delete(m_data);
        m_data = InlineData();
        m_capacity = N;
    }

    // Takes the heap storage of `other`, or moves its inside elements one by one; `other` is left
    // empty. This vector must be empty and inline.
    void TakeFrom(CInlineVector& other) noexcept
    {
        if (other.IsInline())
        {
            std::uninitialized_move(other.begin(), other.end(), m_data);
            m_size = other.m_size;
            other.clear();
            return;
        }
        m_data = other.m_data;
        m_size = other.m_size;
        m_capacity = other.m_capacity;
        other.m_data = other.InlineData();
        other.m_size = 0;
        other.m_capacity = N;
    }

    T* m_data;
    uint32_t m_size = 0;
    uint32_t m_capacity = N;
    alignas(T) unsigned char m_inline[N * sizeof(T)];
};
}
