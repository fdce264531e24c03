#pragma once

#include "pixels/PixelBuffer.h"

// Screens and pictures for the search benchmarks, drawn by code so that every run measures the same pixels.
namespace BenchImages {

constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;

// Where the benchmark pictures are cut from the desktop: a taskbar icon and the clock area, near the bottom right.
constexpr int IconLeft = 1700;
constexpr int IconTop = 1044;
constexpr int ClockLeft = 1790;
constexpr int ClockTop = 1040;
// A place inside the lines of dark text on white in the lower window of the desktop.
constexpr int TextLeft = 800;
constexpr int TextTop = 700;

// A desktop: wallpaper, windows with glyph rows of text, desktop and taskbar icons, a gradient and a noisy photo.
void PaintDesktop(TPixelBuffer& screen);
// One colour over the whole screen.
void PaintFlat(TPixelBuffer& screen, std::uint32_t rgb);
// Lines of black text on white over the whole screen.
void PaintText(TPixelBuffer& screen);
// colour(x, y) at every pixel.
void PaintPattern(TPixelBuffer& screen, std::uint32_t (*colour)(int x, int y));
// The width x height area at (left, top) of `screen`.
void Cut(const TPixelBuffer& screen, int left, int top, int width, int height, TPixelBuffer& picture);
void SetPixel(TPixelBuffer& buffer, int x, int y, std::uint32_t rgb);

} // namespace BenchImages
