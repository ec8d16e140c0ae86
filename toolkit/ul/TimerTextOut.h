#pragma once
// A transient message window: every output shows the text in a small tool window over the main
// window, which hides itself once the display time has passed (timer 1, on the platform clock).
#include "platform/Wnd.h"
#include "toolkit/gt/TextOut.h"

#include <memory>
#include <string>

namespace UL
{
class ATimerTextOut : public GT::ATextOut
{
public:
    virtual bool Create() { return true; }
    virtual bool Destroy() { return true; }
    virtual void SetDuration(uint32_t milliseconds) { m_duration = milliseconds; }
    virtual uint32_t GetDuration() const { return m_duration; }
    virtual void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom)
    {
        m_margins[0] = left;
        m_margins[1] = top;
        m_margins[2] = right;
        m_margins[3] = bottom;
    }
    // Left, top, right, bottom.
    virtual const int32_t* GetMargins() const { return m_margins; }

private:
    uint32_t m_duration = 3000;
    int32_t m_margins[4] = {20, 20, 20, 20};
};

class CTimerTextOutWindow : public ATimerTextOut
{
public:
    class CWindowX : public CWnd
    {
    public:
        explicit CWindowX(CTimerTextOutWindow* owner) : m_owner(owner) {}
        std::string m_text;
        UINT_PTR m_timer = 0;

    protected:
        void OnPaint() override;
        void OnTimer(UINT_PTR id) override;

    private:
        CTimerTextOutWindow* m_owner;
    };

    CTimerTextOutWindow();
    ~CTimerTextOutWindow() override;

    bool Create() override;
    bool Destroy() override;
    void WriteRaw(const std::string& text) override;

    // Null until the first output.
    CWindowX* GetWindow() const { return m_window.get(); }

private:
    std::unique_ptr<CWindowX> m_window;
};
}
