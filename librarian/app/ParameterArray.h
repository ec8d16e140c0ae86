#pragma once
// The owning, ordered list of patches that every document, the clipboard and the initial file
// hold. Copies are deep: every element is cloned, never shared.
#include "librarian/app/Parameter.h"

#include <cstddef>
#include <memory>
#include <typeinfo>
#include <vector>

class CParameterArray
{
public:
    virtual ~CParameterArray();
    // A new, empty element of the array's element class (no parts, empty texts).
    virtual std::unique_ptr<CParameter> CreateElement() const = 0;
    // A new, empty array of this array's kind: one to fill aside and Swap in whole.
    virtual std::unique_ptr<CParameterArray> CreateEmpty() const = 0;

    size_t GetSize() const { return m_elements.size(); }
    bool IsEmpty() const { return m_elements.empty(); }
    CParameter& operator[](size_t index) { return *m_elements[index]; }
    const CParameter& operator[](size_t index) const { return *m_elements[index]; }

    // Takes an element of the array's element class; false (and nothing added) for any other
    // element or a null pointer. Inserting at or past the end appends.
    bool Add(std::unique_ptr<CParameter> element);
    bool InsertAt(size_t index, std::unique_ptr<CParameter> element);
    // Deletes the element; nothing for an index past the end.
    void RemoveAt(size_t index);
    // Takes the element out without deleting it; null for an index past the end.
    std::unique_ptr<CParameter> Detach(size_t index);
    void RemoveAll() { m_elements.clear(); }
    // Appends a new element made by CreateElement, and returns it.
    CParameter& AppendNew();
    void Reserve(size_t n) { m_elements.reserve(n); }

    // Cuts the array to n elements, or appends new Initialized elements until it holds n.
    void Resize(size_t n);
    void Swap(CParameterArray& other) { m_elements.swap(other.m_elements); }

protected:
    CParameterArray() = default;
    CParameterArray(const CParameterArray& other);
    CParameterArray& operator=(const CParameterArray& other);
    // Whether the element belongs to the array's element class.
    virtual bool CanHold(const CParameter& element) const = 0;

private:
    std::vector<std::unique_ptr<CParameter>> m_elements;
};

// An array whose every element is a T.
template <class T>
class CConcreteParameterArray : public CParameterArray
{
public:
    CConcreteParameterArray() = default;
    CConcreteParameterArray(const CConcreteParameterArray& other) = default;
    CConcreteParameterArray& operator=(const CConcreteParameterArray& other) = default;

    std::unique_ptr<CParameter> CreateElement() const override { return std::make_unique<T>(); }
    std::unique_ptr<CParameterArray> CreateEmpty() const override
    {
        return std::make_unique<CConcreteParameterArray>();
    }

    T& At(size_t index) { return static_cast<T&>((*this)[index]); }
    const T& At(size_t index) const { return static_cast<const T&>((*this)[index]); }

protected:
    bool CanHold(const CParameter& element) const override
    {
        // The exact class, the usual case, is told apart without the cost of a cast.
        return typeid(element) == typeid(T) || dynamic_cast<const T*>(&element) != nullptr;
    }
};
