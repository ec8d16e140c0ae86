#pragma once
// Splits one text into tokens at a delimiter; delimiters inside double quotes or escaped
// (\" and \\) do not split. Tokens keep their quotes and escapes.
#include <string>
#include <vector>

namespace GT
{
class CTokenizer
{
public:
    // With `collapse`, a run of delimiters splits once (no empty tokens inside the run).
    CTokenizer(const std::string& text, char delimiter, bool collapse);
    // A null text tokenizes as an empty one.
    CTokenizer(const char* text, char delimiter, bool collapse)
        : CTokenizer(std::string(text ? text : ""), delimiter, collapse)
    {
    }
    CTokenizer(const CTokenizer&) = delete;
    CTokenizer& operator=(const CTokenizer&) = delete;

    int GetCount() const { return static_cast<int>(m_tokens.size()); }
    // The token, or `fallback` when the index is out of range. Valid while the tokenizer lives.
    const char* GetToken(int index, const char* fallback) const;
    const char* GetToken(int index) const { return GetToken(index, nullptr); }

private:
    std::vector<char> m_text;            // private copy, delimiters overwritten with NUL
    std::vector<size_t> m_tokens;        // start of each token in m_text
};
}
