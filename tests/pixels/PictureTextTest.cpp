#include "pixels/PictureText.h"

#include "PixelTestSupport.h"
#include "pixels/Base64.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// A 24-bit BMP file image of width x height pixels, every pixel blue 1, green 2, red 3.
std::vector<std::uint8_t> BmpImage(int width, int height) {
    return PixelTest::Bmp24Image(width, height, [](int, int) { return 0x030201u; });
}

} // namespace

TEST(PictureTextTest, WithoutPictureTextThereIsNoPicture) {
    EXPECT_EQ(DecodePicture(""), nullptr);
}

TEST(PictureTextTest, APictureTextDecodesToItsPixels) {
    const std::shared_ptr<const TPixelBuffer> picture = DecodePicture(StreamToBase64(BmpImage(3, 2)));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 3);
    EXPECT_EQ(picture->height, 2);
    EXPECT_EQ(picture->Pixel(2, 1), 0x030201u);
}

TEST(PictureTextTest, PictureTextThatIsNoBase64Throws) {
    EXPECT_THROW(DecodePicture("not base64"), std::invalid_argument);
}

TEST(PictureTextTest, BytesThatAreNotA24BitBmpGiveAnEmptyPicture) {
    const std::shared_ptr<const TPixelBuffer> picture = DecodePicture(StreamToBase64(Bytes("hello, not a picture")));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 0);
    EXPECT_EQ(picture->size, 0);
}
