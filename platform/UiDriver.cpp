#include "platform/UiDriver.h"

#include "platform/TextCodec_p.h"
#include "platform/Wnd_p.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QFileDialog>
#include <QMimeData>
#include <QUrl>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QSlider>
#include <QTest>

namespace
{
int QtKeyFromVirtual(UINT vk)
{
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return static_cast<int>(vk);
    if (vk >= VK_F1 && vk <= VK_F12)
        return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    switch (vk)
    {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_DELETE: return Qt::Key_Delete;
    default: return 0;
    }
}

Qt::KeyboardModifiers Modifiers(UINT modifiers)
{
    Qt::KeyboardModifiers m;
    if (modifiers & MK_SHIFT)
        m |= Qt::ShiftModifier;
    if (modifiers & MK_CONTROL)
        m |= Qt::ControlModifier;
    if (modifiers & UiDriver::MK_ALT)
        m |= Qt::AltModifier;
    return m;
}

QWidget* FocusTarget()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    return QApplication::focusWidget();
}

// A key as the window system gives it: the shortcut map sees it first, then the focused widget.
void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    if (text.isEmpty())
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    else
        QTest::sendKeyEvent(QTest::Click, target, static_cast<Qt::Key>(key), text, modifiers);
}

void SendClick(QWidget* widget, QPoint local, Qt::MouseButton button)
{
    QPointer<QWidget> guard(widget);
    const QPointF global = widget->mapToGlobal(QPointF(local));
    // The pointer is where the user clicks: what opens at the pointer opens there.
    QCursor::setPos(global.toPoint());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), global, button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    if (!guard)
        return;
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(local), global, button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

// The shown top-level dialog of one kind, or null.
template <class TDialog>
TDialog* OpenDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<TDialog*>(w))
            if (dialog->isVisible())
                return dialog;
    return nullptr;
}

QFileDialog* OpenFileDialog() { return OpenDialog<QFileDialog>(); }
QFontDialog* OpenFontDialog() { return OpenDialog<QFontDialog>(); }
}

