#pragma once
// Dialog resources written in code: a dialog described in dialog units becomes both the binary
// image that CDlgTempl reads and the platform's dialog template (in pixels) that creates the
// window, so the two always agree.
#include "platform/Dialog.h"

#include <cstdint>
#include <string>
#include <vector>

namespace GP
{
struct SDialogResourceItem
{
    EDialogControl kind;
    UINT id;
    std::string text;
    int16_t x, y, cx, cy;   // dialog units
    DWORD style = WS_VISIBLE;
};

struct SDialogResource
{
    std::string caption;
    int16_t cx = 0, cy = 0;   // dialog units
    std::string fontFace = "MS Shell Dlg";
    uint16_t fontPoints = 9;
    std::vector<SDialogResourceItem> items;
};

// The DLGTEMPLATEEX image (with DS_SETFONT) of the dialog.
std::vector<uint8_t> BuildDialogResource(const SDialogResource& dialog);
// Registers the image under `templateId` and the platform template made from it.
void RegisterDialog(UINT templateId, const SDialogResource& dialog);
}
