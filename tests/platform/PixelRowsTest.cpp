#include "platform/PixelRows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {
std::vector<std::uint8_t> randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(count);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

// Bottom-up 24-bit rows padded to 4 bytes, as the pixel buffer holds them.
struct Target {
    int width;
    int height;
    int lineWidth = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(static_cast<std::size_t>(lineWidth) * height, 0xEE);
    TargetRows rows() { return {bytes.data() + (height - 1) * lineWidth, -lineWidth}; }
    const std::uint8_t* pixel(int x, int y) const { return bytes.data() + (height - 1 - y) * lineWidth + 3 * x; }
};

TEST(PixelRows, FastPathEqualsGeneralPathForEveryWidth) {
    for (int width = 1; width <= 37; ++width) {
        const int height = 3;
        const int stride = width * 4 + 8;
        const auto source = randomBytes(static_cast<std::size_t>(stride) * height, width);
        Target fast{width, height};
        Target general{width, height};
        const SourceRows rows{source.data(), stride, PixelLayout{}};
        convertPixelRows(rows, width, height, fast.rows());
        convertPixelRowsGeneral(rows, width, height, general.rows());
        EXPECT_EQ(fast.bytes, general.bytes) << "width " << width;
    }
}

TEST(PixelRows, EveryRowKernelEqualsTheGeneralPath) {
    std::vector<BgrxRowKernel> kernels{convertBgrxRowPortable};
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("ssse3"))
        kernels.push_back(convertBgrxRowSsse3);
    if (__builtin_cpu_supports("avx2"))
        kernels.push_back(convertBgrxRowAvx2);
#endif
    for (const auto kernel : kernels) {
        for (const int width : {1, 3, 4, 15, 16, 17, 31, 32, 33, 63, 64, 65, 95, 96, 97, 1366}) {
            const auto source = randomBytes(static_cast<std::size_t>(width) * 4, width + 1000);
            // Guard bytes after the row show that no kernel writes past its pixels.
            std::vector<std::uint8_t> fast(static_cast<std::size_t>(width) * 3 + 32, 0xEE);
            std::vector<std::uint8_t> general(fast);
            kernel(source.data(), width, fast.data());
            convertPixelRowsGeneral({source.data(), width * 4, PixelLayout{}}, width, 1, {general.data(), 0});
            EXPECT_EQ(fast, general) << "width " << width;
        }
    }
}

TEST(PixelRows, BgrxRowsBecomeBottomUpBgrWithPaddingUntouched) {
    // Two rows of three pixels: B,G,R,X each; X must never reach the target.
    const std::vector<std::uint8_t> source{1,  2,  3,  99, 4,  5,  6,  99, 7,  8,  9,  99,
                                           10, 11, 12, 99, 13, 14, 15, 99, 16, 17, 18, 99};
    Target target{3, 2};
    convertPixelRows({source.data(), 12, PixelLayout{}}, 3, 2, target.rows());
    const std::vector<std::uint8_t> expected{10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE,
                                             1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE};
    EXPECT_EQ(target.bytes, expected);
}

struct LayoutCase {
    const char* name;
    PixelLayout layout;
    std::vector<std::uint8_t> pixel;
    std::uint8_t blue, green, red;
};

class GeneralLayouts : public testing::TestWithParam<LayoutCase> {};

TEST_P(GeneralLayouts, ScaleEachChannelToEightBits) {
    const LayoutCase& c = GetParam();
    EXPECT_FALSE(isBgrxLayout(c.layout));
    Target target{1, 1};
    convertPixelRows({c.pixel.data(), static_cast<std::ptrdiff_t>(c.pixel.size()), c.layout}, 1, 1, target.rows());
    EXPECT_EQ(target.pixel(0, 0)[0], c.blue);
    EXPECT_EQ(target.pixel(0, 0)[1], c.green);
    EXPECT_EQ(target.pixel(0, 0)[2], c.red);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, GeneralLayouts,
    testing::Values(
        // 5-6-5 little-endian 0xF81F: full red, no green, full blue.
        LayoutCase{"rgb565", {16, false, 0xF800, 0x07E0, 0x001F}, {0x1F, 0xF8}, 255, 0, 255},
        // 0x07E0: full green only, read big-endian.
        LayoutCase{"rgb565MsbFirst", {16, true, 0xF800, 0x07E0, 0x001F}, {0x07, 0xE0}, 0, 255, 0},
        // A 5-bit channel of 0b10000 scales to 16 * 255 / 31 = 131.
        LayoutCase{"rgb565Half", {16, false, 0xF800, 0x07E0, 0x001F}, {0x10, 0x00}, 131, 0, 0},
        LayoutCase{
            "xrgbMsbFirst", {32, true, 0xFF0000, 0x00FF00, 0x0000FF}, {0x00, 0x30, 0x20, 0x10}, 0x10, 0x20, 0x30},
        LayoutCase{
            "rgbxSwapped", {32, false, 0x0000FF, 0x00FF00, 0xFF0000}, {0x30, 0x20, 0x10, 0x00}, 0x10, 0x20, 0x30},
        LayoutCase{"packed24", {24, false, 0xFF0000, 0x00FF00, 0x0000FF}, {0x10, 0x20, 0x30}, 0x10, 0x20, 0x30},
        // 10 bits per channel: the top 8 bits are kept.
        LayoutCase{"rgb30", {32, false, 0x3FF00000, 0x000FFC00, 0x000003FF}, {0xFF, 0x03, 0x00, 0x00}, 0xFF, 0, 0}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });
} // namespace
