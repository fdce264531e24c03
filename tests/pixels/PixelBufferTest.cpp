#include "pixels/PixelBuffer.h"

#include "LinuxFaults.h"
#include "PixelTestSupport.h"
#include "platform/fake/FakeScreen.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

using PixelTest::BmpFields;
using PixelTest::BmpImage;
using PixelTest::CountingRows;
using PixelTest::Fill;

namespace {

void ExpectEmpty(const TPixelBuffer& buffer) {
    EXPECT_EQ(buffer.width, 0);
    EXPECT_EQ(buffer.height, 0);
    EXPECT_EQ(buffer.lineWidth, 0);
    EXPECT_EQ(buffer.spareWidth, 0);
    EXPECT_EQ(buffer.size, 0);
    EXPECT_EQ(buffer.memSize, 0);
    EXPECT_EQ(buffer.bits, nullptr);
}

// 0x00RRGGBB with the given signed channel differences added to each channel of `base`.
std::uint32_t Shifted(std::uint32_t base, int red, int green, int blue) {
    const auto channel = [&](int shift, int by) { return static_cast<std::uint32_t>(((base >> shift) & 0xFF) + by); };
    return channel(16, red) << 16 | channel(8, green) << 8 | channel(0, blue);
}

} // namespace

TEST(PixelBufferLayout, NewBufferIsEmpty) {
    TPixelBuffer buffer;
    ExpectEmpty(buffer);
}

TEST(PixelBufferLayout, RowsArePaddedToFourBytes) {
    struct Case {
        int width;
        int lineWidth;
        int spareWidth;
    };
    for (const Case c : {Case{1, 4, 1}, {2, 8, 2}, {3, 12, 3}, {4, 12, 0}, {5, 16, 1}, {1366, 4100, 2}}) {
        TPixelBuffer buffer;
        ASSERT_TRUE(buffer.SetSize(c.width, 3));
        EXPECT_EQ(buffer.lineWidth, c.lineWidth) << "width " << c.width;
        EXPECT_EQ(buffer.spareWidth, c.spareWidth) << "width " << c.width;
        EXPECT_EQ(buffer.size, 3 * c.lineWidth) << "width " << c.width;
        EXPECT_EQ(buffer.memSize, buffer.size) << "width " << c.width;
    }
}

TEST(PixelBufferLayout, TopLeftPixelOfTwoByTwoIsInTheSecondRowInMemoryBlueFirst) {
    TPixelBuffer buffer;
    ASSERT_TRUE(buffer.SetSize(2, 2));
    std::memset(buffer.bits, 0, static_cast<std::size_t>(buffer.size));
    buffer.bits[buffer.lineWidth] = 0x33;
    buffer.bits[buffer.lineWidth + 1] = 0x22;
    buffer.bits[buffer.lineWidth + 2] = 0x11;
    EXPECT_EQ(buffer.Pixel(0, 0), 0x112233u);
    EXPECT_EQ(buffer.Pixel(0, 1), 0u);
    EXPECT_EQ(buffer.Row(0), buffer.bits + buffer.lineWidth);
    EXPECT_EQ(buffer.Row(1), buffer.bits);
}

TEST(PixelBufferLayout, PixelOutsideTheBufferIsBlackAndReadsNothing) {
    TPixelBuffer buffer;
    Fill(buffer, 3, 2, 0xFFFFFF);
    for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}}) {
        EXPECT_EQ(buffer.Pixel(x, y), 0u) << x << "," << y;
    }
}

TEST(PixelBufferSetSize, UnchangedSizeKeepsThePixels) {
    TPixelBuffer buffer;
    Fill(buffer, 3, 3, 0x123456);
    const std::uint8_t* bits = buffer.bits;
    EXPECT_TRUE(buffer.SetSize(3, 3));
    EXPECT_EQ(buffer.bits, bits);
    EXPECT_EQ(buffer.Pixel(2, 2), 0x123456u);
}

