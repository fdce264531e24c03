#pragma once

#include "pixels/PixelBuffer.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

inline void PrintTo(const TPoint& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ")";
}

// Painting pixel buffers and making BMP file images (with the program's codec) for the tests.
namespace PixelTest {

inline void Fill(TPixelBuffer& buffer, int width, int height, std::uint32_t rgb) {
    buffer.Clear();
    buffer.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            buffer.SetPixel(x, y, rgb);
        }
    }
}

// Copies the width x height area at (left, top) of `from` into `to`.
inline void Cut(const TPixelBuffer& from, int left, int top, int width, int height, TPixelBuffer& to) {
    to.Clear();
    to.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            to.SetPixel(x, y, from.Pixel(left + x, top + y));
        }
    }
}

// The 24-bit BMP file image, as the program's codec writes it, of a width x height picture whose pixel (x, y),
// counted from the top left, is rgb(x, y) as 0x00RRGGBB: what a click's picture text holds once decoded.
inline std::vector<std::uint8_t> Bmp24Image(int width, int height,
                                            const std::function<std::uint32_t(int x, int y)>& rgb) {
    TPixelBuffer picture;
    picture.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.SetPixel(x, y, rgb(x, y));
        }
    }
    return EncodeBmp24(picture);
}

// Header fields of a BMP file image that the codec would never write, for the cases the decoder must refuse.
struct BmpFields {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t fileType = 0x4D42;
    std::uint32_t infoSize = 40;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t dataOffset = 54;
};

inline void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The codec's headers with `fields` written over them, then `pixelBytes`.
inline std::vector<std::uint8_t> BmpImage(const BmpFields& fields, const std::vector<std::uint8_t>& pixelBytes) {
    std::vector<std::uint8_t> bytes = Bmp24Image(1, 1, [](int, int) { return 0u; });
    bytes.resize(54);
    PutLittleEndian(bytes, 0, fields.fileType, 2);
    PutLittleEndian(bytes, 2, static_cast<std::uint32_t>(54 + pixelBytes.size()), 4);
    PutLittleEndian(bytes, 10, fields.dataOffset, 4);
    PutLittleEndian(bytes, 14, fields.infoSize, 4);
    PutLittleEndian(bytes, 18, static_cast<std::uint32_t>(fields.width), 4);
    PutLittleEndian(bytes, 22, static_cast<std::uint32_t>(fields.height), 4);
    PutLittleEndian(bytes, 28, fields.bitCount, 2);
    PutLittleEndian(bytes, 30, fields.compression, 4);
    PutLittleEndian(bytes, 34, static_cast<std::uint32_t>(pixelBytes.size()), 4);
    bytes.insert(bytes.end(), pixelBytes.begin(), pixelBytes.end());
    return bytes;
}

// Bytes 0, 1, 2, ... for the rows of a width x height 24-bit image.
inline std::vector<std::uint8_t> CountingRows(int width, int height) {
    const int lineWidth = (3 * width + 3) / 4 * 4;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(lineWidth) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = static_cast<std::uint8_t>(i);
    }
    return rows;
}

} // namespace PixelTest
