#pragma once
// The open and save file dialog with the shape of the common dialog: the OPENFILENAME fields the
// program sets (flags, a filter list of NUL-separated description/pattern pairs, a 1-based filter
// index, initial folder, default extension, title, file name), a modal DoModal, the chosen path,
// and a notification whenever the user enters another folder.
#include "platform/Wnd.h"

#include <memory>
#include <string>

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_ENABLESIZING = 0x00800000;

struct OPENFILENAME
{
    DWORD Flags = 0;
    std::string lpstrFilter;       // "desc\0pattern\0desc\0pattern\0\0"
    DWORD nFilterIndex = 1;        // 1-based
    std::string lpstrInitialDir;
    std::string lpstrDefExt;       // without the '.'
    std::string lpstrTitle;
    std::string lpstrFile;         // the file name edited, then the chosen path
};

class CFileDialog
{
public:
    CFileDialog(BOOL openFileDialog, CWnd* parent = nullptr);
    virtual ~CFileDialog();
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user chose a file, IDCANCEL otherwise.
    virtual intptr_t DoModal();
    std::string GetPathName() const;
    // The folder shown now (while the dialog runs) or last (afterwards).
    std::string GetFolderPath() const;
    bool IsOpenDialog() const { return m_open; }

    OPENFILENAME m_ofn;

protected:
    // The user entered another folder; GetFolderPath names it.
    virtual void OnFolderChange();
    // The caption of the running dialog.
    void SetCaption(const std::string& caption);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    bool m_open;
    CWnd* m_parent;
};
