#include "editor/EditorResources.h"

#include "editor/CViewUpdateProgress.h"
#include "editor/EditorNames.h"
#include "platform/Dialog.h"
#include "platform/Gdi.h"
#include "platform/GuiBootstrap.h"
#include "toolkit/progress/CProgressBarB.h"

#include <map>

namespace
{
std::map<UINT, std::string>& BitmapPaths()
{
    static std::map<UINT, std::string> paths;
    return paths;
}

std::map<UINT, std::string>& ResourceStrings()
{
    static std::map<UINT, std::string> strings{{IDS_LANGUAGE, "English"}};
    return strings;
}
}

void RegisterBitmapResource(UINT id, const std::string& path)
{
    if (path.empty())
        BitmapPaths().erase(id);
    else
        BitmapPaths()[id] = path;
}

std::string GetBitmapResourcePath(UINT id)
{
    const auto found = BitmapPaths().find(id);
    if (found != BitmapPaths().end())
        return found->second;
    return GetProgramFolder() + "/Resources/Bitmap" + std::to_string(id) + ".bmp";
}

bool LoadBitmapResource(UINT id, CBitmap& bitmap)
{
    return bitmap.LoadPicture(GetBitmapResourcePath(id).c_str(), GetScreenDevicePixelRatio()) != FALSE;
}

std::string LoadResourceString(UINT id)
{
    const auto found = ResourceStrings().find(id);
    return found != ResourceStrings().end() ? found->second : std::string();
}

void SetResourceString(UINT id, const std::string& text) { ResourceStrings()[id] = text; }

bool LoadProgramIcon()
{
    return SetProgramIcon(GetProgramFolder() + "/Resources/Icon" + std::to_string(IDR_MAINFRAME) + ".png");
}


CViewUpdateProgress& CViewUpdateProgress::GetInstance()
{
    static CViewUpdateProgress progress(CProgressBarB::GetInstance());
    return progress;
}
