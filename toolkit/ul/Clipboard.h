#pragma once
// The clipboard as a text source and sink: every Write replaces the clipboard's text with the
// text of that one call; reading gives "" when the clipboard holds no text.
#include "toolkit/gt/TextOut.h"

namespace GT
{
class CClipboard : public ATextIn, public ATextOut
{
protected:
    std::string DoRead() override { return DoReadAll(); }
    std::string DoReadAll() override;
    void WriteRaw(const std::string& text) override;
};
}

// The text-output side of the process-wide clipboard.
GT::ATextOut& GetClipboardTextOut();
GT::ATextIn& GetClipboardTextIn();
