#include "ui/BmpFile.h"

#include <QByteArray>

namespace {
constexpr std::uint32_t kHeaderBytes = 14 + 40;

void putLE(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}
} // namespace

std::vector<std::uint8_t> encodeBmp24(const QImage& image) {
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto width = std::uint32_t(rgb.width());
    const auto height = std::uint32_t(rgb.height());
    const std::uint32_t lineWidth = (width * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = lineWidth * height;

    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    putLE(out, kHeaderBytes + pixelBytes, 4);
    putLE(out, 0, 4);
    putLE(out, kHeaderBytes, 4);
    putLE(out, 40, 4);
    putLE(out, width, 4);
    putLE(out, height, 4);
    putLE(out, 1, 2);
    putLE(out, 24, 2);
    putLE(out, 0, 4);
    putLE(out, pixelBytes, 4);
    putLE(out, 2835, 4);
    putLE(out, 2835, 4);
    putLE(out, 0, 4);
    putLE(out, 0, 4);
    for (int y = int(height) - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            out.push_back(std::uint8_t(qBlue(line[x])));
            out.push_back(std::uint8_t(qGreen(line[x])));
            out.push_back(std::uint8_t(qRed(line[x])));
        }
        out.insert(out.end(), lineWidth - width * 3, 0);
    }
    return out;
}

QImage decodeBmp(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty())
        return {};
    return QImage::fromData(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())), "BMP");
}
