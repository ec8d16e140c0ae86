#pragma once
// Scanner over the script's text: reads tags (the text between '<' and '>') and the bodies of
// elements, dropping comments. It does not own the text; the text must outlive the scanner.
// Every call runs in time linear in the characters it consumes.
#include <string>

class CVeyTagScanner
{
public:
    CVeyTagScanner(const char* begin, const char* end);
    explicit CVeyTagScanner(const std::string& text);

    // The next tag's text, comments skipped; at the end of the text, whatever was collected
    // (empty when nothing). The text becomes the current tag.
    std::string ReadTag();

    // The body of the current tag up to its matching end tag (nested start tags of the same name
    // raise the depth), comments removed, nothing trimmed or decoded. Ends at the end of the text
    // when the end tag is missing. `body` is replaced; its capacity is kept.
    void ReadBody(std::string& body);
    std::string ReadBody();

    // ReadTag and ReadBody without copying, for the script reader's bulk work. NextTag gives the
    // tag's text as [begin, end) of the text (empty at the end) and leaves the current tag alone.
    void NextTag(const char*& begin, const char*& end);
    // The body of the element whose tag text is `tag`, exactly as ReadBody gives it: a stretch of
    // the text itself, or, when the body holds a comment, of `scratch` holding the body with its
    // comments removed.
    void ReadBodyOf(const char* tag, size_t tagLength, const char*& begin, const char*& end, std::string& scratch);

    const std::string& GetCurrentTag() const { return m_currentTag; }
    bool AtEnd() const { return m_position == m_end; }
    // Where reading goes on, and moving it on past text read another way (ignored unless the
    // position lies between the present one and the end).
    const char* GetPosition() const { return m_position; }
    const char* GetEnd() const { return m_end; }
    void SkipTo(const char* position);

private:
    // The body up to the matching end tag as a stretch of the text, the position moved past the
    // end tag; false, nothing consumed, when a comment comes first.
    bool FindBody(const char* tag, size_t tagLength, const char*& begin, const char*& end);
    // Appends the characters up to the next `stop` (not included) to `out` and steps over the
    // stop; false when the text ends first (everything up to the end is appended).
    bool ReadUpTo(char stop, std::string& out);

    const char* m_position;
    const char* m_end;
    std::string m_currentTag;
};
