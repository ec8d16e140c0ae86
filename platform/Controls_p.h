#pragma once
// Not part of the interface: how a control puts its Qt widget into its window and keeps the
// window text and the widget's text the same.
#include "platform/Controls.h"

#include <QWidget>

#include <functional>

namespace PlatformDetail
{
// Makes `content` fill the window and follow its window text through `setText`; the widget's own
// changes come back through SyncWindowText.
void AttachContent(CWnd& window, QWidget* content, std::function<void(const QString&)> setText);
void SyncWindowText(CWnd& window, const QString& text);
}
