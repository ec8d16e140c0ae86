#include "model/CVeyBuffer.h"

#include "model/CVeyStruct.h"
#include "toolkit/gt/TextOut.h"

#include <vector>

const CVeyBuffer* CVeyBuffer::GetRoot() const
{
    const CVeyBuffer* buffer = this;
    while (const CVeyBuffer* parent = buffer->GetParent())
        buffer = parent;
    return buffer;
}

CVeyBuffer* CVeyBuffer::GetRoot()
{
    return const_cast<CVeyBuffer*>(static_cast<const CVeyBuffer*>(this)->GetRoot());
}

CVeyRootStruct* CVeyBuffer::GetRootStruct() const
{
    int32_t begin = 0;
    return GetRootStructAndBegin(begin);
}

CVeyRootStruct* CVeyBuffer::GetRootStructAndBegin(int32_t& absoluteBegin) const
{
    // Unsigned sums, as in GetAbsoluteAddressRange.
    if (const CVeyStruct* parent = GetParent())
    {
        uint32_t begin = 0;
        CVeyRootStruct* root = parent->GetCachedRootAndBegin(begin);
        absoluteBegin = static_cast<int32_t>(begin + static_cast<uint32_t>(GetAddressRange().begin));
        return root;
    }
    return WalkToRootStruct(absoluteBegin);
}

CVeyRootStruct* CVeyBuffer::WalkToRootStruct(int32_t& absoluteBegin) const
{
    // Unsigned sums, as in GetAbsoluteAddressRange.
    uint32_t begin = static_cast<uint32_t>(GetAddressRange().begin);
    const CVeyStruct* top = GetParent();
    if (top)
    {
        begin += static_cast<uint32_t>(top->GetAddressRange().begin);
        while (const CVeyStruct* parent = top->GetParent())
        {
            begin += static_cast<uint32_t>(parent->GetAddressRange().begin);
            top = parent;
        }
    }
    else
    {
        top = dynamic_cast<const CVeyStruct*>(this);
    }
    absoluteBegin = static_cast<int32_t>(begin);
    if (!top)
        return nullptr;
    const int kind = top->GetKind();
    if (kind != CVeyStruct::kRoot && kind != CVeyStruct::kMidi)
        return nullptr;
    return const_cast<CVeyRootStruct*>(static_cast<const CVeyRootStruct*>(top));
}

CVeyAddressRange CVeyBuffer::GetAbsoluteAddressRange() const
{
    const CVeyAddressRange& own = GetAddressRange();
    // Unsigned sums: a tree that passed Attach stays far below 2^31, but nothing here may overflow.
    uint32_t begin = static_cast<uint32_t>(own.begin);
    for (const CVeyBuffer* parent = GetParent(); parent; parent = parent->GetParent())
        begin += static_cast<uint32_t>(parent->GetAddressRange().begin);
    const uint32_t end = begin + static_cast<uint32_t>(own.GetSize());
    return CVeyAddressRange(static_cast<int32_t>(begin), static_cast<int32_t>(end));
}

std::string CVeyBuffer::GetPathName() const
{
    std::vector<const std::string*> names;
    for (const CVeyBuffer* buffer = this; buffer; buffer = buffer->GetParent())
        names.push_back(&buffer->GetName());
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it)
    {
        if (!path.empty() || it != names.rbegin())
            path += '.';
        path += **it;
    }
    return path;
}

void CVeyBuffer::DumpAddress(GT::ATextOut& out) const
{
    const CVeyAddressRange range = GetAbsoluteAddressRange();
    out.Printf("%s, address=%08X %08X, ", GetPathName().c_str(), static_cast<unsigned>(range.begin),
               static_cast<unsigned>(range.end));
}

void CVeyBuffer::DumpPath(GT::ATextOut& out) const
{
    out.Printf("%s\n", GetPathName().c_str());
}