TEST(PixelBufferSetSize, SmallerSizeKeepsTheBlockAndGrowingReallocates) {
    TPixelBuffer buffer;
    ASSERT_TRUE(buffer.SetSize(10, 10));
    const std::uint8_t* bits = buffer.bits;
    ASSERT_TRUE(buffer.SetSize(3, 2));
    EXPECT_EQ(buffer.memSize, 320);
    EXPECT_EQ(buffer.size, 24);
    EXPECT_EQ(buffer.bits, bits);
    ASSERT_TRUE(buffer.SetSize(11, 10));
    EXPECT_EQ(buffer.memSize, 360);
    EXPECT_EQ(buffer.size, 360);
}

TEST(PixelBufferSetSize, ZeroWidthOrHeightHoldsNoPixels) {
    for (const auto& [width, height] : {std::pair{0, 5}, {5, 0}, {0, 0}}) {
        TPixelBuffer buffer;
        EXPECT_TRUE(buffer.SetSize(width, height));
        EXPECT_EQ(buffer.size, 0);
    }
}

TEST(PixelBufferSetSize, NegativeOrOverflowingSizesAreRefusedAndLeaveTheBufferEmpty) {
    struct Case {
        std::int32_t width;
        std::int32_t height;
    };
    const Case cases[] = {
        {-1, 5},        {5, -1},        {-4, -4}, {INT_MAX, 1}, {1431655766, 1}, // 3 x width wraps to 2 in 32 bits
        {715827883, 2}, {65536, 65536},                                          // width x height x 3 wraps to 0
        {46341, 46341}, {1, INT_MAX},
    };
    for (const Case c : cases) {
        TPixelBuffer buffer;
        Fill(buffer, 4, 4, 0x010203);
        EXPECT_FALSE(buffer.SetSize(c.width, c.height)) << c.width << " x " << c.height;
        ExpectEmpty(buffer);
    }
}

TEST(PixelBufferSetSize, ClearReleasesEverything) {
    TPixelBuffer buffer;
    Fill(buffer, 7, 3, 0);
    buffer.Clear();
    ExpectEmpty(buffer);
}

#if defined(__SANITIZE_ADDRESS__)
#define TAPPORA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAPPORA_ADDRESS_SANITIZER 1
#endif
#endif

TEST(PixelBufferSetSizeDeathTest, FailedAllocationReportsFalseWithoutThrowing) {
#ifdef TAPPORA_ADDRESS_SANITIZER
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
    SKIP_UNLESS_LINUX("address space limits");
    const auto allocateUnderLimit = [] {
        // Room for 256 MiB more than the process maps already, far less than the 1.8 GB asked for below.
        limitAddressSpace(256u << 20);
        TPixelBuffer buffer;
        buffer.SetSize(10, 10);
        const bool result = buffer.SetSize(30000, 20000);
        const bool empty = buffer.size == 0 && buffer.memSize == 0 && buffer.bits == nullptr && buffer.width == 0;
        std::exit(!result && empty ? 0 : 1);
    };
    EXPECT_EXIT(allocateUnderLimit(), testing::ExitedWithCode(0), "");
#endif
}

TEST(PixelBufferLoad, ReadsTheRowsRightBehindTheHeaders) {
    const std::vector<std::uint8_t> rows = CountingRows(3, 2);
    BmpFields fields{.width = 3, .height = 2};
    fields.dataOffset = 1078; // ignored: the rows always follow the 54 header bytes
    std::vector<std::uint8_t> bytes{0xAA, 0xBB};
    const std::vector<std::uint8_t> image = BmpImage(fields, rows);
    bytes.insert(bytes.end(), image.begin(), image.end());
    bytes.push_back(0xCC);
    TByteStream stream{bytes, 2};

    TPixelBuffer picture;
    ASSERT_TRUE(picture.LoadFromStream(&stream));
    EXPECT_EQ(picture.width, 3);
    EXPECT_EQ(picture.height, 2);
    EXPECT_EQ(picture.size, 24);
    EXPECT_EQ(std::vector<std::uint8_t>(picture.bits, picture.bits + picture.size), rows);
    EXPECT_EQ(stream.position, 2u + 54u + 24u);
    // The first row in memory is the bottom row: its first pixel has the bytes 0, 1, 2.
    EXPECT_EQ(picture.Pixel(0, 1), 0x020100u);
}

