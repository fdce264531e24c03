#include "model/MouseObj.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using testing::HasSubstr;

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

std::string DecodeError(const std::string& text) {
    try {
        Base64ToStream(text);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(MouseObjTest, ANewClickIsALeftSingleClickAtThePointerEverySecondUntilStopped) {
    const TMouseObj click;
    EXPECT_EQ(click.fPosX, 0);
    EXPECT_EQ(click.fPosY, 0);
    EXPECT_EQ(click.fStartAt, "");
    EXPECT_EQ(click.fStartInterval, 10000);
    EXPECT_EQ(click.fRepeat, 100);
    EXPECT_EQ(click.fColor, "clBlack");
    EXPECT_EQ(click.fTop, 0);
    EXPECT_EQ(click.fBottom, 768);
    EXPECT_EQ(click.fLeft, 0);
    EXPECT_EQ(click.fRight, 1024);
    EXPECT_EQ(click.fBMP, "");
    EXPECT_EQ(click.fColorSimplar, 100);
    EXPECT_EQ(click.fBMPSimplar, 100);
    EXPECT_EQ(click.fRanBegin, 100);
    EXPECT_EQ(click.fRanEnd, 5000);
    EXPECT_EQ(click.pointType, ptCurrent);
    EXPECT_EQ(click.mouseType, mtLeft);
    EXPECT_EQ(click.actionType, atSingle);
    EXPECT_EQ(click.startType, stNow);
    EXPECT_EQ(click.stopType, spCommand);
    EXPECT_EQ(click.finishType, ftNothing);
    EXPECT_EQ(click.ScreenType, scFull);
    EXPECT_EQ(click.InteverType, itFixed);
    EXPECT_EQ(click.iClickInterval, 1000);
    EXPECT_EQ(click.hkStart, 1);
    EXPECT_EQ(click.hkStop, 2);
    EXPECT_EQ(click.fName, "New Click");
    EXPECT_TRUE(click.checked);
}

TEST(MouseObjTest, EncodesTheStandardTestVectors) {
    const std::vector<std::pair<std::string, std::string>> vectors = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        SCOPED_TRACE(plain);
        EXPECT_EQ(StreamToBase64(Bytes(plain)), encoded);
        EXPECT_EQ(Base64ToStream(encoded), Bytes(plain));
    }
}

TEST(MouseObjTest, EveryByteValueRoundTripsWithTheWholeAlphabet) {
    std::vector<std::uint8_t> every(256);
    for (int i = 0; i < 256; ++i) {
        every[i] = static_cast<std::uint8_t>(i);
    }
    const std::string text = StreamToBase64(every);
    EXPECT_EQ(text.size(), 344u);
    EXPECT_THAT(text, HasSubstr("+/"));
    EXPECT_EQ(text.find_first_of(" \r\n"), std::string::npos);
    EXPECT_EQ(Base64ToStream(text), every);
    EXPECT_EQ(Base64ToStream("/+8="), (std::vector<std::uint8_t>{0xFF, 0xEF}));
}

TEST(MouseObjTest, RejectsTextsThatAreNotBase64WithTheReason) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Zm9", "length 3 is not a multiple of 4"},
        {"Zm9vY", "length 5 is not a multiple of 4"},
        {"Zm9v\nYmFy", "length 9 is not a multiple of 4"},
        {"Zm 9", "character code 32 outside the alphabet at position 2"},
        {"Zm-9", "character code 45 outside the alphabet at position 2"},
        {"Zm9_", "character code 95 outside the alphabet at position 3"},
        {"Zm=v", "misplaced padding at position 2"},
        {"Z===", "misplaced padding at position 1"},
        {"====", "misplaced padding at position 0"},
        {"Zg==Zm9v", "misplaced padding at position 2"},
    };
    for (const auto& [text, reason] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(DecodeError(text), "Invalid base64 text: " + reason);
    }
}

TEST(MouseObjTest, AClickIsAValueThatCopiesAndComparesEveryField) {
    TMouseObj click;
    click.fName = "Save button";
    click.fBMP = StreamToBase64(BmpImage(2, 2));
    click.pointType = ptPicture;
    TMouseObj copy = click;
    EXPECT_EQ(copy, click);
    copy.fBMP = StreamToBase64(BmpImage(3, 2));
    EXPECT_NE(copy, click) << "the picture text is part of the value";
    EXPECT_EQ(click.fBMP, StreamToBase64(BmpImage(2, 2))) << "the copy is independent";
    copy = click;
    EXPECT_EQ(copy, click);
    copy.checked = false;
    EXPECT_NE(copy, click);
    copy = click;
    copy.hkStop = 7;
    EXPECT_NE(copy, click);
}

TEST(MouseObjTest, WithoutPictureTextThereIsNoPicture) {
    EXPECT_EQ(DecodePicture(""), nullptr);
}

TEST(MouseObjTest, APictureTextDecodesToItsPixels) {
    const std::shared_ptr<const TBDBitmapData> picture = DecodePicture(StreamToBase64(BmpImage(3, 2)));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width, 3);
    EXPECT_EQ(picture->Height, 2);
    EXPECT_EQ(picture->Pixel(2, 1), 0x030201u);
}

TEST(MouseObjTest, PictureTextThatIsNoBase64Throws) {
    EXPECT_THROW(DecodePicture("not base64"), std::invalid_argument);
}

TEST(MouseObjTest, BytesThatAreNotA24BitBmpGiveAnEmptyPicture) {
    const std::shared_ptr<const TBDBitmapData> picture = DecodePicture(StreamToBase64(Bytes("hello, not a picture")));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width, 0);
    EXPECT_EQ(picture->Size, 0);
}
