#pragma once
// The librarian's form-view base: a form from a dialog template whose controls are laid out anew
// from the template whenever the view changes size, that fits its frame to the form, and that
// passes its controls' notifications on to the main window.
#include "librarian/gp/DlgTempl.h"
#include "platform/DocView.h"

namespace GP
{
class CFormViewEx : public CFormView
{
public:
    explicit CFormViewEx(UINT templateId);

    virtual bool RoutesCommandsToMainWindow() const;
    // Moves the controls for a client area of cx by cy pixels (a CDlgLayout pass).
    virtual void Layout(int cx, int cy);

    void OnInitialUpdate() override;

protected:
    const CDlgTempl& GetTemplate() const { return m_template; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;

private:
    CDlgTempl m_template;
    bool m_ready = false;
    bool m_routing = false;
};
}
