#pragma once
// What the model's drawing code needs of a "bitmap" resource (a strip of equally sized states):
// the text writer's bitmap fonts draw through it. The state bitmap of the interface implements it.
#include "platform/Geometry.h"

#include <cstdint>

namespace UL
{
class CDrawInfo;
}

class IVeyStateImage
{
public:
    virtual ~IVeyStateImage() = default;
    // Loads the image on the first reference; false when it cannot be loaded.
    virtual bool AddRef() = 0;
    virtual void Release() = 0;
    virtual int32_t GetStateCount() const = 0;
    // The size of a state (-1: the plain state size).
    virtual void GetStateSize(CSize& size, int32_t state) const = 0;
    virtual void DrawState(const UL::CDrawInfo& info, const CPoint& point, int32_t state) = 0;
};
