#pragma once
// The tip bar: one process-wide tooltip-like window that shows lines of text beside the pointer
// while a control is hovered or dragged. Callers only set texts, position and visibility; the
// application's idle pass calls Update, which places, sizes and shows or hides the window in one
// step, so nothing is drawn between idle passes.
#include "platform/Wnd.h"

#include <cstdint>
#include <string>
#include <vector>

namespace UL
{
class ITipBar
{
public:
    virtual ~ITipBar() = default;
    virtual bool Create() { return true; }
    virtual bool Destroy() { return true; }
    virtual void SetText(const std::string& text, const CPoint& point) = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void SetLines(const std::vector<std::string>& lines, const CPoint& point) = 0;
    virtual void SetLines(const std::vector<std::string>& lines) = 0;
    virtual void SetPoint(const CPoint& point) = 0;
    virtual void SetOffset(const CSize& offset) = 0;
    virtual void SetMargins(const CRect& margins) = 0;
    virtual void Show(bool show) = 0;
    virtual bool IsShown() const { return false; }
    virtual void Update() = 0;
};

// The state and the setters; the window class does Create, Destroy and Update.
class ATipBar : public ITipBar
{
public:
    void SetText(const std::string& text, const CPoint& point) override;
    void SetText(const std::string& text) override;
    void SetLines(const std::vector<std::string>& lines, const CPoint& point) override;
    void SetLines(const std::vector<std::string>& lines) override;
    void SetPoint(const CPoint& point) override;
    void SetOffset(const CSize& offset) override;
    void SetMargins(const CRect& margins) override;
    void Show(bool show) override;
    bool IsShown() const override;

    const std::vector<std::string>& GetLines() const { return m_lines; }
    bool IsChanged() const { return m_changed; }

protected:
    std::vector<std::string> m_lines;
    CPoint m_point;
    CSize m_offset;
    CRect m_margins{2, 2, 2, 2};   // left, top, right, bottom
    bool m_shown = false;
    bool m_changed = false;
};

class CTipBar : public CWnd, public ATipBar
{
public:
    CTipBar();
    ~CTipBar() override;

    bool Create() override;
    bool Destroy() override;
    void Update() override;

    // Width: the widest line + 1; height: the sum of the line heights (default GUI font).
    static CSize MeasureLines(const std::vector<std::string>& lines);

protected:
    void OnPaint() override;
};

// The process-wide tip bar (never null; its window is made by Create).
ITipBar* GetTipBar();
}
