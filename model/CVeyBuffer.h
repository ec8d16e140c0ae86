#pragma once
// Common base of structs and values: a named stretch of the parameter memory with a parent chain.
#include "model/CVeyAddress.h"

#include <string>

namespace GT { class ATextOut; }
class CVeyStruct;
class CVeyRootStruct;

class CVeyBuffer
{
public:
    virtual const std::string& GetName() const = 0;
    // Relative to the parent's begin; absolute for a root.
    virtual const CVeyAddressRange& GetAddressRange() const = 0;
    virtual CVeyStruct* GetParent() const = 0;
    virtual bool Attach(CVeyStruct* parent) = 0;
    virtual void DumpContents(GT::ATextOut& out) const = 0;
    virtual void DumpAbsoluteNames(GT::ATextOut& out) const = 0;

    // The topmost ancestor; a buffer without parent is its own root.
    const CVeyBuffer* GetRoot() const;
    CVeyBuffer* GetRoot();
    // The root as a root struct, or null (a value or struct not attached under one).
    CVeyRootStruct* GetRootStruct() const;
    // The same, with the absolute begin of this buffer found on the same walk up the parents.
    CVeyRootStruct* GetRootStructAndBegin(int32_t& absoluteBegin) const;
    CVeyAddressRange GetAbsoluteAddressRange() const;
    // "fm.pat.common.patchName"; a root's path is its bare name.
    std::string GetPathName() const;
    // path, ", address=%08lX %08lX, " with the absolute range.
    void DumpAddress(GT::ATextOut& out) const;
    // path and a newline.
    void DumpPath(GT::ATextOut& out) const;

protected:
    // GetRootStructAndBegin without the parent's kept answer.
    CVeyRootStruct* WalkToRootStruct(int32_t& absoluteBegin) const;

    // Values are held by value in their leaf and copied as plain records: no virtual destructor
    // here; structs declare their own.
    ~CVeyBuffer() = default;
};