namespace UiDriver
{
BOOL PressKey(UINT virtualKey, UINT modifiers)
{
    QWidget* target = FocusTarget();
    const int key = QtKeyFromVirtual(virtualKey);
    if (!target || key == 0)
        return FALSE;
    QString text;
    if (virtualKey == VK_RETURN)
        text = QStringLiteral("\r");
    else if (virtualKey == VK_ESCAPE)
        text = QString(QChar(27));
    SendKey(target, key, Modifiers(modifiers), text);
    return TRUE;
}

BOOL KeyDown(UINT virtualKey, UINT modifiers, bool repeat)
{
    QWidget* target = FocusTarget();
    const int key = QtKeyFromVirtual(virtualKey);
    if (!target || key == 0)
        return FALSE;
    QKeyEvent press(QEvent::KeyPress, key, Modifiers(modifiers), QString(), repeat);
    QApplication::sendEvent(target, &press);
    return TRUE;
}

BOOL KeyUp(UINT virtualKey, UINT modifiers)
{
    QWidget* target = FocusTarget();
    const int key = QtKeyFromVirtual(virtualKey);
    if (!target || key == 0)
        return FALSE;
    QKeyEvent release(QEvent::KeyRelease, key, Modifiers(modifiers), QString(), false);
    QApplication::sendEvent(target, &release);
    return TRUE;
}

namespace
{
BOOL SendButton(CWnd& window, POINT client, bool right, UINT heldButtons, bool down)
{
    QWidget* widget = window.GetImpl() ? window.GetImpl()->widget.data() : nullptr;
    if (!widget)
        return FALSE;
    const QPoint local = QPoint(client.x, client.y) + window.GetImpl()->ClientOrigin();
    QWidget* target = widget->childAt(local);
    if (!target)
        target = widget;
    const QPoint targetLocal = target->mapFrom(widget, local);
    const Qt::MouseButton button = right ? Qt::RightButton : Qt::LeftButton;
    Qt::MouseButtons held;
    if (heldButtons & MK_LBUTTON)
        held |= Qt::LeftButton;
    if (heldButtons & MK_RBUTTON)
        held |= Qt::RightButton;
    if (down)
        held |= button;
    Qt::KeyboardModifiers modifiers;
    if (heldButtons & MK_SHIFT)
        modifiers |= Qt::ShiftModifier;
    if (heldButtons & MK_CONTROL)
        modifiers |= Qt::ControlModifier;
    QCursor::setPos(target->mapToGlobal(targetLocal));
    QMouseEvent event(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, QPointF(targetLocal),
                      QPointF(target->mapToGlobal(targetLocal)), button, held, modifiers);
    QApplication::sendEvent(target, &event);
    return TRUE;
}
}

BOOL MouseDown(CWnd& window, POINT client, bool right, UINT heldButtons)
{
    return SendButton(window, client, right, heldButtons, true);
}

BOOL MouseUp(CWnd& window, POINT client, bool right, UINT heldButtons)
{
    return SendButton(window, client, right, heldButtons, false);
}

BOOL MouseMove(CWnd& window, POINT client, UINT heldButtons)
{
    QWidget* widget = window.GetImpl() ? window.GetImpl()->widget.data() : nullptr;
    if (!widget)
        return FALSE;
    Qt::MouseButtons held;
    if (heldButtons & MK_LBUTTON)
        held |= Qt::LeftButton;
    if (heldButtons & MK_RBUTTON)
        held |= Qt::RightButton;
    const QPoint local = QPoint(client.x, client.y) + window.GetImpl()->ClientOrigin();
    QMouseEvent event(QEvent::MouseMove, QPointF(local), QPointF(widget->mapToGlobal(local)), Qt::NoButton, held,
                      QApplication::keyboardModifiers());
    QApplication::sendEvent(widget, &event);
    return TRUE;
}

BOOL DragSliderTo(CWnd& slider, int position)
{
    auto* control = qobject_cast<QSlider*>(slider.GetImpl()->content.data());
    if (!control)
        return FALSE;
    control->setSliderDown(true);
    control->setSliderPosition(position);
    return TRUE;
}

BOOL ReleaseSlider(CWnd& slider)
{
    auto* control = qobject_cast<QSlider*>(slider.GetImpl()->content.data());
    if (!control || !control->isSliderDown())
        return FALSE;
    control->setSliderDown(false);
    return TRUE;
}

BOOL TypeText(const std::string& text)
{
    for (const QChar ch : PlatformDetail::TextFromBytes(text))
    {
        QWidget* target = FocusTarget();
        if (!target)
            return FALSE;
        const int key = ch.isLetter() ? ch.toUpper().unicode() : ch.unicode();
        SendKey(target, key, ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(ch));
    }
    return TRUE;
}

BOOL Click(CWnd& window, POINT client, bool right)
{
    QWidget* widget = window.GetImpl()->widget;
    if (!widget)
        return FALSE;
    const QPoint local = QPoint(client.x, client.y) + window.GetImpl()->ClientOrigin();
    QWidget* target = widget->childAt(local);
    if (!target)
        target = widget;
    SendClick(target, target->mapFrom(widget, local), right ? Qt::RightButton : Qt::LeftButton);
    return TRUE;
}

BOOL DoubleClick(CWnd& window, POINT client)
{
    QWidget* widget = window.GetImpl()->widget;
    if (!widget)
        return FALSE;
    const QPoint local = QPoint(client.x, client.y) + window.GetImpl()->ClientOrigin();
    QWidget* target = widget->childAt(local);
    if (!target)
        target = widget;
    QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(widget, local));
    return TRUE;
}

