#pragma once
// Cutting, trimming and rebuilding 8-bit text, the comma-separated lists of the script and the
// settings, and orderings of texts that may hold numbers.
#include <string>
#include <vector>

namespace GT
{
// Substrings clipped to the text; negative counts and positions count as 0.
std::string Left(const std::string& text, int count);
std::string Right(const std::string& text, int count);
std::string Mid(const std::string& text, int position, int count);

// Copy with A..Z lowered; other bytes unchanged.
std::string MakeLower(const std::string& text);

// `out` becomes the text without leading and trailing blanks (space, tab, line feed); true when
// something is left.
bool Trim(const std::string& text, std::string& out);
std::string TrimCopy(const std::string& text);

// `out` becomes the text with every occurrence of `find` replaced, left to right, the search
// resuming behind the inserted replacement. False when `find` does not occur or is empty (the copy
// is made either way).
bool ReplaceAll(const std::string& text, const std::string& find, const std::string& replacement,
                std::string& out);

// Each CR LF pair, lone CR and lone LF becomes `lineEnd`.
std::string ConvertLineEnds(const std::string& text, const std::string& lineEnd);
std::string ToCrLf(const std::string& text);

// \" becomes " and \\ becomes \; everything else, a lone backslash included, stays.
std::string UnescapeBackslashes(const std::string& text);
// Removes a pair of enclosing double quotes, then optionally unescapes.
std::string Unquote(const std::string& text, bool unescape);
std::string UnquoteCString(const char* text, bool unescape);

// &quot; &apos; &lt; &gt; and, last, &amp; (so "&amp;lt;" becomes "&lt;").
std::string UnescapeXml(const std::string& text);
void UnescapeXmlTo(const std::string& text, std::string& out);

// Splits at ',' and appends the items, each trimmed of control characters and spaces (bytes up to
// 20h) at both ends; items left empty are skipped. Bytes from 80h up are text and are kept.
// The C-string form returns false for null.
bool SplitListCString(const char* text, std::vector<std::string>& items);
bool SplitList(const std::string& text, std::vector<std::string>& items);
// As SplitList, then in each item \\ becomes \, \c becomes ',' and \s a space.
bool SplitEscapedList(const char* text, std::vector<std::string>& items);
bool SplitEscapedList(const std::string& text, std::vector<std::string>& items);

// Order of numeric columns: both texts keep only digits, '.' and '-' and are read as numbers.
// A text that is no number is less than anything. Not a strict weak ordering: for scans, never
// for sorting.
bool NumericLess(const std::string& a, const std::string& b);
// Sort predicate: numbers (compared by value) before other texts (compared lower-cased).
bool SmartLess(const std::string& a, const std::string& b);
// Character-wise distance of the lower-cased texts.
int TextDistance(const std::string& a, const std::string& b);
// |a - b| when both are numbers, otherwise TextDistance.
double ValueDistance(const std::string& a, const std::string& b);
}
