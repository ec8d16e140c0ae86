#include "platform/Shell.h"

#include "platform/TextCodec_p.h"
#include "platform/WinApp.h"
#include "platform/Wnd_p.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

namespace
{
MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

int g_programCursor = -1;

int RealMessageBox(CWnd* owner, const char* text, const char* caption, UINT type)
{
    QWidget* parent = owner && owner->GetImpl()->widget ? owner->GetImpl()->widget.data() : nullptr;
    QMessageBox box(parent);
    box.setText(PlatformDetail::TextFromBytes(text));
    box.setWindowTitle(PlatformDetail::TextFromBytes(caption));
    switch (type & MB_ICONMASK)
    {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::Warning); break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton escape = QMessageBox::Ok;
    switch (type & MB_TYPEMASK)
    {
    case MB_OKCANCEL: buttons = QMessageBox::Ok | QMessageBox::Cancel; escape = QMessageBox::Cancel; break;
    case MB_YESNOCANCEL: buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; escape = QMessageBox::Cancel; break;
    case MB_YESNO: buttons = QMessageBox::Yes | QMessageBox::No; escape = QMessageBox::No; break;
    default: break;
    }
    box.setStandardButtons(buttons);
    box.setEscapeButton(escape);
    // What the box says, on one line, for whoever watches the program's milestones.
    std::string said = "message ";
    for (const char* c = text ? text : ""; *c; ++c)
        said += *c == '\n' ? ' ' : *c;
    ReportMilestone(said.c_str());
    const int chosen = box.exec();
    switch (chosen)
    {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Cancel: return IDCANCEL;
    default: return escape == QMessageBox::No ? IDNO : escape == QMessageBox::Cancel ? IDCANCEL : IDOK;
    }
}

Qt::CursorShape ShapeOf(int imageId, bool system, bool* known)
{
    *known = true;
    if (system)
    {
        switch (imageId)
        {
        case IDC_ARROW: return Qt::ArrowCursor;
        case IDC_IBEAM: return Qt::IBeamCursor;
        case IDC_WAIT: return Qt::WaitCursor;
        case IDC_CROSS: return Qt::CrossCursor;
        default: break;
        }
    }
    else if (imageId >= kFirstProgramCursor && imageId <= kLastProgramCursor)
    {
        // The program's own drag, knob and pointer cursors, drawn with the closest shapes.
        static const Qt::CursorShape kProgram[] = {
            Qt::SizeVerCursor, Qt::SizeHorCursor, Qt::SizeAllCursor, Qt::PointingHandCursor, Qt::OpenHandCursor,
            Qt::ClosedHandCursor, Qt::SplitVCursor, Qt::SplitHCursor, Qt::UpArrowCursor, Qt::CrossCursor,
            Qt::SizeBDiagCursor, Qt::SizeFDiagCursor, Qt::DragMoveCursor, Qt::DragCopyCursor, Qt::ForbiddenCursor};
        return kProgram[imageId - kFirstProgramCursor];
    }
    *known = false;
    return Qt::ArrowCursor;
}
}

int MessageBox(CWnd* owner, const char* text, const char* caption, UINT type)
{
    if (Hook())
        return Hook()(text ? text : "", caption ? caption : "", type);
    if (!QGuiApplication::instance())
        return IDCANCEL;
    return RealMessageBox(owner, text, caption, type);
}

int AfxMessageBox(const char* text, UINT type)
{
    CWinApp* app = AfxGetApp();
    return MessageBox(app ? app->m_pMainWnd : nullptr, text, app ? app->GetAppName().c_str() : "", type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}

bool GetClipboardText(std::string* text)
{
    if (!text || !QGuiApplication::instance() || !QGuiApplication::clipboard())
        return false;
    const QString content = QGuiApplication::clipboard()->text();
    *text = PlatformDetail::TextToBytes(content);
    return !content.isEmpty();
}

bool SetClipboardText(const std::string& text)
{
    if (!QGuiApplication::instance() || !QGuiApplication::clipboard())
        return false;
    QGuiApplication::clipboard()->setText(PlatformDetail::TextFromBytes(text));
    return true;
}

bool SetProgramCursor(int imageId, bool system)
{
    bool known = false;
    const Qt::CursorShape shape = ShapeOf(imageId, system, &known);
    if (!known || !QGuiApplication::instance())
        return false;
    if (g_programCursor < 0)
        QGuiApplication::setOverrideCursor(QCursor(shape));
    else
        QGuiApplication::changeOverrideCursor(QCursor(shape));
    g_programCursor = imageId;
    return true;
}

void RestoreWindowCursors()
{
    if (QGuiApplication::instance())
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    g_programCursor = -1;
}

int GetProgramCursor() { return g_programCursor; }
