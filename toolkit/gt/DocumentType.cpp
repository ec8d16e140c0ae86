#include "toolkit/gt/DocumentType.h"

#include "platform/DesktopRegistration.h"
#include "platform/Profile.h"
#include "toolkit/gt/SystemPaths.h"

namespace GT
{
bool RegisterDocumentType(const std::string& extension, const std::string& typeId, const std::string& description,
                          int, bool remove)
{
    SDesktopDocumentType type;
    type.extension = extension;
    type.typeId = typeId;
    type.description = description;
    type.programPath = GetModuleFileName();
    type.programName = GetApplicationName();
    return remove ? RemoveDesktopDocumentType(type) : RegisterDesktopDocumentType(type);
}
}
