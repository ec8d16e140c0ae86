#pragma once
// The librarian's windows: the main frame with its menus, tool bar and status bar, and the child
// frames of the image (titled "Main", never closed by the user) and of librarian files (the
// file's title, with "*" while modified). The Window menu starts with the list of the open
// children ("Move to Top", also at the pointer by Ctrl+G or a right click on a child's title bar).
#include "librarian/gp/MDIChildWndEx.h"
#include "librarian/gp/MDIFrameWndEx.h"
#include "platform/FrameBars.h"
#include "toolkit/gt/TextOut.h"

#include <string>
#include <vector>

class CParamView;

// Short notices of the MIDI connection ("MIDI connect error.", "MIDI reconnected.") in the main
// frame's status bar, where they stay until the next.
class CStatusBarTextOut : public GT::ATextOut
{
public:
    explicit CStatusBarTextOut(CFrameBars& bars) : m_bars(bars) {}

protected:
    void WriteRaw(const std::string& text) override;

private:
    CFrameBars& m_bars;
    std::string m_line;
};

class CMainFrame : public GP::CMDIFrameWndEx
{
public:
    CMainFrame();

    // Creates the frame with its bars; false when it cannot be made.
    bool LoadFrame(const std::string& title);

    BOOL OnCommand(UINT id) override;
    void OnUpdateCommandUI(CCmdUI* ui) override;
    // The application name alone without an active child or with a maximised one, else
    // "<application> - <child title>"; set only when it changes. Also refreshes the bars.
    void RefreshTitle();
    std::string MakeTitle() const;
    // Opens the files one after the other, the main window first brought forward.
    void OnDropFiles(const std::vector<std::string>& paths) override;
    CFrameBars& GetBars() { return m_bars; }
    GT::ITextOut& GetStatusOut() { return m_statusOut; }

protected:
    int OnCreate() override;
    void OnClose() override;
    void OnDestroy() override;
    CFrameBars* GetControlBars() override { return &m_bars; }

private:
    void BuildWindowMenu();

    CFrameBars m_bars;
    CStatusBarTextOut m_statusOut{m_bars};
    CMenu m_windowMenu;
    // Stands where the list of children goes until the Window menu first opens.
    CMenu m_windowGoStart;
};

class CChildFrame : public GP::CMDIChildWndEx
{
public:
    explicit CChildFrame(UINT templateId) : GP::CMDIChildWndEx(static_cast<int32_t>(templateId)) {}

    CParamView* GetView() const;
    BOOL OnCommand(UINT id) override;
    void OnUpdateCommandUI(CCmdUI* ui) override;
    // The frame's title as it should read now.
    virtual std::string MakeTitle() const = 0;
    // Sets the title when it changed.
    void RefreshTitle();

protected:
    // A right click on the title bar shows the list of open children at the pointer instead of
    // the system menu.
    void OnNcRButtonDown(UINT hitTest, CPoint point) override;
    void OnContextMenu(CWnd* window, CPoint point) override;
};

class CFileFrame : public CChildFrame
{
public:
    CFileFrame();
    std::string MakeTitle() const override;

protected:
    // Asks to save a modified file; the file stays open when the user cancels or saving fails.
    void OnClose() override;
};

class CImageFrame : public CChildFrame
{
public:
    CImageFrame();
    std::string MakeTitle() const override { return "Main"; }
    // The image lives as long as the program.
    bool CanUserClose() const override { return false; }
};

// Asks whether to save a modified document: true when it may be closed (saved, or not wanted).
class CDoc;
bool SaveModified(CDoc* document);
