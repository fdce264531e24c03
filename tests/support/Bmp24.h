#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// The 24-bit BMP file image of a width x height picture whose pixel (x, y), counted from the top left, is
// rgb(x, y) as 0x00RRGGBB: what a click's picture text holds once decoded.
std::vector<std::uint8_t> Bmp24Image(int width, int height, const std::function<std::uint32_t(int x, int y)>& rgb);
