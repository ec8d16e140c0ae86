#pragma once
// What views and operators need of the process-wide tip bar: a text, a screen point and
// visibility. The application points this at the toolkit's tip bar window at start-up; until then
// (and in tests) the state is only recorded.
#include "platform/Geometry.h"

#include <string>

class IVeyTipBar
{
public:
    virtual ~IVeyTipBar() = default;
    virtual void SetText(const std::string& text) = 0;
    virtual void SetPoint(const CPoint& point) = 0;
    virtual void Show(bool show) = 0;
};

// Keeps what it was told; the stand-in until a real tip bar is installed.
class CVeyRecordingTipBar : public IVeyTipBar
{
public:
    void SetText(const std::string& text) override { m_text = text; }
    void SetPoint(const CPoint& point) override { m_point = point; }
    void Show(bool show) override { m_shown = show; }

    const std::string& GetText() const { return m_text; }
    const CPoint& GetPoint() const { return m_point; }
    bool IsShown() const { return m_shown; }

private:
    std::string m_text;
    CPoint m_point;
    bool m_shown = false;
};

// The installed tip bar, or the recording stand-in (never null).
IVeyTipBar& VeyGetTipBar();
// Installs a tip bar (not owned); null restores the stand-in. Returns the one installed before.
IVeyTipBar* VeySetTipBar(IVeyTipBar* tipBar);
// The stand-in, for tests that read what the views told the tip bar.
CVeyRecordingTipBar& VeyGetRecordingTipBar();
