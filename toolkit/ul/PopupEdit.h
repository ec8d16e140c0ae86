#pragma once
// The in-place text editor: a borderless single-line edit that pops up over a control, takes the
// user's typing, grows with its text, and ends on Enter or a left click elsewhere (commit), or on
// Escape, a right click elsewhere or losing the activation (cancel). Clicks elsewhere are caught by
// the program-wide mouse hook, which the library shares between any number of such windows.
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/Gdi.h"
#include "platform/MouseHook.h"
#include "toolkit/gt/Event.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace UL
{
class IMouseHookHandler
{
public:
    virtual ~IMouseHookHandler() = default;
    // True swallows the message.
    virtual bool OnMouseHook(int /*code*/, UINT /*message*/, const MOUSEHOOKSTRUCT& /*info*/) { return false; }
};

// Owns the mouse hook: installed with the first handler, removed with the last.
class CMouseHookManager
{
public:
    static CMouseHookManager& Instance();
    ~CMouseHookManager();

    void AddHandler(IMouseHookHandler* handler);
    void RemoveHandler(IMouseHookHandler* handler);
    void Enable(bool enable) { m_enabled = enable; }
    bool IsHookInstalled() const { return m_hook != nullptr; }
    size_t GetHandlerCount() const { return m_handlers.size(); }

private:
    CMouseHookManager() = default;
    static LRESULT HookProc(int code, WPARAM message, LPARAM info);

    HHOOK m_hook = nullptr;
    std::set<IMouseHookHandler*> m_handlers;
    bool m_enabled = true;
};

class CPopupEvent : public GT::CEvent
{
public:
    using GT::CEvent::CEvent;
    enum EType { COMMIT_OR_CHANGE, CANCEL };
    explicit CPopupEvent(std::any payload, EType type) : GT::CEvent(std::move(payload)), m_type(type) {}
    virtual EType GetType() const { return m_type; }

private:
    EType m_type = COMMIT_OR_CHANGE;
};

class CEditEvent : public GT::CEvent
{
public:
    using GT::CEvent::CEvent;
};

// What owners of non-modal edits listen with.
class IEditListener
{
public:
    virtual ~IEditListener() = default;
    virtual void OnEvent(const GT::CEvent&) {}
    virtual void OnCommitOrChange(const GT::CEvent&) {}
    virtual void OnCancel(const GT::CEvent&) {}
};

// An edit that keeps its text and selection before its window exists and reports changes.
class CEditA : public CEdit
{
public:
    CEditA();
    ~CEditA() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetText(const std::string& text);
    // The window's text while it exists, else the stored text.
    std::string GetText() const;
    void SetSelection(int32_t start, int32_t end);
    void GetSelection(int32_t& start, int32_t& end) const;

    std::vector<IEditListener*> m_listeners;

protected:
    virtual void PreCreate() {}
    virtual void OnCreated() {}
    void OnEditChange() override;
    // Copies the window's text and selection into the stored ones.
    void KeepWindowState();

    std::string m_text;
    int32_t m_selStart = 0;
    int32_t m_selEnd = -1;
    bool m_creating = false;
};

// An edit that pops up over other windows: keys go to it before any shortcut, and a click elsewhere
// ends it (left commits, right cancels; the click is swallowed). Runs modally or reports to its
// popup listeners.
template <class TEdit>
class CPopupImplementer : public TEdit, public IMouseHookHandler
{
public:
    ~CPopupImplementer() override { CMouseHookManager::Instance().RemoveHandler(this); }

    BOOL DestroyWindow() override
    {
        CMouseHookManager::Instance().RemoveHandler(this);
        return TEdit::DestroyWindow();
    }

    bool OnMouseHook(int code, UINT message, const MOUSEHOOKSTRUCT& info) override
    {
        if (code != HC_ACTION || !this->GetSafeHwnd())
            return false;
        if (IsChild(this->GetSafeHwnd(), info.hwnd))
            return false;
        // The drop-down list of the edited control's combo box belongs to the edit session.
        if (std::string(info.className, strnlen(info.className, sizeof(info.className))) == "ComboLBox")
            return false;
        if (message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN)
        {
            Commit();
            return true;
        }
        if (message == WM_RBUTTONDOWN || message == WM_NCRBUTTONDOWN)
        {
            Cancel();
            return true;
        }
        return false;
    }

    std::vector<IEditListener*> m_popupListeners;

protected:
    void PreCreate() override
    {
        TEdit::PreCreate();
        CMouseHookManager::Instance().AddHandler(this);
    }

    void OnCreated() override
    {
        TEdit::OnCreated();
        this->SetTakesAllKeys(true);
    }

    BOOL PreTranslateKey(UINT message, UINT virtualKey) override
    {
        if (message != WM_KEYDOWN)
            return TRUE;   // Alt combinations would reach the menus
        if (virtualKey == VK_RETURN)
        {
            Commit();
            return TRUE;
        }
        if (virtualKey == VK_ESCAPE)
        {
            Cancel();
            return TRUE;
        }
        return FALSE;
    }

    void OnActivate(UINT state, CWnd* other, BOOL minimized) override
    {
        TEdit::OnActivate(state, other, minimized);
        if (state == WA_INACTIVE && this->GetSafeHwnd())
            this->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN && (wParam == VK_ESCAPE || wParam == VK_RETURN))
        {
            wParam == VK_RETURN ? Commit() : Cancel();
            return 0;
        }
        return TEdit::WindowProc(message, wParam, lParam);
    }

    int RunModalLoop()
    {
        CModalLoop loop;
        m_loop = &loop;
        const int result = loop.Run();
        m_loop = nullptr;
        return result;
    }

    void Commit()
    {
        if (m_loop)
            return m_loop->End(1);
        const std::vector<IEditListener*> listeners = m_popupListeners;
        for (IEditListener* listener : listeners)
            listener->OnCommitOrChange(CPopupEvent(std::any(this), CPopupEvent::COMMIT_OR_CHANGE));
    }

    void Cancel()
    {
        if (m_loop)
            return m_loop->End(2);
        const std::vector<IEditListener*> listeners = m_popupListeners;
        for (IEditListener* listener : listeners)
            listener->OnCancel(CPopupEvent(std::any(this), CPopupEvent::CANCEL));
    }

    CModalLoop* m_loop = nullptr;
};

