#include "platform/FontDialog.h"

#include "platform/Dialog.h"
#include "platform/Gdi_p.h"
#include "platform/Wnd_p.h"

#include <QApplication>
#include <QFontDialog>

#include <algorithm>
#include <cstring>

namespace
{
QFontDialog* OpenFontDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QFontDialog*>(w))
            if (dialog->isVisible())
                return dialog;
    return nullptr;
}
}

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

namespace UiDriver
{
BOOL IsFontDialogOpen()
{
    return OpenFontDialog() != nullptr;
}

BOOL FinishFontDialog(const char* face, int pixelHeight, int weight, bool italic, bool accept)
{
    QFontDialog* dialog = OpenFontDialog();
    if (!dialog)
        return FALSE;
    if (!accept)
    {
        dialog->reject();
        return TRUE;
    }
    QFont font(QString::fromLocal8Bit(face ? face : ""));
    font.setPixelSize(std::max(pixelHeight, 1));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(italic);
    dialog->setCurrentFont(font);
    // The dialog matches the face against the installed ones; keep what the caller asked for.
    QFont selected = dialog->currentFont();
    selected.setFamily(font.family());
    selected.setPixelSize(font.pixelSize());
    selected.setWeight(font.weight());
    selected.setItalic(italic);
    dialog->setCurrentFont(selected);
    dialog->accept();
    return TRUE;
}
}
