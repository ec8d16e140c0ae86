#include "toolkit/gt/IndexedStringTable.h"

namespace GT
{
void CIndexedStringTable::Set(uint32_t set, int32_t id, const std::string& text)
{
    if (set < kSetCount)
        m_sets[set][id] = text;
}

void CIndexedStringTable::SelectSet(uint32_t set)
{
    if (set < kSetCount)
        m_selected = set;
}

void CIndexedStringTable::SelectLanguage(const std::string& language)
{
    SelectSet(language == "English" ? kEnglishSet : kJapaneseSet);
}

const std::string& CIndexedStringTable::Find(int32_t id) const
{
    static const std::string empty;
    const auto& texts = m_sets[m_selected];
    const auto found = texts.find(id);
    return found == texts.end() ? empty : found->second;
}

void CIndexedStringTable::Clear()
{
    for (auto& texts : m_sets)
        texts.clear();
}
}

GT::CIndexedStringTable& GetMessageTable()
{
    static GT::CIndexedStringTable table;
    return table;
}
