#pragma once
// The script's "stringTable" and "numberTable" resources: named, ordered lists of texts or
// numbers that controls and values refer to by name.
#include "model/CVeyResource.h"
#include "model/IVeyModelLinks.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

template <class T>
class CVeyTable : public CVeyResource
{
public:
    // The element at `index`, or null when the index is outside the table.
    const T* GetAt(int32_t index) const
    {
        return index >= 0 && size_t(index) < m_elements.size() ? &m_elements[size_t(index)] : nullptr;
    }
    // Index of the first element equal to `value`, or the count when there is none.
    int32_t IndexOf(const T& value) const
    {
        for (size_t i = 0; i < m_elements.size(); ++i)
        {
            if (m_elements[i] == value)
                return int32_t(i);
        }
        return GetCount();
    }
    int32_t GetCount() const { return int32_t(m_elements.size()); }

    void Append(const T& element) { m_elements.push_back(element); }
    const std::vector<T>& GetElements() const { return m_elements; }

protected:
    std::vector<T> m_elements;
};

class CVeyStringTable : public CVeyTable<std::string>
{
public:
    // An empty table for users that fill one themselves (the editor's menus).
    static std::unique_ptr<CVeyStringTable> Create();

    // "table" entries: XML entities undone, split at commas, items trimmed, empty items dropped,
    // then the escapes \\, \c (comma) and \s (blank) undone. A table must end up with an element.
    bool Load(CAttributes& attributes) override;
    // One "table" entry: the elements joined with ", ", backslashes doubled, commas as \c.
    bool Store(CAttributes& attributes) const override;

    // Index of the last element not greater than `text`, both read as numbers; 0 when every
    // element is greater or the table is empty. The elements stand in ascending numeric order.
    int32_t FindNearestIndex(const std::string& text) const;
};

// Also the number table that values with a "numberTableRef" map their indexes through.
class CVeyIntegerTable : public CVeyTable<int32_t>, public IVeyNumberTable
{
public:
    int32_t GetNumberCount() const override { return GetCount(); }
    // An index outside the table reads as 0.
    int32_t GetNumberAt(int32_t index) const override
    {
        const int32_t* number = GetAt(index);
        return number != nullptr ? *number : 0;
    }

    // "table" entries: comma-separated numbers ("%li"). A table must end up with an element.
    bool Load(CAttributes& attributes) override;
    // One "table" entry: the numbers in decimal joined with ",".
    bool Store(CAttributes& attributes) const override;
};
