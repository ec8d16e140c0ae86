#include "editor/CResourceFactory.h"

#include "model/CVeyTextWriter.h"
#include "ui/controls/CVeyStateBitmap.h"

namespace
{
// A control that cannot load its bitmap only names itself; the script's author also needs to
// know which file is missing or cannot be decoded.
class CFileStateBitmap : public CVeyStateBitmap
{
public:
    bool AddRef() override
    {
        if (CVeyStateBitmap::AddRef())
            return true;
        ReportErrorWithDetail("Unable to read bitmap file.", GetFilePath());
        return false;
    }
};
}

std::unique_ptr<CVeyResource> CResourceFactory::CreateBitmap() { return std::make_unique<CFileStateBitmap>(); }

std::unique_ptr<CVeyResource> CResourceFactory::CreateTextWriter() { return std::make_unique<CTextWriter>(); }

std::unique_ptr<CVeyGraphDrawer> CResourceFactory::CreateGraphDrawer() { return std::make_unique<CGraphDrawer>(); }
