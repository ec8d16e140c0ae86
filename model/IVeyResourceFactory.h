#pragma once
// Makes the resources that draw: the application installs one factory in the resource manager
// before the script's resources are created (tests install their own). The model has no drawing
// code of its own; what the factory returns is what the controls draw with.
#include "model/CVeyGraphDrawer.h"

#include <memory>

class CVeyResource;

class IVeyResourceFactory
{
public:
    virtual ~IVeyResourceFactory() = default;
    // A new state bitmap ("bitmap" element), not yet loaded; null when none can be made.
    virtual std::unique_ptr<CVeyResource> CreateBitmap() = 0;
    // A new text writer ("textWriter" element), not yet loaded; null when none can be made.
    virtual std::unique_ptr<CVeyResource> CreateTextWriter() = 0;
    // A new graph drawer for a control that draws curves; the caller owns it.
    virtual std::unique_ptr<CVeyGraphDrawer> CreateGraphDrawer() = 0;
};
