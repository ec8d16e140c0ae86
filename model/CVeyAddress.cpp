#include "model/CVeyAddress.h"

#include <algorithm>
#include <cstdio>

void CVeyAddress::SetFromBytes(const std::vector<uint8_t>& bytes)
{
    SetFromBytes(bytes.data(), bytes.size());
}

void CVeyAddress::SetFromBytes(const uint8_t* bytes, size_t count)
{
    uint32_t a = 0;   // unsigned: an over-long input wraps instead of overflowing
    for (size_t i = 0; i < count; ++i)
        a = a * 128u + bytes[i];
    m_value = static_cast<int32_t>(a);
}

std::vector<uint8_t> CVeyAddress::ToBytes(int addressSize) const
{
    const int count = std::clamp(addressSize, 1, 4);
    std::vector<uint8_t> bytes(count);
    const uint32_t a = static_cast<uint32_t>(m_value);
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>((a >> (7 * (count - 1 - i))) & 0x7F);
    return bytes;
}

bool CVeyAddress::ParseBytes(const std::vector<uint8_t>& bytes, int32_t& value)
{
    if (bytes.size() > 4)
        return false;
    CVeyAddress address;
    address.SetFromBytes(bytes);
    if (address.Get() < 0 || address.Get() >= kVeyAddressLimit)
        return false;
    value = address.Get();
    return true;
}

bool CVeyAddressRange::Intersect(const CVeyAddressRange& a, const CVeyAddressRange& b)
{
    begin = std::max(a.begin, b.begin);
    end = std::min(a.end, b.end);
    return begin < end;
}

std::string MakeArrayElementName(const std::string& name, int index)
{
    return name + "[" + std::to_string(index) + "]";
}

bool MatchPathPrefix(const std::string& path, const std::string& name, std::string& rest)
{
    if (path.compare(0, name.size(), name) != 0)
        return false;
    if (path.size() == name.size())
    {
        rest.clear();
        return true;
    }
    if (path[name.size()] != '.' || path.size() == name.size() + 1)
        return false;
    rest = path.substr(name.size() + 1);
    return true;
}

std::string GetPathComponents(const std::string& path, int first, int count)
{
    if (first < 0 || count == 0 || count < -1)
        return {};
    std::vector<std::string> parts;
    size_t start = 0;
    while (true)
    {
        const size_t dot = path.find('.', start);
        parts.push_back(path.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    const size_t from = static_cast<size_t>(first);
    if (from >= parts.size())
        return {};
    const size_t to = count == -1 ? parts.size() : from + static_cast<size_t>(count);
    if (to > parts.size())
        return {};
    std::string result;
    for (size_t i = from; i < to; ++i)
    {
        if (i > from)
            result += '.';
        result += parts[i];
    }
    return result;
}
