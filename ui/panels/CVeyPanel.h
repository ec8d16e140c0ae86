#pragma once
// Panels group views. A root panel is shown in a top-level window of its own; a node panel lies
// inside a root or node panel. A panel owns its child panels and controls, draws an optional
// background bitmap under them, opens and closes by its open condition over parameter values, and
// routes drawing and input to its children.
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/CVeyView.h"

#include <memory>
#include <string>
#include <vector>


class CVeyPanel : public CVeyView
{
public:
    ~CVeyPanel() override;

    // Root panel: false; node panel: true.
    virtual bool IsNodePanel() const = 0;
    // The control at a dotted path that starts with this panel's name (main.common.cutoff).
    virtual bool FindControl(const std::string& path, CVeyControl*& control);
    virtual bool FindPanel(const std::string& path, CVeyPanel*& panel);

    // The view's attributes, then "bitmapRef", "openCondition" and "reverseHandleMouse".
    bool LoadAttributes(CAttributes& attributes) override;
    void Draw(const UL::CDrawInfo& info) override;
    bool OnMouse(UL::CMouseInfo& info) override;
    bool OnMouseWheel(UL::CWheelInfo& info) override;
    bool OnTimer(const GT::CTimerInfo& info) override;
    bool OnLocatedEvent(CVeyLocatedEvent& event) override;
    bool OnValuesChanged(const std::vector<CVeyValue*>& changes) override;
    bool Open() override;
    bool Close() override;
    // Evaluates the open condition into the condition result.
    void UpdateFromValue() override;
    // Moves every child by the change of the panel's left and top.
    void SetRect(const RECT& rect) override;
    void DumpAttributes(GT::ATextOut& out) const override;
    void DumpNames(GT::ATextOut& out) const override;

    // Children are appended before they are converted, so a child that fails is still owned.
    CVeyPanel* AddChildPanel(std::unique_ptr<CVeyPanel> panel);
    CVeyControl* AddChildControl(std::unique_ptr<CVeyControl> control);
    const std::vector<std::unique_ptr<CVeyPanel>>& GetChildPanels() const { return m_childPanels; }
    const std::vector<std::unique_ptr<CVeyControl>>& GetChildControls() const { return m_childControls; }

    CVeyStateBitmap* GetBitmap() const { return m_bitmap.Get(); }
    const std::string& GetOpenCondition() const { return m_openCondition; }
    int32_t GetConditionResult() const { return m_conditionResult; }
    bool IsReverseMouseOrder() const { return m_reverseMouse; }

protected:
    // Creates every child panel, then every child control, with this panel as parent.
    bool CreateChildren();
    // The point test of routed input: inside the rectangle, or anywhere while capturing.
    bool AcceptsPoint(const CPoint& point) const;

    // Declared panels first: members go in reverse order, so controls are destroyed before panels.
    std::vector<std::unique_ptr<CVeyPanel>> m_childPanels;
    std::vector<std::unique_ptr<CVeyControl>> m_childControls;
    CVeyBitmapRef m_bitmap;
    std::string m_openCondition = "1";
    int32_t m_conditionResult = 1;
    bool m_reverseMouse = false;
};

class CVeyRootPanel : public CVeyPanel
{
public:
    bool IsNodePanel() const override { return false; }
    CVeyView* GetParent() const override { return nullptr; }
    // The panel's, then "windowPosition", "closeValueRef", "closeValue" and "modal".
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    // To the focused view; keys are never routed by position.
    bool OnKey(const UL::KeyInfo& info) override;

    // The window was activated (true) or left (false): leaving takes the focus from the focused view.
    void OnActivate(bool active);
    // The window lost the mouse: a view of this panel that held it is told (OnCaptureLost). Called
    // from the message loop, as what the view does may commit values.
    void EndCapture();
    // The user closed the window: writes the close value and commits it, so that the panel closes
    // through its open condition; without a close value, closes the panel.
    void WriteCloseValue();
    // The focused view loses the focus (the window moved).
    void KillViewFocus();

    const CPoint& GetWindowPosition() const { return m_windowPosition; }
    void SetWindowPosition(const CPoint& position) { m_windowPosition = position; }
    int32_t GetCloseValueIndex() const { return m_closeValueIndex; }
    int32_t GetCloseValue() const { return m_closeValue; }
    bool IsModal() const { return m_modal; }

protected:
    CPoint m_windowPosition;
    int32_t m_closeValueIndex = -1;
    int32_t m_closeValue = 0;
    bool m_modal = false;
};

class CVeyNodePanel : public CVeyPanel
{
public:
    bool IsNodePanel() const override { return true; }
    void SetCapture(bool capture) override;
    CVeyView* GetParent() const override { return m_parent; }
    CPoint& ClientToScreen(CPoint& out, const CPoint& point) const override;
    CPoint& ScreenToClient(CPoint& out, const CPoint& point) const override;
    bool Create(CVeyView* parent) override;
    void Invalidate(const CRect* rect) override;
    void Redraw(const CRect* rect) override;

protected:
    CVeyView* m_parent = nullptr;
};

// The seam through which the view manager makes panel objects.
class CVeyPanelFactory
{
public:
    virtual ~CVeyPanelFactory() = default;
    virtual std::unique_ptr<CVeyRootPanel> CreateRootPanel() = 0;
    virtual std::unique_ptr<CVeyNodePanel> CreateNodePanel();
};
