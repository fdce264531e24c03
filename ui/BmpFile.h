#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// The image as a BMP file: 24-bit, uncompressed, bottom-up rows padded to four bytes, the only kind the picture
// search reads. An empty image gives no bytes.
std::vector<std::uint8_t> encodeBmp24(const QImage& image);
// The picture in BMP file bytes; a null image when they are no BMP Qt can read.
QImage decodeBmp(const std::vector<std::uint8_t>& bytes);
