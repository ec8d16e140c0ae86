#include "ui/controls/CVeyPopupEdit.h"

#include "model/CVeyTextWriter.h"
#include "platform/Wnd.h"
#include "toolkit/ul/PopupEdit.h"
#include "ui/controls/CVeyView.h"

#include <cstring>

namespace
{
CVeyPopupEdit*& Installed()
{
    static CVeyPopupEdit* edit = nullptr;
    return edit;
}

// The window that shows the root view: the visible top-level window whose client area starts at
// the root view's origin on screen. Null when none does; the edit then takes the active window.
CWnd* FindHostWindow(const CVeyView& rootView)
{
    CPoint origin;
    rootView.ClientToScreen(origin, CPoint(0, 0));
    for (CWnd* window : CWnd::GetTopLevelWindows())
    {
        if (!window->IsWindowVisible())
            continue;
        POINT client{0, 0};
        window->ClientToScreen(&client);
        if (client.x == origin.x && client.y == origin.y)
            return window;
    }
    return nullptr;
}

// The writer's face and height in a horizontal font: a rotated one-line edit cannot be laid out.
bool MakeEditFont(CVeyTextWriter* writer, CFont& font)
{
    CVeyFontSettings settings;
    if (!writer || !writer->GetFont(settings) || settings.faceName.empty())
        return false;
    LOGFONT log;
    log.lfHeight = -settings.height;
    log.lfWeight = FW_NORMAL;
    std::strncpy(log.lfFaceName, settings.faceName.c_str(), LF_FACESIZE - 1);
    log.lfFaceName[LF_FACESIZE - 1] = '\0';
    return font.CreateFontIndirect(&log) != FALSE;
}
}

CModalPopupEdit& CModalPopupEdit::GetInstance()
{
    static CModalPopupEdit edit;
    return edit;
}

bool CModalPopupEdit::Run(CVeyView& rootView, const CRect& rect, std::string& resultText,
                          const std::string& currentText, CVeyTextWriter* textWriter)
{
    UL::CPopupEdit edit;
    CPoint topLeft;
    rootView.ClientToScreen(topLeft, rect.TopLeft());
    const CRect screen(topLeft, rect.Size());
    CFont font;
    const bool hasFont = MakeEditFont(textWriter, font);
    // A text value holds its padding and zero bytes; the edit shows the text up to the first zero.
    const std::string text(currentText.c_str(), strnlen(currentText.c_str(), currentText.size()));
    if (!edit.Open(screen, FindHostWindow(rootView), text, 0, -1, hasFont ? &font : nullptr))
        return false;
    resultText = edit.GetText();
    return true;
}

CVeyPopupEdit& VeyGetPopupEdit()
{
    return Installed() ? *Installed() : CModalPopupEdit::GetInstance();
}

CVeyPopupEdit* VeySetPopupEdit(CVeyPopupEdit* edit)
{
    CVeyPopupEdit* before = Installed();
    Installed() = edit;
    return before;
}
