#pragma once
// Small editors that share one interface: an edit box, a drop-down list and a spin edit. In place
// they are child windows over list cells that report Enter and Escape to their parent as NM_RETURN
// (wParam 1 for Enter, 2 for Escape). DoModal shows one as a popup at a rectangle and runs a modal
// loop that Enter (1), Escape (2) or a press on a window frame (left 1, right 2) ends. Only one
// modal popup runs in the process at a time.
#include "librarian/gp/SpinEdit.h"
#include "platform/Controls.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CModalLoop;

namespace GP
{
class IPopup;

// Asked before Enter or a left press on a frame ends a modal run; false keeps the popup open.
class IPopupOwner
{
public:
    virtual ~IPopupOwner() = default;
    virtual bool Accept(IPopup& popup) = 0;
};

class IPopup
{
public:
    enum EKind : int32_t { EditBox = 0, SpinEdit = 1, ComboBox = 2 };

    virtual ~IPopup();
    virtual CWnd* GetWnd() = 0;
    // 1 Enter or an accepted frame press, 2 Escape or a right frame press, -1 when the window
    // cannot be made or another modal popup is running.
    virtual int DoModal(const RECT& rect, CWnd* parent);
    // Creates the editor as a child over a cell, showing `text`; its changed flag starts cleared.
    virtual BOOL CreateInPlace(DWORD style, const RECT& cell, CWnd* parent, UINT id, const std::string& text) = 0;

    int32_t GetKind() const { return m_kind; }
    bool IsChanged() const { return m_changed; }
    const RECT& GetCellRect() const { return m_cell; }
    IPopupOwner* GetOwner() const { return m_owner; }
    bool IsModal() const { return m_loop != nullptr; }
    // The popup whose modal loop runs now, or null.
    static IPopup* GetRunningModal();

protected:
    IPopup(int32_t kind, IPopupOwner* owner) : m_kind(kind), m_owner(owner) {}
    // Makes the popup window of a modal run.
    virtual BOOL CreatePopup(const RECT& rect, CWnd* parent) = 0;
    // Keeps the final text or selection of a modal run before the window goes.
    virtual void KeepResult() = 0;
    // Enter or Escape reached the editor: ends a modal run (Enter asks the owner first) or tells
    // the parent of an in-place editor. Always eats the key.
    BOOL EndByKey(bool enter);
    // Width to fit `textWidth`, kept at the cell's left edge or (growing leftwards) its right edge.
    void SizeToText(int textWidth, bool growLeft);
    void NotifyParent(UINT code);

    int32_t m_kind;
    RECT m_cell{0, 0, 0, 0};
    bool m_changed = false;
    bool m_creating = false;   // the editor's own set-up text is no change to report
    IPopupOwner* m_owner;
    CModalLoop* m_loop = nullptr;

private:
    friend struct CPopupHook;
};

class CPopupEdit : public CEdit, public IPopup
{
public:
    explicit CPopupEdit(IPopupOwner* owner = nullptr);
    ~CPopupEdit() override;
    CWnd* GetWnd() override { return this; }
    BOOL CreateInPlace(DWORD style, const RECT& cell, CWnd* parent, UINT id, const std::string& text) override;
    // The initial text of a modal run and, after it, the final one.
    std::string m_text;

protected:
    BOOL CreatePopup(const RECT& rect, CWnd* parent) override;
    void KeepResult() override;
    BOOL PreTranslateKey(UINT message, UINT virtualKey) override;
    void OnEditUpdate() override;
    void OnEditChange() override;

private:
    void FitText();
};

class CPopupComboBox : public CComboBox, public IPopup
{
public:
    explicit CPopupComboBox(const std::vector<std::string>& items, IPopupOwner* owner = nullptr);
    ~CPopupComboBox() override;
    CWnd* GetWnd() override { return this; }
    BOOL CreateInPlace(DWORD style, const RECT& cell, CWnd* parent, UINT id, const std::string& text) override;
    // Selected before a modal run and, after it, the final selection (-1 for none).
    int m_selected = -1;

protected:
    BOOL CreatePopup(const RECT& rect, CWnd* parent) override;
    void KeepResult() override;
    BOOL PreTranslateKey(UINT message, UINT virtualKey) override;
    void OnSelEndOk() override;

private:
    BOOL Fill(const RECT& cell);
    std::vector<std::string> m_items;
};

class CPopupSpinEdit : public CSpinEdit, public IPopup
{
public:
    CPopupSpinEdit(int32_t numberKind, int32_t format, int32_t digit, double minimum, double maximum,
                   int32_t precision = 0, uint32_t formatFlags = 0, IPopupOwner* owner = nullptr);
    ~CPopupSpinEdit() override;
    CWnd* GetWnd() override { return this; }
    BOOL CreateInPlace(DWORD style, const RECT& cell, CWnd* parent, UINT id, const std::string& text) override;
    // Shows the cell's number, selected, as the editor's starting value: no change of the user's.
    void ShowStartValue(double number);

protected:
    BOOL CreatePopup(const RECT& rect, CWnd* parent) override;
    void KeepResult() override {}
    BOOL PreTranslateKey(UINT message, UINT virtualKey) override;
    void OnEditUpdate() override;
    void OnEditChange() override;

private:
    void FitText();
};
}