// A text style to edit in: the face and character height of a text writer's font. A vertical
// style edits horizontally in the same face: a rotated single-line edit cannot be laid out.
struct CTextStyle
{
    std::string faceName;
    int32_t height = 0;
    bool vertical = false;
};

class IPopupEdit
{
public:
    virtual ~IPopupEdit() = default;
    virtual bool Edit(const RECT& rect, std::string& textOut, const std::string& initialText, int32_t selStart,
                      int32_t selEnd, const CTextStyle* style) = 0;
};

class CPopupEdit : public CPopupImplementer<CEditA>, public IPopupEdit
{
public:
    CPopupEdit();
    ~CPopupEdit() override;

    // Runs the editor modally at `rect` (screen); true when the user committed. `textOut` gets the
    // final text either way.
    bool Edit(const RECT& rect, std::string& textOut, const std::string& initialText, int32_t selStart,
              int32_t selEnd, const CTextStyle* style) override;
    // The same with a ready font (null: the default) and no own parent: the active window is used.
    bool Open(const RECT& rect, CWnd* parent, const std::string& text, int32_t selStart, int32_t selEnd,
              const CFont* font);

    // ES_LEFT, ES_CENTER or ES_RIGHT for the next Open: a right-aligned edit grows to the left.
    void SetAlignment(DWORD alignStyle) { m_alignStyle = alignStyle & (ES_CENTER | ES_RIGHT); }
    // The size the edit needs for `text`, never below the initial rectangle.
    CRect NeededRect(const std::string& text) const;

protected:
    void OnCreated() override;
    void OnEditUpdate() override;

private:
    void Resize();

    CRect m_initialRect;
    std::unique_ptr<CFont> m_font;
    const CFont* m_useFont = nullptr;
    DWORD m_alignStyle = ES_LEFT;
};
}
