#pragma once
// The editor's resource factory: state bitmaps, text writers and graph drawers that draw with the
// platform's drawing context.
#include "model/IVeyResourceFactory.h"

class CResourceFactory : public IVeyResourceFactory
{
public:
    std::unique_ptr<CVeyResource> CreateBitmap() override;
    std::unique_ptr<CVeyResource> CreateTextWriter() override;
    std::unique_ptr<CVeyGraphDrawer> CreateGraphDrawer() override;
};
