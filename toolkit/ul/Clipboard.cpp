#include "toolkit/ul/Clipboard.h"

#include "platform/Shell.h"

namespace GT
{
std::string CClipboard::DoReadAll()
{
    std::string text;
    return GetClipboardText(&text) ? text : std::string();
}

void CClipboard::WriteRaw(const std::string& text)
{
    SetClipboardText(text);
}
}

namespace
{
GT::CClipboard& Clipboard()
{
    static GT::CClipboard clipboard;
    return clipboard;
}
}

GT::ATextOut& GetClipboardTextOut() { return Clipboard(); }
GT::ATextIn& GetClipboardTextIn() { return Clipboard(); }
