#pragma once
// Splits a text into tokens at a separator character, or at any of several separator strings.
// Double-quoted stretches (a quote not preceded by a backslash) do not split; quotes stay part of
// the tokens. With merging, separators that follow each other count as one.
#include <string>
#include <vector>

namespace GP
{
class CStringSplitter
{
public:
    // The separator value that selects the separator strings.
    static constexpr int kSeparatorStrings = -1;

    CStringSplitter(const char* text, int separator, bool merge = false);
    CStringSplitter(const char* text, const std::vector<std::string>& separators, bool merge = false);

    int GetTokenCount() const { return static_cast<int>(m_tokens.size()); }
    // The token, or `defaultValue` when the index is out of range.
    const char* GetToken(int index, const char* defaultValue = "") const;

private:
    void Split();
    // The length of the separator starting at `position`, 0 when none starts there.
    size_t SeparatorLengthAt(size_t position) const;

    std::string m_text;
    std::vector<std::string> m_tokens;
    int m_separator;
    std::vector<std::string> m_separators;
    bool m_merge;
};
}