TEST(PixelBufferLoad, ZeroWidthLoadsAsAPictureWithoutPixels) {
    const std::vector<std::uint8_t> bytes = BmpImage({.width = 0, .height = 4}, {});
    TByteStream stream{bytes};
    TPixelBuffer picture;
    EXPECT_TRUE(picture.LoadFromStream(&stream));
    EXPECT_EQ(picture.size, 0);
}

TEST(PixelBufferLoad, AnythingButAComplete24BitUncompressedImageIsRefused) {
    struct Case {
        const char* name;
        BmpFields fields;
        int missingBytes = 0;
    };
    const Case cases[] = {
        {"32-bit pixels", {.width = 3, .height = 2, .bitCount = 32}},
        {"8-bit pixels", {.width = 3, .height = 2, .bitCount = 8}},
        {"RLE8", {.width = 3, .height = 2, .compression = 1}},
        {"RLE4", {.width = 3, .height = 2, .compression = 2}},
        {"bit fields", {.width = 3, .height = 2, .compression = 3}},
        {"108-byte header", {.width = 3, .height = 2, .infoSize = 108}},
        {"124-byte header", {.width = 3, .height = 2, .infoSize = 124}},
        {"12-byte header", {.width = 3, .height = 2, .infoSize = 12}},
        {"not BM", {.width = 3, .height = 2, .fileType = 0x4142}},
        {"one byte short", {.width = 3, .height = 2}, 1},
        {"rows missing", {.width = 3, .height = 2}, 24},
        {"headers cut", {.width = 3, .height = 2}, 25},
        {"top-down rows", {.width = 3, .height = -2}},
        {"negative width", {.width = -3, .height = 2}},
        {"3 x width wraps", {.width = 1431655766, .height = 1}},
        {"size wraps to 0", {.width = 65536, .height = 65536}},
        {"size beyond 2 GiB", {.width = 46341, .height = 46341}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> bytes = BmpImage(c.fields, CountingRows(3, 2));
        bytes.resize(bytes.size() - static_cast<std::size_t>(c.missingBytes));
        TByteStream stream{bytes};
        TPixelBuffer picture;
        Fill(picture, 5, 5, 0x445566);
        EXPECT_FALSE(picture.LoadFromStream(&stream));
        ExpectEmpty(picture);
    }
}

TEST(PixelBufferLoad, NoStreamOrAStreamPositionedAtItsEndIsRefused) {
    TPixelBuffer picture;
    Fill(picture, 2, 2, 0);
    EXPECT_FALSE(picture.LoadFromStream(nullptr));
    ExpectEmpty(picture);

    const std::vector<std::uint8_t> bytes = BmpImage({.width = 1, .height = 1}, CountingRows(1, 1));
    for (const std::size_t position : {bytes.size(), bytes.size() + 100}) {
        TByteStream stream{bytes, position};
        EXPECT_FALSE(picture.LoadFromStream(&stream));
        ExpectEmpty(picture);
    }
}

std::uint32_t LittleEndianAt(const std::vector<std::uint8_t>& bytes, std::size_t offset, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[offset + static_cast<std::size_t>(i)];
    }
    return value;
}

