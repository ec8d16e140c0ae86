#pragma once
// GIF files of 24-bit pictures. A GIF holds at most 256 colours: a picture that has no more is
// written with exactly its own colours; any other gets 256 colours chosen by median cut (the
// colour box with the widest spread of the most pixels is halved at its median, again and
// again), and each pixel takes the nearest of them. No dithering: flat areas stay flat.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace GifEncoding
{
// Pixels are 0xAARRGGBB words (alpha not looked at), row after row, `stride` words apart.
struct CPixels
{
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    size_t stride = 0;
};

// A palette of 0x00RRGGBB colours and each pixel's index into it, row after row.
struct CIndexedImage
{
    std::vector<uint32_t> palette;
    std::vector<uint8_t> indices;
};

// At most `maxColours` (2 to 256) colours for the picture.
CIndexedImage Quantize(const CPixels& picture, size_t maxColours = 256);

// The whole GIF file (GIF89a, one image, no transparency). False, with `file` empty, for a
// picture without pixels or wider or higher than 65535, or when the encoder fails.
bool Encode(const CPixels& picture, std::vector<uint8_t>& file);
}
