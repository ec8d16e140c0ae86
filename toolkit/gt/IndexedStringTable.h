#pragma once
// The table of user messages: texts by numeric id in two sets (0 English, 1 Japanese). The
// application fills both at start-up and selects one; every message shown afterwards is looked up
// here in the selected set.
#include <cstdint>
#include <map>
#include <string>

namespace GT
{
class CIndexedStringTable
{
public:
    static constexpr uint32_t kSetCount = 2;
    static constexpr uint32_t kEnglishSet = 0;
    static constexpr uint32_t kJapaneseSet = 1;

    // Stores `text` for `id` in `set`, replacing an earlier text of the id. An unknown set is ignored.
    void Set(uint32_t set, int32_t id, const std::string& text);
    // Chooses the set that Find reads. An index outside the sets is ignored (the selection stays).
    void SelectSet(uint32_t set);
    uint32_t GetSelectedSet() const { return m_selected; }
    // Selects English when the resources' language string reads "English", Japanese otherwise.
    void SelectLanguage(const std::string& language);

    // The text of `id` in the selected set; for a missing id, one shared empty string. The
    // reference stays valid until the entry is replaced or the table is cleared.
    const std::string& Find(int32_t id) const;

    // Empties both sets; the selection stays.
    void Clear();

private:
    uint32_t m_selected = kEnglishSet;
    std::map<int32_t, std::string> m_sets[kSetCount];
};
}

// The program's one message table, made on first use.
GT::CIndexedStringTable& GetMessageTable();