TEST(PixelBufferCodec, EncodesTheOneLayoutTheDecoderReadsAndDecodesItToTheSamePixels) {
    struct Case {
        int width, height;
        std::uint32_t lineWidth;
    };
    for (const Case c : {Case{1, 1, 4}, Case{3, 2, 12}, Case{4, 3, 12}, Case{5, 1, 16}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        TPixelBuffer picture;
        picture.SetSize(c.width, c.height);
        std::memset(picture.bits, 0xEE, static_cast<std::size_t>(picture.size)); // padding holds junk
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                picture.SetPixel(x, y, static_cast<std::uint32_t>(0x102030 * (x + 1) + 0x010101 * y));
        const std::vector<std::uint8_t> bytes = EncodeBmp24(picture);
        ASSERT_EQ(bytes.size(), 54 + c.lineWidth * static_cast<std::uint32_t>(c.height));
        EXPECT_EQ(LittleEndianAt(bytes, 0, 2), 0x4D42u);
        EXPECT_EQ(LittleEndianAt(bytes, 2, 4), bytes.size()) << "file size";
        EXPECT_EQ(LittleEndianAt(bytes, 10, 4), 54u) << "rows right behind the headers";
        EXPECT_EQ(LittleEndianAt(bytes, 14, 4), 40u);
        EXPECT_EQ(LittleEndianAt(bytes, 18, 4), static_cast<std::uint32_t>(c.width));
        EXPECT_EQ(LittleEndianAt(bytes, 22, 4), static_cast<std::uint32_t>(c.height)) << "bottom-up";
        EXPECT_EQ(LittleEndianAt(bytes, 28, 2), 24u);
        EXPECT_EQ(LittleEndianAt(bytes, 30, 4), 0u) << "uncompressed";
        EXPECT_EQ(LittleEndianAt(bytes, 34, 4), c.lineWidth * static_cast<std::uint32_t>(c.height));
        for (std::uint32_t pad = 3 * static_cast<std::uint32_t>(c.width); pad < c.lineWidth; ++pad)
            EXPECT_EQ(bytes[54 + pad], 0) << "padding is written as zeros";

        TPixelBuffer decoded;
        ASSERT_TRUE(DecodeBmp24(bytes, decoded));
        ASSERT_EQ(decoded.width, c.width);
        ASSERT_EQ(decoded.height, c.height);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                EXPECT_EQ(decoded.Pixel(x, y), picture.Pixel(x, y)) << x << ", " << y;
        EXPECT_EQ(EncodeBmp24(decoded), bytes) << "encoding what was decoded gives the same bytes";
    }
}

TEST(PixelBufferCodec, APictureWithoutPixelsEncodesAsNothingAndNothingDecodesAsNoPicture) {
    TPixelBuffer empty;
    EXPECT_TRUE(EncodeBmp24(empty).empty());
    TPixelBuffer picture;
    Fill(picture, 2, 2, 0x123456);
    EXPECT_FALSE(DecodeBmp24({}, picture));
    ExpectEmpty(picture);
}

TEST(PixelBufferCodec, SetPixelOutsideThePictureChangesNothing) {
    TPixelBuffer picture;
    Fill(picture, 2, 2, 0x123456);
    for (const auto& [x, y] : {std::pair{-1, 0}, std::pair{0, -1}, std::pair{2, 0}, std::pair{0, 2}})
        picture.SetPixel(x, y, 0xFFFFFF);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(picture.Pixel(x, y), 0x123456u);
}

class PixelBufferCapture : public testing::Test {
protected:
    PixelBufferCapture() : screen(64, 48) {
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                screen.setPixel(x, y, static_cast<std::uint32_t>(x << 16 | y << 8 | (x + y)));
            }
        }
    }

    // Every pixel of the buffer shows the screen pixel at its place, black beyond the screen's edge.
    void ExpectCopyOf(int left, int top) {
        for (int y = 0; y < buffer.height; ++y) {
            for (int x = 0; x < buffer.width; ++x) {
                ASSERT_EQ(buffer.Pixel(x, y), screen.rgbAt(left + x, top + y)) << x << "," << y;
            }
        }
    }

    FakeScreen screen;
    TPixelBuffer buffer;
};

