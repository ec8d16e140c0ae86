#pragma once
// Not part of the interface: what the application object needs of the message queue.
#include "platform/Messages.h"

class QEventLoop;

namespace PlatformDetail
{
// The main loop registers itself so that WM_QUIT can end it; null when it ends.
void SetMainLoop(QEventLoop* loop);
bool HasPostedMessagesForMainLoop();
}
