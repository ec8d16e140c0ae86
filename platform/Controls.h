#pragma once
// The common controls a dialog holds, as CWnds whose text is their window text. Each can be made
// on its own with Create (a child of `parent` with the given id) or comes from a dialog template.
#include "platform/Dialog.h"

#include <memory>
#include <string>

class CFont;

class CButton : public CWnd
{
public:
    CButton();
    ~CButton() override;
    BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCheck() const;
    void SetCheck(int check);
    // As a click: the parent gets WM_COMMAND with BN_CLICKED.
    void Click();

private:
    struct Data;
    std::unique_ptr<Data> m;
};

class CStatic : public CWnd
{
public:
    CStatic();
    ~CStatic() override;
    BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Shows the application's icon (the system's when the program has none).
    void SetApplicationIcon();
    bool HasIcon() const;
};

class CComboBox : public CWnd
{
public:
    CComboBox();
    ~CComboBox() override;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void ResetContent();
    int AddString(const char* text);
    int GetCount() const;
    int GetCurSel() const;
    // CB_ERR (and no selection) for an index outside the list.
    int SetCurSel(int index);
    std::string GetLBText(int index) const;
    int FindStringExact(int startAfter, const char* text) const;
    // Whether the drop-down list is open; opens or closes it.
    BOOL GetDroppedState() const;
    void ShowDropDown(BOOL show = TRUE);

protected:
    // The CB_ messages of the list go to the member functions.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A key press reaching the closed combo box (WM_KEYDOWN, or WM_SYSKEYDOWN with Alt). TRUE eats it.
    virtual BOOL PreTranslateKey(UINT message, UINT virtualKey);
    // The user confirmed an entry (CBN_SELENDOK), before the parent hears of it.
    virtual void OnSelEndOk();

private:
    friend struct CComboEvents;
};

class CProgressCtrl : public CWnd
{
public:
    CProgressCtrl();
    ~CProgressCtrl() override;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetRange32(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    int SetPos(int position);
    int GetPos() const;
};

constexpr UINT EM_SETREADONLY = 0x00CF;

// A single-line edit. A popup edit (WS_POPUP) is a top-level window of its own.
class CEdit : public CWnd
{
public:
    CEdit();
    ~CEdit() override;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    DWORD GetStyle() const { return m_style; }

    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
    // Left margin in the low word, right margin in the high word.
    DWORD GetMargins() const;
    // Room kept free of text at the left and right edge, in pixels beyond the edit's own inner
    // margin (GetMargins reports the sum).
    void SetMargins(UINT left, UINT right);
    void SetFont(const CFont* font);
    // The extent of `text` in the edit's font (what a CClientDC with the edit's font would give).
    CSize GetTextExtent(const std::string& text) const;
    // Every key goes to the edit first: no menu shortcut takes it while the edit has the focus.
    void SetTakesAllKeys(bool takesAll);
    // ES_READONLY on or off, as EM_SETREADONLY (which a derived edit may watch).
    BOOL SetReadOnly(BOOL readOnly = TRUE);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A key press reaching the edit: WM_KEYDOWN, or WM_SYSKEYDOWN while Alt is held. TRUE eats it.
    virtual BOOL PreTranslateKey(UINT message, UINT virtualKey);
    // A key released while the edit has the focus (auto-repeat releases are not reported). TRUE eats it.
    virtual BOOL PreTranslateKeyUp(UINT virtualKey);
    // During PreTranslateKey: whether the press is an auto-repeat of a key already held.
    bool IsRepeatedKey() const;
    // The text changed: EN_UPDATE before the change is shown, EN_CHANGE after.
    virtual void OnEditUpdate();
    virtual void OnEditChange();

private:
    friend struct CEditEvents;
    struct Data;
    std::unique_ptr<Data> m;
    DWORD m_style = 0;
};

// A window that never takes the focus or a click and is shown without activation: tool tips.
// Call after CreateEx; `background` fills it.
void MakeTipWindow(CWnd& window, COLORREF background);
