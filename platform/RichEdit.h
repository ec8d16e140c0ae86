#pragma once
// A multi-line, read-only log control: text is added by replacing the selection, lines can be
// removed from the top. Character positions count a line end as one character.
#include "platform/Wnd.h"

class CRichEditCtrl : public CWnd
{
public:
    CRichEditCtrl();
    ~CRichEditCtrl() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // A fixed-pitch font of the given pixel height.
    void SetFixedFont(int height);
    // Start and end of -1 put the caret at the end.
    void SetSel(long start, long end);
    // Replaces the selection; "\r\n" line ends are stored as one line end.
    void ReplaceSel(const char* text);
    // The number of lines, counting the (possibly empty) line after the last line end.
    int GetLineCount() const;
    // The character position where a line starts, -1 beyond the last line.
    long LineIndex(int line) const;
    int GetFirstVisibleLine() const;
    void LineScroll(int lines);
    void SetRedraw(BOOL redraw);
    std::string GetText() const;

private:
    struct Data;
    std::unique_ptr<Data> m;
};
