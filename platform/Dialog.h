#pragma once
// Dialogs and their controls with MFC's shapes. A dialog is built from a template that the
// program registers under an id (the stand-in for a dialog resource): a caption, a size and a
// list of controls with ids. The controls are CWnds reached with GetDlgItem and cast to their
// class (CButton, CStatic, CEdit, CComboBox, CProgressCtrl), as in MFC. Control texts go through
// SetWindowText/GetWindowText. A modal dialog disables its owner and runs its own loop.
#include "platform/Wnd.h"

#include <memory>
#include <string>
#include <vector>

class CFont;

constexpr UINT IDC_STATIC = 0xFFFF;

constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DISABLED = 0x08000000;

// Button styles.
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_AUTOCHECKBOX = 0x3;
constexpr DWORD BS_GROUPBOX = 0x7;
constexpr DWORD BS_TYPEMASK = 0xF;
// Edit styles.
constexpr DWORD ES_LEFT = 0x0;
constexpr DWORD ES_CENTER = 0x1;
constexpr DWORD ES_RIGHT = 0x2;
constexpr DWORD ES_AUTOHSCROLL = 0x80;
constexpr DWORD ES_READONLY = 0x0800;
// Static style: the control shows an icon.
constexpr DWORD SS_ICON = 0x3;

// Notification codes (high word of WM_COMMAND's wParam).
constexpr UINT BN_CLICKED = 0;
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT EN_UPDATE = 0x0400;

// Combo box messages.
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr int CB_ERR = -1;

// System colours.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
COLORREF GetSysColor(int index);

constexpr WPARAM MAKEWPARAM(UINT low, UINT high) { return static_cast<WPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16)); }
constexpr UINT LOWORD(uintptr_t value) { return static_cast<UINT>(value & 0xFFFF); }
constexpr UINT HIWORD(uintptr_t value) { return static_cast<UINT>((value >> 16) & 0xFFFF); }

// What a dialog template lists.
enum class EDialogControl
{
    Button,      // push button, default button, check box or group box by its BS_ style
    Static,      // a label, or an icon with SS_ICON
    Edit,
    ComboBox,    // a drop-down list
    Progress,
};

struct CDialogItemTemplate
{
    EDialogControl kind;
    UINT id;
    std::string text;
    RECT rect;   // in the dialog's client pixels
    DWORD style = WS_VISIBLE;
};

struct CDialogTemplate
{
    std::string caption;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<CDialogItemTemplate> items;
};

// The program registers its dialog resources once at start-up; a later registration replaces one.
void RegisterDialogTemplate(UINT templateId, const CDialogTemplate& dialogTemplate);
bool HasDialogTemplate(UINT templateId);
// The registered template, or null; valid until the next registration.
const CDialogTemplate* FindDialogTemplate(UINT templateId);
// Creates one control of a template as a child of `parent` (the caller shows it as its style says);
// null when it cannot be made.
std::unique_ptr<CWnd> CreateDialogControl(const CDialogItemTemplate& item, CWnd* parent);

// A nested modal loop: Run returns the value given to End. Handlers inside it see every message
// the main loop would deliver.
class CModalLoop
{
public:
    CModalLoop();
    ~CModalLoop();
    CModalLoop(const CModalLoop&) = delete;
    CModalLoop& operator=(const CModalLoop&) = delete;

    int Run();
    // Ends the loop with `result`; before Run it makes Run return at once.
    void End(int result);
    bool IsRunning() const;

    // Ends every loop still running, innermost first, with `result`: a way out for a test that
    // finds a loop it expected to have ended.
    static int EndAll(int result);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // A modeless dialog: creates it hidden (unless the template says visible) and calls
    // OnInitDialog. FALSE when the template is unknown or the window cannot be made.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Creates the dialog over its disabled owner, runs it until EndDialog and returns that value;
    // -1 when it cannot be created.
    virtual intptr_t DoModal();
    void EndDialog(int result);

    BOOL SetDlgItemText(UINT id, const char* text);
    std::string GetDlgItemText(UINT id) const;
    // Makes the shown dialog the active window now, with the focus on its first control that
    // takes it, as showing a dialog does on Windows.
    void ActivateDialog();
    // Centres the dialog over its parent, or the screen without one.
    void CenterWindow();
    UINT GetTemplateId() const { return m_templateId; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // A control's notification: IDOK and IDCANCEL clicks go to OnOK and OnCancel.
    virtual BOOL OnCommand(UINT id, UINT code);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnClose() override;

private:
    friend struct CDialogKeys;
    void CreateControls(const CDialogTemplate& dialogTemplate);
    void HandleDialogKey(UINT virtualKey);

    UINT m_templateId;
    CWnd* m_parent;
    std::vector<std::unique_ptr<CWnd>> m_controls;
    CModalLoop* m_loop = nullptr;
    int m_result = 0;
};