TEST(ClipCaptureRect, KeepsThePartOnTheScreenAndReachesToItsEdgeForAnEmptyWidthOrHeight) {
    struct Case {
        TCaptureRect asked;
        std::optional<TCaptureRect> clipped;
    };
    const auto rect = [](int left, int top, int width, int height) { return TCaptureRect{left, top, width, height}; };
    const Case cases[] = {
        {rect(60, 40, 4, 8), rect(60, 40, 4, 8)},
        {rect(-5, 10, 0, 0), rect(0, 10, 64, 38)},
        {rect(63, 47, 0, 0), rect(63, 47, 1, 1)},
        {rect(10, -1, 5, -7), rect(10, 0, 5, 48)},
        // Partly beyond the right and bottom edges, or left of and above the screen: only the part on it.
        {rect(60, 40, 10, 10), rect(60, 40, 4, 8)},
        {rect(-3, -2, 10, 10), rect(0, 0, 7, 8)},
        // Wholly off the screen: nothing, where a corner at (0, 0) would search a place the scope never named.
        {rect(64, 0, 100, 100), std::nullopt},
        {rect(10, 48, 5, 5), std::nullopt},
        {rect(5000, 5000, 300, 300), std::nullopt},
        {rect(-300, 10, 200, 5), std::nullopt},
        {rect(64, 0, 0, 0), std::nullopt},
        {rect(INT_MIN, INT_MAX, 3, 3), std::nullopt},
        {rect(INT_MAX, 0, INT_MAX, 1), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.asked.left << "," << c.asked.top << "," << c.asked.width << ","
                                        << c.asked.height);
        const auto clipped = ClipCaptureRect(c.asked.left, c.asked.top, c.asked.width, c.asked.height, {0, 0, 64, 48});
        ASSERT_EQ(clipped.has_value(), c.clipped.has_value());
        if (clipped) {
            EXPECT_EQ((FakeScreen::CopyRequest{clipped->left, clipped->top, clipped->width, clipped->height}),
                      (FakeScreen::CopyRequest{c.clipped->left, c.clipped->top, c.clipped->width, c.clipped->height}));
        }
    }
}

TEST(ClipCaptureRect, AScreenOfUnknownSizeHasNothingToCopy) {
    EXPECT_EQ(ClipCaptureRect(0, 0, 0, 0, {}), std::nullopt);
    EXPECT_EQ(ClipCaptureRect(0, 0, 10, 10, {}), std::nullopt);
}

TEST_F(PixelBufferCapture, CopiesExactlyTheRectangleAsked) {
    ASSERT_TRUE(buffer.CaptureScreen(screen, 60, 40, 4, 8));
    EXPECT_EQ(screen.lastCopy(), (FakeScreen::CopyRequest{60, 40, 4, 8}));
    EXPECT_EQ(buffer.width, 4);
    EXPECT_EQ(buffer.height, 8);
    ExpectCopyOf(60, 40);
}

TEST_F(PixelBufferCapture, RowsArriveBottomUp) {
    ASSERT_TRUE(buffer.CaptureScreen(screen, 2, 3, 5, 4));
    const std::uint8_t* bottomLeft = buffer.bits;
    EXPECT_EQ(bottomLeft[0], 2 + 6);
    EXPECT_EQ(bottomLeft[1], 6);
    EXPECT_EQ(bottomLeft[2], 2);
}

TEST_F(PixelBufferCapture, AFailedCopyReportsFalse) {
    screen.failNextCopy();
    EXPECT_FALSE(buffer.CaptureScreen(screen, 0, 0, 10, 10));
    EXPECT_TRUE(buffer.CaptureScreen(screen, 0, 0, 10, 10));
}

