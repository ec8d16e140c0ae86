#include "toolkit/ul/FileDialogA.h"

#include "platform/Dialog.h"
#include "platform/Profile.h"

#include <algorithm>

namespace UL
{
namespace
{
bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

constexpr DWORD kAlwaysFlags = OFN_EXPLORER | OFN_ENABLEHOOK;
constexpr DWORD kOpenDefaults = kAlwaysFlags | OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
constexpr DWORD kSaveDefaults = kAlwaysFlags | OFN_ENABLESIZING | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
}

CFileDialogA::CFilter::CFilter(std::string desc, std::string pat) : description(std::move(desc)), pattern(std::move(pat))
{
    if (!EndsWith(description, "Files"))
        description += " Files";
    if (!pattern.empty() && pattern.front() == '.')
        pattern.insert(pattern.begin(), '*');
}

std::string CFileDialogA::CFilter::ToString() const
{
    return description + " (" + pattern + ")|" + pattern + "|";
}

std::string CFileDialogA::CFilterList::ToString() const
{
    std::string text;
    for (const CFilter& filter : *this)
        text += filter.ToString();
    return text + "|";
}

CFileDialogA::CFileDialogA(bool open, const std::string& defaultExtension, const std::string& fileName, DWORD flags,
                           const std::string& filter, const std::string& title, CWnd* parent)
    : CFileDialog(open, parent)
{
    Init(defaultExtension, fileName, flags, title);
    SetFilter(filter);
}

CFileDialogA::CFileDialogA(bool open, const std::string& defaultExtension, const std::string& fileName, DWORD flags,
                           const CFilterList& filters, const std::string& title, CWnd* parent)
    : CFileDialog(open, parent)
{
    Init(defaultExtension, fileName, flags, title);
    SetFilter(filters);
}

void CFileDialogA::Init(const std::string& defaultExtension, const std::string& fileName, DWORD flags,
                        const std::string& title)
{
    SetDefaultExtension(defaultExtension);
    SetFileName(fileName);
    SetFlags(flags);
    SetTitle(title);
}

void CFileDialogA::SetDefaultExtension(const std::string& extension)
{
    m_ofn.lpstrDefExt = !extension.empty() && extension.front() == '.' ? extension.substr(1) : extension;
}

void CFileDialogA::SetFileName(const std::string& fileName)
{
    // The system edits the name in a buffer of 260 characters.
    m_ofn.lpstrFile = fileName.substr(0, 259);
}

void CFileDialogA::SetFlags(DWORD flags)
{
    m_ofn.Flags = flags == 0 ? (IsOpenDialog() ? kOpenDefaults : kSaveDefaults) : (flags | kAlwaysFlags);
}

void CFileDialogA::SetFilter(const std::string& filter)
{
    std::string text = filter.empty() ? std::string("All Files (*.*)|*.*|") : filter;
    std::replace(text.begin(), text.end(), '|', '\0');
    // The system's list ends with an empty entry: two NULs.
    if (text.size() < 2 || text[text.size() - 1] != '\0' || text[text.size() - 2] != '\0')
        text.push_back('\0');
    m_ofn.lpstrFilter = text;
}

void CFileDialogA::SetTitle(const std::string& title)
{
    m_title = title.empty() ? std::string(IsOpenDialog() ? "Open" : "Save As") : title;
    m_ofn.lpstrTitle = m_title;
}

void CFileDialogA::SetProfileKey(const std::string& section, const std::string& entry, int32_t defaultIndex)
{
    m_section = section;
    m_entry = entry;
    SetFilterIndex(GetProfileInt(section, entry, defaultIndex));
}

void CFileDialogA::OnFolderChange()
{
    std::string folder = GetFolderPath();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    SetCaption(m_title + " - " + folder);
}

intptr_t CFileDialogA::DoModal()
{
    const intptr_t result = CFileDialog::DoModal();
    if (!m_section.empty() && !m_entry.empty())
        WriteProfileInt(m_section, m_entry, static_cast<int32_t>(m_ofn.nFilterIndex));
    return result;
}
}
