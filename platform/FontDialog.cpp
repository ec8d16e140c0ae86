#include "platform/FontDialog.h"

#include "platform/Dialog.h"
#include "platform/DialogLanguage_p.h"
#include "platform/Gdi_p.h"
#include "platform/Wnd_p.h"

#include <QFontDialog>

#include <algorithm>
#include <cstring>

CFontDialog::CFontDialog(const LOGFONT* initial, DWORD flags, CWnd* parent)
    : m_flags(flags), m_parent(parent)
{
    if (initial)
        m_font = *initial;
}

CFontDialog::~CFontDialog() = default;

intptr_t CFontDialog::DoModal()
{
    QWidget* parent = m_parent && m_parent->GetImpl() ? m_parent->GetImpl()->widget.data() : nullptr;
    PlatformDetail::FollowUserLanguageInStandardDialogs();
    QFontDialog dialog(QFontFromLogFont(m_font), parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return IDCANCEL;

    const QFont chosen = dialog.selectedFont();
    LOGFONT result = m_font;
    const int pixels = chosen.pixelSize() > 0 ? chosen.pixelSize()
                                              : static_cast<int>(chosen.pointSizeF() * 96.0 / 72.0 + 0.5);
    result.lfHeight = -std::max(pixels, 1);
    result.lfWidth = 0;
    result.lfWeight = chosen.weight();
    result.lfItalic = chosen.italic() ? 1 : 0;
    result.lfUnderline = chosen.underline() ? 1 : 0;
    result.lfStrikeOut = chosen.strikeOut() ? 1 : 0;
    const QByteArray face = chosen.family().toLocal8Bit();
    std::memset(result.lfFaceName, 0, sizeof result.lfFaceName);
    std::memcpy(result.lfFaceName, face.constData(), std::min<size_t>(face.size(), LF_FACESIZE - 1));
    m_font = result;
    return IDOK;
}

void CFontDialog::GetCurrentFont(LOGFONT* font) const
{
    if (font)
        *font = m_font;
}
