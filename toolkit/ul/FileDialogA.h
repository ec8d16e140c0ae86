#pragma once
// The open and save file dialog as the program uses it: filters from (description, pattern)
// pairs, sensible default flags and titles, the current folder in the caption, and the filter
// index remembered in the settings under a key of the caller's choice.
#include "platform/FileDialog.h"

#include <cstdint>
#include <string>
#include <vector>

namespace UL
{
class CFileDialogA : public CFileDialog
{
public:
    struct CFilter
    {
        // " Files" is added to a description without it; a pattern ".ext" becomes "*.ext".
        CFilter(std::string description, std::string pattern);
        // description + " (" + pattern + ")|" + pattern + "|"
        std::string ToString() const;
        std::string description;
        std::string pattern;
    };
    struct CFilterList : std::vector<CFilter>
    {
        using std::vector<CFilter>::vector;
        // The filters' texts joined, with one more "|" at the end.
        std::string ToString() const;
    };

    CFileDialogA(bool open, const std::string& defaultExtension, const std::string& fileName, DWORD flags,
                 const std::string& filter, const std::string& title, CWnd* parent = nullptr);
    CFileDialogA(bool open, const std::string& defaultExtension, const std::string& fileName, DWORD flags,
                 const CFilterList& filters, const std::string& title, CWnd* parent = nullptr);

    void SetDefaultExtension(const std::string& extension);
    void SetFileName(const std::string& fileName);
    // 0 selects the defaults of an open or a save dialog.
    void SetFlags(DWORD flags);
    // '|'-separated pairs; empty gives "All Files (*.*)|*.*|".
    void SetFilter(const std::string& filter);
    void SetFilter(const CFilterList& filters) { SetFilter(filters.ToString()); }
    // Empty gives "Open" or "Save As".
    void SetTitle(const std::string& title);
    void SetFilterIndex(int32_t index) { m_ofn.nFilterIndex = static_cast<DWORD>(index < 1 ? 1 : index); }
    void SetInitialDir(const std::string& folder) { m_ofn.lpstrInitialDir = folder; }
    // Where the filter index is kept ("section", "entry"); reads it now, `defaultIndex` when unset.
    void SetProfileKey(const std::string& section, const std::string& entry, int32_t defaultIndex);

    // Stores the filter index under the key after every run, a cancelled one too.
    intptr_t DoModal() override;

    const std::string& GetTitle() const { return m_title; }
    // The filter as the system gets it: NUL-separated, ending in two NULs.
    const std::string& GetSystemFilter() const { return m_ofn.lpstrFilter; }
    DWORD GetFlags() const { return m_ofn.Flags; }
    int32_t GetFilterIndex() const { return static_cast<int32_t>(m_ofn.nFilterIndex); }

protected:
    void OnFolderChange() override;

private:
    void Init(const std::string& defaultExtension, const std::string& fileName, DWORD flags, const std::string& title);

    std::string m_title;
    std::string m_section;
    std::string m_entry;
};
}
