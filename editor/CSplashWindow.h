#pragma once
// The start-up splash: a caption-less window with one picture, centred on the screen, shown while
// the script is read and kept at least a minimum time.
#include "platform/Gdi.h"
#include "platform/Wnd.h"
#include "toolkit/gt/Timeout.h"

#include <memory>
#include <string>

class CSplashWindow : public CWnd
{
public:
    // Takes the bitmap; false (and nothing made) when the window cannot be created.
    bool Create(CBitmap& bitmap, const std::string& title);
    void PaintNow();
    CBitmap& GetBitmap() { return m_bitmap; }

protected:
    void OnPaint() override;

private:
    void CenterOnScreen();
    CBitmap m_bitmap;
};

class CSplash
{
public:
    static constexpr long kMinimumTimeKey = 0;

    static CSplash& GetInstance();

    // Shows the picture of the bitmap resource (a missing picture shows nothing) and starts the
    // minimum display time.
    void Show(UINT bitmapId, UINT iconId, uint32_t minimumMs);
    // Brings the window to the top and paints it.
    void Refresh();
    // Waits out the rest of the minimum time, then destroys the window; harmless when closed.
    void Close();

    bool IsShown() const { return m_window != nullptr; }
    CSplashWindow* GetWindow() const { return m_window.get(); }

private:
    CSplash() = default;
    GT::CTimeoutTable m_timeouts;
    std::unique_ptr<CSplashWindow> m_window;
};
