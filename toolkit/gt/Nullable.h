#pragma once

namespace GT
{
// Null-object marker: an object that stands in for "nothing" answers true and ignores writes.
class INullable
{
public:
    virtual ~INullable() = default;
    virtual bool IsNull() const = 0;
};
}