TEST_F(PixelBufferCapture, ASizeTooLargeForTheBufferFailsWithoutCopying) {
    EXPECT_FALSE(buffer.CaptureScreen(screen, 0, 0, INT_MAX, 10));
    EXPECT_FALSE(buffer.CaptureScreen(screen, 0, 0, 65536, 65536));
    EXPECT_EQ(screen.copyCount(), 0);
    ExpectEmpty(buffer);
}

TEST_F(PixelBufferCapture, AnEmptyRectangleIsNotCopied) {
    EXPECT_FALSE(buffer.CaptureScreen(screen, 0, 0, 0, 0));
    EXPECT_FALSE(buffer.CaptureScreen(screen, 0, 0, 5, -1));
    EXPECT_EQ(screen.copyCount(), 0);
}

TEST(BitmapDataColors, SwapRBExchangesRedAndBlueAndDropsTheTopByte) {
    for (const auto& [in, out] : {std::pair{0x00112233u, 0x00332211u},
                                  {0x80000005u, 0x00050000u},
                                  {0xFFFFFFFFu, 0x00FFFFFFu},
                                  {0x0000FF00u, 0x0000FF00u}}) {
        EXPECT_EQ(SwapRB(in), out) << std::hex << in;
    }
}

TEST(BitmapDataColors, ColorsSimilarBoundsAreInclusivePerChannel) {
    struct Case {
        int red, green, blue;
        bool similar;
    };
    const Case cases[] = {{12, -12, 0, true}, {-12, -12, -12, true}, {13, 0, 0, false},    {0, 13, 0, false},
                          {0, 0, 13, false},  {0, 0, -13, false},    {-13, 12, 12, false}, {0, 0, 0, true}};
    const std::uint32_t base = 0x808080;
    for (const Case& c : cases) {
        EXPECT_EQ(ColorsSimilar(Shifted(base, c.red, c.green, c.blue), base, {12, 12, 12}), c.similar)
            << c.red << "," << c.green << "," << c.blue;
    }
}

TEST(BitmapDataColors, EachToleranceAppliesToItsOwnChannel) {
    const TBDSimilar tolerances{.r = 1, .g = 2, .b = 3};
    const std::uint32_t base = 0x404040;
    EXPECT_TRUE(ColorsSimilar(Shifted(base, 1, 2, 3), base, tolerances));
    EXPECT_FALSE(ColorsSimilar(Shifted(base, 2, 0, 0), base, tolerances));
    EXPECT_FALSE(ColorsSimilar(Shifted(base, 0, 3, 0), base, tolerances));
    EXPECT_FALSE(ColorsSimilar(Shifted(base, 0, 0, 4), base, tolerances));
}

TEST(BitmapDataColors, ToleranceZeroIsTheExactComparisonOfTheLow24Bits) {
    for (const std::uint32_t b : {0x000000u, 0x000001u, 0x000100u, 0x010000u, 0xFF123456u}) {
        EXPECT_EQ(ColorsSimilar(0x00123456, b, {}), (b & 0xFFFFFF) == 0x123456) << std::hex << b;
    }
    EXPECT_FALSE(ColorsSimilar(0, 0, {-1, 0, 0}));
}

TEST(BitmapDataColors, SimilarityTurnsIntoAToleranceTruncatedTowardZero) {
    const std::pair<int, int> cases[] = {{100, 0}, {95, 12},  {90, 25}, {85, 38}, {80, 51},  {75, 63},    {70, 76},
                                         {65, 89}, {60, 102}, {0, 255}, {99, 2},  {101, -2}, {200, -255}, {-100, 510}};
    for (const auto& [similarity, tolerance] : cases) {
        EXPECT_EQ(SimilarityTolerance(similarity), tolerance) << similarity;
    }
    EXPECT_EQ(SimilarityTolerance(INT_MAX), INT_MIN);
    EXPECT_EQ(SimilarityTolerance(INT_MIN), INT_MAX);
}

