#include "pixels/PictureText.h"

#include "pixels/Base64.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// A 24-bit uncompressed BMP file image of width x height pixels, every pixel blue 1, green 2, red 3.
std::vector<std::uint8_t> BmpImage(std::uint32_t width, std::uint32_t height) {
    const std::uint32_t lineWidth = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> bytes(54 + lineWidth * height, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLittleEndian(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    PutLittleEndian(bytes, 10, 54, 4);
    PutLittleEndian(bytes, 14, 40, 4);
    PutLittleEndian(bytes, 18, width, 4);
    PutLittleEndian(bytes, 22, height, 4);
    PutLittleEndian(bytes, 26, 1, 2);
    PutLittleEndian(bytes, 28, 24, 2);
    for (std::uint32_t row = 0; row < height; ++row) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t offset = 54 + row * lineWidth + x * 3;
            bytes[offset] = 1;
            bytes[offset + 1] = 2;
            bytes[offset + 2] = 3;
        }
    }
    return bytes;
}

} // namespace

TEST(PictureTextTest, WithoutPictureTextThereIsNoPicture) {
    EXPECT_EQ(DecodePicture(""), nullptr);
}

TEST(PictureTextTest, APictureTextDecodesToItsPixels) {
    const std::shared_ptr<const TBDBitmapData> picture = DecodePicture(StreamToBase64(BmpImage(3, 2)));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width, 3);
    EXPECT_EQ(picture->Height, 2);
    EXPECT_EQ(picture->Pixel(2, 1), 0x030201u);
}

TEST(PictureTextTest, PictureTextThatIsNoBase64Throws) {
    EXPECT_THROW(DecodePicture("not base64"), std::invalid_argument);
}

TEST(PictureTextTest, BytesThatAreNotA24BitBmpGiveAnEmptyPicture) {
    const std::shared_ptr<const TBDBitmapData> picture = DecodePicture(StreamToBase64(Bytes("hello, not a picture")));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width, 0);
    EXPECT_EQ(picture->Size, 0);
}