BOOL ClickFrame(CWnd& window, bool right)
{
    QWidget* widget = window.GetImpl()->widget;
    if (!widget)
        return FALSE;
    const Qt::MouseButton button = right ? Qt::RightButton : Qt::LeftButton;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(widget->parentWidget()))
    {
        // A child frame's title bar is drawn by the program: it gets the press, then with the
        // right button the context menu the window system asks for, then the release.
        QPointer<QMdiSubWindow> guard(sub);
        const QPoint local(sub->width() / 2, std::max(widget->geometry().top() / 2, 0));
        const QPoint global = sub->mapToGlobal(local);
        QCursor::setPos(global);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), QPointF(global), button, button, Qt::NoModifier);
        QApplication::sendEvent(sub, &press);
        if (guard && right)
        {
            QContextMenuEvent request(QContextMenuEvent::Mouse, local, global);
            QApplication::sendEvent(sub, &request);
        }
        if (guard)
        {
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(local), QPointF(global), button, Qt::NoButton,
                                Qt::NoModifier);
            QApplication::sendEvent(sub, &release);
        }
        return TRUE;
    }
    QMouseEvent press(QEvent::NonClientAreaMouseButtonPress, QPointF(-2, -2), widget->mapToGlobal(QPointF(-2, -2)),
                      button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    return TRUE;
}

BOOL OpenSystemMenu(CWnd& child)
{
    QWidget* widget = child.GetImpl()->widget;
    auto* sub = widget ? qobject_cast<QMdiSubWindow*>(widget->parentWidget()) : nullptr;
    if (!sub || !sub->systemMenu())
        return FALSE;
    sub->showSystemMenu();
    QCoreApplication::processEvents();
    return OpenMenu() == sub->systemMenu() ? TRUE : FALSE;
}

BOOL ClickComboDropDown(CWnd& combo, int index)
{
    auto* box = qobject_cast<QComboBox*>(combo.GetImpl()->content.data());
    if (!box || !box->isEnabled() || index < 0 || index >= box->count())
        return FALSE;
    box->showPopup();
    QAbstractItemView* view = box->view();
    view->scrollTo(view->model()->index(index, 0));
    const QRect entry = view->visualRect(view->model()->index(index, 0));
    SendClick(view->viewport(), entry.center(), Qt::LeftButton);
    // The list ignores a release that comes too soon after it opened; Enter on the entry
    // chooses it then.
    if (view->isVisible())
    {
        view->setCurrentIndex(view->model()->index(index, 0));
        QTest::keyClick(view, Qt::Key_Return);
    }
    return TRUE;
}

void DeactivateApplication()
{
    if (QWidget* active = QApplication::activeWindow())
    {
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(active, &deactivate);
        QApplication::setActiveWindow(nullptr);
    }
}

namespace
{
// The entry at `position` of the menu made active, or null when there is none to choose.
QAction* ActivateEntry(QMenu* menu, int position)
{
    const QList<QAction*> actions = menu->actions();
    if (position < 0 || position >= actions.size() || actions[position]->isSeparator())
        return nullptr;
    menu->setActiveAction(actions[position]);
    return actions[position];
}

// Opens the sub-menu of the active entry with the keyboard; the sub-menu, or null.
QMenu* OpenActiveSubMenu(QMenu* menu, QAction* action)
{
    if (!action->menu() || !action->isEnabled())
        return nullptr;
    SendKey(menu, Qt::Key_Right, Qt::NoModifier, QString());
    QMenu* sub = OpenMenu();
    return sub && sub != menu ? sub : nullptr;
}
}

namespace
{
// The open popup menu, and the sub-menus of its first `depth` positions opened in turn: the
// menu that shows the entries of the next position; null when an entry is missing.
QMenu* OpenSubMenusTo(const std::vector<int>& positions, size_t depth)
{
    QMenu* menu = OpenMenu();
    for (size_t level = 0; menu && level < depth; ++level)
    {
        QAction* action = ActivateEntry(menu, positions[level]);
        menu = action ? OpenActiveSubMenu(menu, action) : nullptr;
    }
    return menu;
}
}

