#pragma once

#include <cstddef>
#include <cstdint>

// How a window system lays out the pixels of an image it gives (an X server's image, a Wayland screen copy).
struct PixelLayout {
    int bitsPerPixel = 32;
    bool msbFirst = false;
    std::uint32_t redMask = 0xFF0000;
    std::uint32_t greenMask = 0x00FF00;
    std::uint32_t blueMask = 0x0000FF;
};

// Rows of such pixels, top row first.
struct SourceRows {
    const std::uint8_t* data = nullptr;
    std::ptrdiff_t bytesPerLine = 0;
    PixelLayout layout;
};

// Rows of 3-byte B,G,R pixels: `top` is where the top row goes, `step` the distance to the row below it, negative
// for the bottom-up rows of the pixel buffer.
struct TargetRows {
    std::uint8_t* top = nullptr;
    std::ptrdiff_t step = 0;
};

// The 32-bit little-endian B,G,R,X layout of nearly every true-colour X server and of Wayland's XRGB8888, which has
// a fast conversion.
bool isBgrxLayout(const PixelLayout& layout);

// Converts width x height pixels into 3-byte B,G,R pixels, each channel scaled to 8 bits.
void convertPixelRows(const SourceRows& source, int width, int height, const TargetRows& target);

// The general conversion, one pixel at a time, for any true-colour layout; the reference for the fast path.
void convertPixelRowsGeneral(const SourceRows& source, int width, int height, const TargetRows& target);

// The row kernels of the B,G,R,X conversion, chosen by what the processor offers; public for the tests and benchmarks.
using BgrxRowKernel = void (*)(const std::uint8_t* source, int width, std::uint8_t* target);
void convertBgrxRowPortable(const std::uint8_t* source, int width, std::uint8_t* target);
#if defined(__x86_64__) || defined(__i386__)
// Needs SSSE3.
void convertBgrxRowSsse3(const std::uint8_t* source, int width, std::uint8_t* target);
// Needs AVX2.
void convertBgrxRowAvx2(const std::uint8_t* source, int width, std::uint8_t* target);
#endif
// The fastest kernel this processor runs.
BgrxRowKernel bestBgrxRowKernel();
// The kernel convertPixelRows uses from now on; bestBgrxRowKernel() unless a benchmark compares them.
void useBgrxRowKernel(BgrxRowKernel kernel);
