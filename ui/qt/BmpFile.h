#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// Between Qt's images and the program's one BMP codec (EncodeBmp24, DecodeBmp24), so that the editor shows exactly
// the pixels the picture search looks for.
// The image as the codec's BMP file image: 24-bit, uncompressed, bottom-up rows padded to four bytes. An empty image
// gives no bytes.
std::vector<std::uint8_t> encodeBmp24(const QImage& image);
// The picture in BMP file bytes as the codec reads them; a null image when the codec refuses them, or for a picture
// without pixels.
QImage decodeBmp(const std::vector<std::uint8_t>& bytes);