class BitmapDataFindColor : public testing::Test {
protected:
    BitmapDataFindColor() { Fill(screen, 20, 15, 0x101010); }
    TPixelBuffer screen;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

TEST_F(BitmapDataFindColor, TheUpperRowWinsBeforeTheLeftColumn) {
    screen.SetPixel(5, 10, 0xABCDEF);
    screen.SetPixel(3, 11, 0xABCDEF);
    ASSERT_TRUE(screen.FindColor(0xABCDEF, x, y));
    EXPECT_EQ((TPoint{x, y}), (TPoint{5, 10}));
    ASSERT_TRUE(screen.FindColorSimilar(0xABCDEF, {1, 1, 1}, x, y));
    EXPECT_EQ((TPoint{x, y}), (TPoint{5, 10}));
}

TEST_F(BitmapDataFindColor, FindsTheCornersAndIgnoresTheTopByte) {
    for (const auto& [px, py] : {std::pair{0, 0}, {19, 0}, {0, 14}, {19, 14}}) {
        Fill(screen, 20, 15, 0x101010);
        screen.SetPixel(px, py, 0x00FF00);
        ASSERT_TRUE(screen.FindColor(0xFF00FF00, x, y));
        EXPECT_EQ((TPoint{x, y}), (TPoint{px, py}));
    }
}

TEST_F(BitmapDataFindColor, AMissingColourGivesMinusOne) {
    EXPECT_FALSE(screen.FindColor(0x101011, x, y));
    EXPECT_EQ((TPoint{x, y}), (TPoint{-1, -1}));
    EXPECT_FALSE(screen.FindColorSimilar(0x202020, {15, 15, 15}, x, y));
    EXPECT_EQ((TPoint{x, y}), (TPoint{-1, -1}));
}

TEST_F(BitmapDataFindColor, NegativeToleranceFindsNothingAndFullToleranceTheFirstPixel) {
    EXPECT_FALSE(screen.FindColorSimilar(0x101010, {-2, -2, -2}, x, y));
    EXPECT_FALSE(screen.FindColorSimilar(0x101010, {0, -1, 0}, x, y));
    ASSERT_TRUE(screen.FindColorSimilar(0xFFFFFF, {255, 255, 255}, x, y));
    EXPECT_EQ((TPoint{x, y}), (TPoint{0, 0}));
    ASSERT_TRUE(screen.FindColorSimilar(0xFFFFFF, {INT_MAX, INT_MAX, INT_MAX}, x, y));
}

TEST_F(BitmapDataFindColor, AnEmptyBufferHasNoPixels) {
    TPixelBuffer empty;
    EXPECT_FALSE(empty.FindColor(0, x, y));
    EXPECT_FALSE(empty.FindColorSimilar(0, {255, 255, 255}, x, y));
}

class BitmapDataPicture : public testing::Test {
protected:
    BitmapDataPicture() { Fill(screen, 60, 50, 0x202020); }

    // A 3 x 2 picture of distinct colours; `offset` shifts every channel.
    void MakePicture(int offset = 0) {
        picture.Clear();
        picture.SetSize(3, 2);
        for (int i = 0; i < 6; ++i) {
            picture.SetPixel(i % 3, i / 3, Shifted(0x808080, i * 7 + offset, i * 3 + offset, offset - i * 5));
        }
    }

    void Show(int left, int top, int offset = 0) {
        for (int i = 0; i < 6; ++i) {
            screen.SetPixel(left + i % 3, top + i / 3,
                            Shifted(0x808080, i * 7 + offset, i * 3 + offset, offset - i * 5));
        }
    }

    TPoint FindExact() {
        std::int32_t x = 0, y = 0;
        const bool found = screen.FindBitmap(picture, x, y);
        EXPECT_EQ(found, x != -1);
        return {x, y};
    }

