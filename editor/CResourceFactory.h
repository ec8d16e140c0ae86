#pragma once
// The editor's resource factory: state bitmaps read from the script folder's image files (BMP,
// PNG or any other format the platform decodes, chosen by the contents), text writers that draw
// with the platform's fonts, and graph drawers that draw with the platform's drawing context.
#include "model/IVeyResourceFactory.h"

class CResourceFactory : public IVeyResourceFactory
{
public:
    // A bitmap whose image file cannot be read reports the file's path when it is first used,
    // before its user reports the failure in its own words.
    std::unique_ptr<CVeyResource> CreateBitmap() override;
    std::unique_ptr<CVeyResource> CreateTextWriter() override;
    std::unique_ptr<CVeyGraphDrawer> CreateGraphDrawer() override;
};
