#include "platform/GifEncoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>

namespace GifEncoding
{
namespace
{
constexpr uint32_t kColourMask = 0xFFFFFF;

int Channel(uint32_t colour, int channel) { return static_cast<int>((colour >> (16 - 8 * channel)) & 0xFF); }

struct CEntry
{
    uint32_t colour;
    uint32_t count;
};

// A box of colours: entries [begin, end) of the histogram.
struct CBox
{
    size_t begin;
    size_t end;
    uint64_t pixels = 0;
    int longestChannel = 0;
    int longestRange = 0;
};

void Measure(const std::vector<CEntry>& entries, CBox& box)
{
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    box.pixels = 0;
    for (size_t i = box.begin; i < box.end; ++i)
    {
        box.pixels += entries[i].count;
        for (int c = 0; c < 3; ++c)
        {
            low[c] = std::min(low[c], Channel(entries[i].colour, c));
            high[c] = std::max(high[c], Channel(entries[i].colour, c));
        }
    }
    box.longestRange = -1;
    for (int c = 0; c < 3; ++c)
        if (high[c] - low[c] > box.longestRange)
        {
            box.longestRange = high[c] - low[c];
            box.longestChannel = c;
        }
}

// The colour that stands for a box: the mean of its pixels.
uint32_t MeanColour(const std::vector<CEntry>& entries, const CBox& box)
{
    std::array<uint64_t, 3> sums{0, 0, 0};
    for (size_t i = box.begin; i < box.end; ++i)
        for (int c = 0; c < 3; ++c)
            sums[c] += static_cast<uint64_t>(Channel(entries[i].colour, c)) * entries[i].count;
    uint32_t colour = 0;
    for (int c = 0; c < 3; ++c)
        colour = colour << 8 | static_cast<uint32_t>((sums[c] + box.pixels / 2) / box.pixels);
    return colour;
}

std::vector<uint32_t> MedianCut(std::vector<CEntry>& entries, size_t maxColours)
{
    std::vector<CBox> boxes{CBox{0, entries.size()}};
    Measure(entries, boxes[0]);
    while (boxes.size() < maxColours)
    {
        // The box whose halving helps most: wide spread, many pixels.
        CBox* widest = nullptr;
        uint64_t best = 0;
        for (CBox& box : boxes)
        {
            const uint64_t score = static_cast<uint64_t>(box.longestRange) * box.pixels;
            if (box.end - box.begin >= 2 && score > best)
            {
                best = score;
                widest = &box;
            }
        }
        if (!widest)
            break;
        const int channel = widest->longestChannel;
        std::sort(entries.begin() + static_cast<std::ptrdiff_t>(widest->begin),
                  entries.begin() + static_cast<std::ptrdiff_t>(widest->end),
                  [channel](const CEntry& a, const CEntry& b) { return Channel(a.colour, channel) < Channel(b.colour, channel); });
        // Cut where half the box's pixels lie below; both halves keep at least one colour.
        uint64_t below = 0;
        size_t cut = widest->begin + 1;
        for (size_t i = widest->begin; i + 1 < widest->end; ++i)
        {
            below += entries[i].count;
            cut = i + 1;
            if (below * 2 >= widest->pixels)
                break;
        }
        CBox upper{cut, widest->end};
        widest->end = cut;
        Measure(entries, *widest);
        Measure(entries, upper);
        boxes.push_back(upper);
    }
    std::vector<uint32_t> palette;
    palette.reserve(boxes.size());
    for (const CBox& box : boxes)
        palette.push_back(MeanColour(entries, box));
    return palette;
}

uint8_t Nearest(const std::vector<uint32_t>& palette, uint32_t colour)
{
    size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < palette.size() && bestDistance > 0; ++i)
    {
        int distance = 0;
        for (int c = 0; c < 3; ++c)
        {
            const int d = Channel(palette[i], c) - Channel(colour, c);
            distance += d * d;
        }
        if (distance < bestDistance)
        {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

int WriteToVector(GifFileType* gif, const GifByteType* bytes, int length)
{
    auto* file = static_cast<std::vector<uint8_t>*>(gif->UserData);
    file->insert(file->end(), bytes, bytes + length);
    return length;
}
}

CIndexedImage Quantize(const CPixels& picture, size_t maxColours)
{
    maxColours = std::clamp<size_t>(maxColours, 2, 256);
    CIndexedImage result;
    if (!picture.pixels || picture.width <= 0 || picture.height <= 0)
        return result;
    std::unordered_map<uint32_t, uint32_t> counts;
    for (int y = 0; y < picture.height; ++y)
    {
        const uint32_t* row = picture.pixels + static_cast<size_t>(y) * picture.stride;
        for (int x = 0; x < picture.width; ++x)
            ++counts[row[x] & kColourMask];
    }
    std::vector<CEntry> entries;
    entries.reserve(counts.size());
    for (const auto& [colour, count] : counts)
        entries.push_back({colour, count});
    // The same picture gives the same file.
    std::sort(entries.begin(), entries.end(), [](const CEntry& a, const CEntry& b) { return a.colour < b.colour; });

    std::unordered_map<uint32_t, uint8_t> indexOf;
    if (entries.size() <= maxColours)
    {
        for (const CEntry& entry : entries)
        {
            indexOf[entry.colour] = static_cast<uint8_t>(result.palette.size());
            result.palette.push_back(entry.colour);
        }
    }
    else
    {
        result.palette = MedianCut(entries, maxColours);
        for (const CEntry& entry : entries)
            indexOf[entry.colour] = Nearest(result.palette, entry.colour);
    }
    result.indices.reserve(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y)
    {
        const uint32_t* row = picture.pixels + static_cast<size_t>(y) * picture.stride;
        for (int x = 0; x < picture.width; ++x)
            result.indices.push_back(indexOf[row[x] & kColourMask]);
    }
    return result;
}

bool Encode(const CPixels& picture, std::vector<uint8_t>& file)
{
    file.clear();
    if (!picture.pixels || picture.width <= 0 || picture.height <= 0 || picture.width > 0xFFFF ||
        picture.height > 0xFFFF || picture.stride < static_cast<size_t>(picture.width))
        return false;
    CIndexedImage indexed = Quantize(picture, 256);

    // The colour table holds a power of two colours, at least two.
    int bits = 1;
    while ((size_t(1) << bits) < indexed.palette.size())
        ++bits;
    std::vector<GifColorType> colours(size_t(1) << bits, GifColorType{0, 0, 0});
    for (size_t i = 0; i < indexed.palette.size(); ++i)
        colours[i] = GifColorType{static_cast<GifByteType>(indexed.palette[i] >> 16),
                                  static_cast<GifByteType>(indexed.palette[i] >> 8),
                                  static_cast<GifByteType>(indexed.palette[i])};
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    if (!map)
        return false;

    int error = 0;
    GifFileType* gif = EGifOpen(&file, WriteToVector, &error);
    if (!gif)
    {
        GifFreeMapObject(map);
        return false;
    }
    EGifSetGifVersion(gif, true);
    bool written = EGifPutScreenDesc(gif, picture.width, picture.height, bits, 0, map) == GIF_OK &&
                   EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr) == GIF_OK;
    for (int y = 0; written && y < picture.height; ++y)
        written = EGifPutLine(gif, indexed.indices.data() + static_cast<size_t>(y) * static_cast<size_t>(picture.width),
                              picture.width) == GIF_OK;
    // Closing writes the trailer and frees the encoder, also after a failure.
    written = EGifCloseFile(gif, &error) == GIF_OK && written;
    GifFreeMapObject(map);
    if (!written)
        file.clear();
    return written;
}
}