    TPoint FindSimilar(std::int32_t tolerance) {
        std::int32_t x = 0, y = 0;
        const bool found = screen.FindBitmapSimilar(picture, {tolerance, tolerance, tolerance}, x, y);
        EXPECT_EQ(found, x != -1);
        return {x, y};
    }

    TPixelBuffer screen;
    TPixelBuffer picture;
};

TEST_F(BitmapDataPicture, TheUpperPlacementWins) {
    MakePicture();
    Show(10, 41);
    Show(50, 40);
    EXPECT_EQ(FindExact(), (TPoint{50, 40}));
    EXPECT_EQ(FindSimilar(12), (TPoint{50, 40}));
}

TEST_F(BitmapDataPicture, PlacementsAgainstEveryEdgeAreFound) {
    MakePicture();
    for (const auto& [left, top] : {std::pair{0, 0}, {57, 0}, {0, 48}, {57, 48}, {30, 48}, {57, 20}}) {
        Fill(screen, 60, 50, 0x202020);
        Show(left, top);
        EXPECT_EQ(FindExact(), (TPoint{left, top}));
        EXPECT_TRUE(screen.MatchAt(picture, left, top));
        EXPECT_TRUE(screen.MatchAtSimilar(picture, {0, 0, 0}, left, top));
    }
}

TEST_F(BitmapDataPicture, PlacementsReachingPastTheBufferFail) {
    MakePicture();
    Show(57, 48);
    for (const auto& [left, top] : {std::pair{58, 48}, {57, 49}, {-1, 0}, {0, -1}, {INT_MAX, 0}, {0, INT_MAX}}) {
        EXPECT_FALSE(screen.MatchAt(picture, left, top)) << left << "," << top;
        EXPECT_FALSE(screen.MatchAtSimilar(picture, {255, 255, 255}, left, top)) << left << "," << top;
    }
}

TEST_F(BitmapDataPicture, APictureAsLargeAsTheBufferHasOnePlacement) {
    PixelTest::Cut(screen, 0, 0, 60, 50, picture);
    EXPECT_EQ(FindExact(), (TPoint{0, 0}));
    PixelTest::Cut(screen, 0, 0, 61, 50, picture);
    EXPECT_EQ(FindExact(), (TPoint{-1, -1}));
    EXPECT_EQ(FindSimilar(255), (TPoint{-1, -1}));
    PixelTest::Cut(screen, 0, 0, 60, 51, picture);
    EXPECT_EQ(FindExact(), (TPoint{-1, -1}));
}

TEST_F(BitmapDataPicture, OnePixelPictureIsAPixelSearch) {
    screen.SetPixel(33, 44, 0x0000FF);
    Fill(picture, 1, 1, 0x0000FF);
    EXPECT_EQ(FindExact(), (TPoint{33, 44}));
}

TEST_F(BitmapDataPicture, ToleranceIsPerChannelAndPerPixel) {
    MakePicture();
    Show(20, 30, 12);
    EXPECT_EQ(FindExact(), (TPoint{-1, -1}));
    EXPECT_EQ(FindSimilar(12), (TPoint{20, 30}));
    screen.SetPixel(22, 31, Shifted(screen.Pixel(22, 31), 0, 1, 0));
    EXPECT_EQ(FindSimilar(12), (TPoint{-1, -1}));
    EXPECT_EQ(FindSimilar(13), (TPoint{20, 30}));
    EXPECT_EQ(FindSimilar(-1), (TPoint{-1, -1}));
}

TEST_F(BitmapDataPicture, APictureWithoutPixelsIsNeverFound) {
    for (const auto& [width, height] : {std::pair{0, 0}, {0, 3}, {3, 0}}) {
        picture.Clear();
        picture.SetSize(width, height);
        EXPECT_EQ(FindExact(), (TPoint{-1, -1}));
        EXPECT_EQ(FindSimilar(255), (TPoint{-1, -1}));
        EXPECT_FALSE(screen.MatchAt(picture, 0, 0));
    }
}