BOOL ChoosePopupMenuItem(const std::vector<int>& positions)
{
    QMenu* menu = positions.empty() ? nullptr : OpenSubMenusTo(positions, positions.size() - 1);
    if (!menu || !ActivateEntry(menu, positions.back()))
        return FALSE;
    SendKey(menu, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    return TRUE;
}

BOOL OpenPopupSubMenus(const std::vector<int>& positions)
{
    return !positions.empty() && OpenSubMenusTo(positions, positions.size()) ? TRUE : FALSE;
}

BOOL HoverPopupMenuItem(const std::vector<int>& positions)
{
    QMenu* menu = positions.empty() ? nullptr : OpenSubMenusTo(positions, positions.size() - 1);
    QAction* action = menu ? ActivateEntry(menu, positions.back()) : nullptr;
    if (!action)
        return FALSE;
    // As the pointer moving onto the entry does.
    action->hover();
    return TRUE;
}

int ClosePopupMenus()
{
    int closed = 0;
    while (QWidget* popup = QApplication::activePopupWidget())
    {
        popup->close();
        ++closed;
        if (closed > 64)
            break;
    }
    return closed;
}

std::vector<std::string> DescribePopupMenu(const std::vector<int>& subMenuPath)
{
    std::vector<std::string> lines;
    QMenu* menu = OpenMenu();
    // The top menu is the one no other open menu caused; walk down from it.
    while (menu)
    {
        QMenu* parent = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<QMenu*>(w))
                if (m->isVisible() && m != menu)
                    for (QAction* a : m->actions())
                        if (a->menu() == menu)
                            parent = m;
        if (!parent)
            break;
        menu = parent;
    }
    for (int position : subMenuPath)
    {
        if (!menu || position < 0 || position >= menu->actions().size())
            return lines;
        menu = menu->actions()[position]->menu();
    }
    if (!menu)
        return lines;
    for (QAction* action : menu->actions())
    {
        if (action->isSeparator())
        {
            lines.push_back("-");
            continue;
        }
        std::string line;
        if (action->isChecked())
            line += '*';
        if (!action->isEnabled())
            line += '~';
        line += PlatformDetail::TextToBytes(action->text());
        if (action->menu())
            line += '>';
        lines.push_back(line);
    }
    return lines;
}

std::string GetFileDialogCaption()
{
    QFileDialog* dialog = OpenFileDialog();
    return dialog ? PlatformDetail::TextToBytes(dialog->windowTitle()) : std::string();
}

BOOL EnterFileDialogFolder(const std::string& folder)
{
    QFileDialog* dialog = OpenFileDialog();
    if (!dialog)
        return FALSE;
    dialog->setDirectory(QString::fromLocal8Bit(folder.c_str()));
    // setDirectory does not count as the user entering it; the dialog's own navigation does.
    emit dialog->directoryEntered(dialog->directory().absolutePath());
    return TRUE;
}

BOOL SelectFileDialogFilter(int index)
{
    QFileDialog* dialog = OpenFileDialog();
    if (!dialog || index < 0 || index >= dialog->nameFilters().size())
        return FALSE;
    dialog->selectNameFilter(dialog->nameFilters()[index]);
    return TRUE;
}

BOOL FinishFileDialog(const std::string& fileName, bool accept)
{
    QFileDialog* dialog = OpenFileDialog();
    if (!dialog)
        return FALSE;
    if (!accept)
    {
        dialog->reject();
        return TRUE;
    }
    dialog->selectFile(QString::fromLocal8Bit(fileName.c_str()));
    // The dialog's own accept checks the name as the Open/Save button does.
    QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    return TRUE;
}

namespace
{
QMenuBar* MenuBarOf(CWnd& window)
{
    QWidget* widget = window.GetImpl()->widget;
    if (!widget)
        return nullptr;
    // A bar destroyed from its own handler stays a child until the main loop deletes it.
    for (QMenuBar* bar : widget->findChildren<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly))
        if (!bar->property(PlatformDetail::kDisposedProperty).toBool())
            return bar;
    return nullptr;
}
}

