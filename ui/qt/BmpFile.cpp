#include "ui/qt/BmpFile.h"

#include "pixels/PixelBuffer.h"

std::vector<std::uint8_t> encodeBmp24(const QImage& image) {
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    TPixelBuffer picture;
    if (!picture.SetSize(rgb.width(), rgb.height()))
        return {};
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            picture.SetPixel(x, y, line[x] & 0xFFFFFFu);
    }
    return EncodeBmp24(picture);
}

QImage decodeBmp(const std::vector<std::uint8_t>& bytes) {
    TPixelBuffer picture;
    if (!DecodeBmp24(bytes, picture) || picture.width == 0 || picture.height == 0)
        return {};
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x)
            line[x] = 0xFF000000u | picture.Pixel(x, y);
    }
    return image;
}
