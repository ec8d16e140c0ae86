#include "editor/CResourceFactory.h"

#include "model/CVeyTextWriter.h"
#include "ui/controls/CVeyStateBitmap.h"

std::unique_ptr<CVeyResource> CResourceFactory::CreateBitmap() { return std::make_unique<CVeyStateBitmap>(); }

std::unique_ptr<CVeyResource> CResourceFactory::CreateTextWriter() { return std::make_unique<CTextWriter>(); }

std::unique_ptr<CVeyGraphDrawer> CResourceFactory::CreateGraphDrawer() { return std::make_unique<CGraphDrawer>(); }
