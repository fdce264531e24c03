#pragma once

#include "pixels/BitmapData.h"

#include <cstdint>
#include <ostream>
#include <vector>

inline void PrintTo(const TPoint& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ")";
}

// Painting pixel buffers and writing BMP file images for the pixel tests.
namespace PixelTest {

inline void SetPixel(TBDBitmapData& buffer, int x, int y, std::uint32_t rgb) {
    std::uint8_t* pixel = buffer.Bits + static_cast<std::ptrdiff_t>(buffer.Height - 1 - y) * buffer.LineWidth + 3 * x;
    pixel[0] = static_cast<std::uint8_t>(rgb);
    pixel[1] = static_cast<std::uint8_t>(rgb >> 8);
    pixel[2] = static_cast<std::uint8_t>(rgb >> 16);
}

inline void Fill(TBDBitmapData& buffer, int width, int height, std::uint32_t rgb) {
    buffer.Clear();
    buffer.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(buffer, x, y, rgb);
        }
    }
}

// Copies the width x height area at (left, top) of `from` into `to`.
inline void Cut(const TBDBitmapData& from, int left, int top, int width, int height, TBDBitmapData& to) {
    to.Clear();
    to.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(to, x, y, from.Pixel(left + x, top + y));
        }
    }
}

struct BmpFields {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t fileType = 0x4D42;
    std::uint32_t infoSize = 40;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t dataOffset = 54;
};

inline void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// A BMP file image: the 14-byte file header, a 40-byte information header, then `pixelBytes`.
inline std::vector<std::uint8_t> BmpImage(const BmpFields& fields, const std::vector<std::uint8_t>& pixelBytes) {
    std::vector<std::uint8_t> bytes;
    PutLittleEndian(bytes, fields.fileType, 2);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(54 + pixelBytes.size()), 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, fields.dataOffset, 4);
    PutLittleEndian(bytes, fields.infoSize, 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(fields.width), 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(fields.height), 4);
    PutLittleEndian(bytes, 1, 2);
    PutLittleEndian(bytes, fields.bitCount, 2);
    PutLittleEndian(bytes, fields.compression, 4);
    for (int i = 0; i < 5; ++i) {
        PutLittleEndian(bytes, 0, 4);
    }
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
