#pragma once
// The librarian's document bases: a plain document (title, path and a plain modified flag) whose
// Save As refuses a file that another open document holds.
#include "platform/DocView.h"

#include <cstdint>
#include <string>

namespace GP
{
class CRichEditDocEx : public CDocument
{
public:
    // `release`: an open document never keeps the application alive by itself. This system's
    // documents never do, so the flag is only kept.
    explicit CRichEditDocEx(bool release = true) : m_release(release) {}

    bool ReleasesApplication() const { return m_release; }

private:
    bool m_release;
    void* m_reserved = nullptr;
};

class CMDIDocument : public CRichEditDocEx
{
public:
    CMDIDocument() : CRichEditDocEx(true) {}

    BOOL DoSave(const char* path, BOOL replace = TRUE) override;

    // The message shown when the chosen file belongs to another open document: the message
    // table's text of kInUseMessageId in the current language, the English text while the table
    // has none.
    static constexpr int32_t kInUseMessageId = 0;
    static const char* const kInUseMessage;
    static std::string InUseMessage();
    // True when another open document (of any template) has this path.
    bool IsPathHeldByOtherDocument(const std::string& path) const;
};
}