BOOL OpenMenuBarMenu(CWnd& window, int index)
{
    QMenuBar* bar = MenuBarOf(window);
    if (!bar || bar->isHidden() || index < 0 || index >= bar->actions().size())
        return FALSE;
    bar->setActiveAction(bar->actions().at(index));
    QCoreApplication::processEvents();
    return OpenMenu() != nullptr ? TRUE : FALSE;
}

std::vector<std::string> DescribeMenuBar(CWnd& window)
{
    std::vector<std::string> titles;
    if (QMenuBar* bar = MenuBarOf(window))
        for (QAction* action : bar->actions())
            titles.push_back(PlatformDetail::TextToBytes(action->text()));
    return titles;
}

BOOL SaveWindowPicture(CWnd& window, const std::string& path)
{
    QWidget* widget = window.GetImpl()->widget;
    if (!widget)
        return FALSE;
    return widget->grab().save(QString::fromLocal8Bit(path.c_str()), "PNG") ? TRUE : FALSE;
}

BOOL SavePopupMenuPicture(const std::string& path)
{
    QMenu* menu = OpenMenu();
    if (!menu)
        return FALSE;
    return menu->grab().save(QString::fromLocal8Bit(path.c_str()), "PNG") ? TRUE : FALSE;
}

BOOL SaveScreenPicture(const std::string& path, const RECT& area)
{
    const QRect region(area.left, area.top, area.right - area.left, area.bottom - area.top);
    if (region.isEmpty())
        return FALSE;
    QImage image(region.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(90, 110, 130));
    QPainter painter(&image);
    // Every visible top-level window; the active one and popups last, so they lie on top.
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() != Qt::Popup && w != QApplication::activeWindow())
            windows << w;
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible() && active->windowType() != Qt::Popup)
        windows << active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Popup)
            windows << w;
    for (QWidget* w : windows)
        painter.drawPixmap(w->geometry().topLeft() - region.topLeft(), w->grab());
    painter.end();
    return image.save(QString::fromLocal8Bit(path.c_str()), "PNG") ? TRUE : FALSE;
}

BOOL SaveWindowWithMenusPicture(CWnd& window, const std::string& path)
{
    QWidget* widget = window.GetImpl()->widget;
    if (!widget)
        return FALSE;
    QWidget* top = widget->window();
    QList<QWidget*> menus;
    QRect area = top->geometry();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Popup)
        {
            menus << w;
            area |= w->geometry();
        }
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(90, 110, 130));
    QPainter painter(&image);
    painter.drawPixmap(top->geometry().topLeft() - area.topLeft(), top->grab());
    for (QWidget* menu : menus)
        painter.drawPixmap(menu->geometry().topLeft() - area.topLeft(), menu->grab());
    painter.end();
    return image.save(QString::fromLocal8Bit(path.c_str()), "PNG") ? TRUE : FALSE;
}
}

namespace UiDriver
{
BOOL IsFontDialogOpen()
{
    return OpenFontDialog() != nullptr;
}

std::string GetFontDialogCaption()
{
    QFontDialog* dialog = OpenFontDialog();
    return dialog ? PlatformDetail::TextToBytes(dialog->windowTitle()) : std::string();
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

BOOL UiDriver::DropFiles(CWnd& window, const std::vector<std::string>& paths)
{
    QWidget* widget = window.GetImpl() ? window.GetImpl()->widget.data() : nullptr;
    if (!widget || !widget->acceptDrops())
        return FALSE;
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& path : paths)
        urls.push_back(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
    data.setUrls(urls);
    const QPointF centre(widget->width() / 2.0, widget->height() / 2.0);
    QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return FALSE;
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    return drop.isAccepted() ? TRUE : FALSE;
}
