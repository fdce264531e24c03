#include "Bmp24.h"

namespace {

void AppendLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<std::uint8_t> Bmp24Image(int width, int height, const std::function<std::uint32_t(int x, int y)>& rgb) {
    const auto rowBytes = static_cast<std::uint32_t>((3 * width + 3) / 4 * 4);
    const auto pixelBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> bytes{'B', 'M'};
    AppendLittleEndian(bytes, 54 + pixelBytes, 4);
    AppendLittleEndian(bytes, 0, 4);
    AppendLittleEndian(bytes, 54, 4);
    for (const std::uint32_t field : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)})
        AppendLittleEndian(bytes, field, 4);
    AppendLittleEndian(bytes, 1, 2);
    AppendLittleEndian(bytes, 24, 2);
    AppendLittleEndian(bytes, 0, 4);
    AppendLittleEndian(bytes, pixelBytes, 4);
    bytes.resize(bytes.size() + 16, 0);
    // Bottom row first, each row padded to 4 bytes.
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            AppendLittleEndian(bytes, rgb(x, y), 3);
        bytes.resize(bytes.size() + (rowBytes - 3 * static_cast<std::uint32_t>(width)), 0);
    }
    return bytes;
}
