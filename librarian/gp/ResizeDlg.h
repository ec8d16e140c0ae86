#pragma once
// A resizable dialog: it re-lays its controls out from its template on every size change, shows a
// size grip, never gets smaller than it was created, and keeps its size and position in the
// application's profile under the keys a derived dialog supplies.
#include "librarian/gp/DlgTempl.h"
#include "platform/Dialog.h"

#include <memory>
#include <string>

class CSizeGrip;

namespace GP
{
class CResizeDlg : public CDialog
{
public:
    CResizeDlg(UINT templateId, CWnd* parent = nullptr, bool grip = true);
    ~CResizeDlg() override;

    static constexpr UINT kGripId = 3;

protected:
    // Profile keys of the window rectangle and size. A key left empty is the profile's unnamed
    // entry of the unnamed section, which all such dialogs share (the window list keeps its size
    // there).
    virtual void GetPositionKey(std::string& section, std::string& entry);
    virtual void GetSizeKey(std::string& section, std::string& entry);
    // Moves the controls for a client area of cx by cy pixels.
    virtual void Layout(int cx, int cy);

    BOOL OnInitDialog() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnDestroy() override;

    const CDlgTempl& GetTemplate() const { return m_template; }
    CSize GetMinimumSize() const { return m_minimum; }

private:
    bool m_ready = false;
    CSize m_minimum;
    CDlgTempl m_template;
    bool m_hasGrip;
    std::unique_ptr<CSizeGrip> m_grip;
};
}
