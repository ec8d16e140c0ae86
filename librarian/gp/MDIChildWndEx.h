#pragma once
// The librarian's child-frame base: its place can be stored in the profile under its placement
// index and is restored at creation once the application allows it; commands make it fill the MDI
// client's height, width or both, and keep it above its siblings.
#include "platform/MdiFrame.h"

#include <string>

namespace GP
{
// A child frame restores its stored placement only while this is 2; the application sets it when
// it loads its options, before any child frame exists.
extern int32_t ChildPlacementMode;

constexpr UINT ID_WINDOW_FULL = 57149;
constexpr UINT ID_WINDOW_FULL_HEIGHT = 57150;
constexpr UINT ID_WINDOW_FULL_WIDTH = 57151;
constexpr UINT ID_WINDOW_SAVE_POSITION = 57152;
constexpr UINT ID_WINDOW_ALWAYS_ON_TOP = 57153;

class CMDIChildWndEx : public CMDIChildWnd
{
public:
    explicit CMDIChildWndEx(int32_t placementIndex);

    BOOL Create(const char* title, CMDIFrameWnd* frame, const RECT& rect = rectDefault) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    virtual std::string GetTitle() const;
    virtual bool RestoresPlacement() const;
    virtual bool CanStayOnTop() const;
    // False for a frame the user must not close because the program relies on its document for
    // as long as it runs: its system menu's Close and its close button show greyed, and close
    // requests (WM_CLOSE, the window list) are refused. Destroying the frame, as the program does
    // when it ends, still works. Creation reads it for the greyed Close.
    virtual bool CanUserClose() const;

    BOOL OnCommand(UINT id) override;
    void OnUpdateCommandUI(CCmdUI* ui) override;

    // The profile entry of this child's placement in section "Window".
    std::string GetPlacementEntry() const;
    bool IsOnTop() const { return m_onTop; }

protected:
    void OnClose() override;

private:
    void FitToClient(UINT command);

    int32_t m_placementIndex;
    bool m_onTop = false;
};
}
