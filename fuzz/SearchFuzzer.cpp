// The colour block and picture searches over a fuzzed screen, picture, scope and similarity, each checked against
// the plain pixel-by-pixel scans and against what it claims to have found; the nearest misses against trying every
// pixel and placement.
#include "FuzzSupport.h"

#include "ReferenceSearch.h"
#include "engine/Search.h"
#include "model/ColorText.h"
#include "pixels/NearestMiss.h"
#include "pixels/PixelBuffer.h"
#include "platform/fake/FakeScreen.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Captures larger than this are left out: a scope far past the screen asks for a buffer of its full size.
constexpr std::int64_t kLargestCapture = std::int64_t{1} << 14;
constexpr TPoint kNotFound{-1, -1};

// A few colours close to each other, so that exact and near matches both happen often.
using Palette = std::array<std::uint32_t, 4>;

Palette MakePalette(FuzzedDataProvider& input) {
    Palette palette{};
    const std::uint32_t base = input.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF;
    for (std::uint32_t& color : palette) {
        color = input.ConsumeBool() ? base ^ (input.ConsumeIntegral<std::uint32_t>() & 0x0F0F0F)
                                    : input.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF;
    }
    return palette;
}

void PaintScreen(FuzzedDataProvider& input, const Palette& palette, FakeScreen& screen, int width, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            screen.setPixel(x, y, palette[input.ConsumeIntegralInRange<std::size_t>(0, palette.size() - 1)]);
        }
    }
}

// Either a piece of the screen (so that it is there to be found) or pixels of its own.
void MakePicture(FuzzedDataProvider& input, const Palette& palette, FakeScreen& screen, TPixelBuffer& picture) {
    const int width = input.ConsumeIntegralInRange(0, 6);
    const int height = input.ConsumeIntegralInRange(0, 6);
    const bool fromScreen = input.ConsumeBool();
    const int left = input.ConsumeIntegralInRange(-2, 40);
    const int top = input.ConsumeIntegralInRange(-2, 40);
    FuzzCheck(picture.SetSize(width, height), "a small picture gets its pixels");
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = fromScreen
                                          ? screen.rgbAt(left + x, top + y)
                                          : palette[input.ConsumeIntegralInRange<std::size_t>(0, palette.size() - 1)];
            std::uint8_t* pixel =
                picture.bits + static_cast<std::ptrdiff_t>(height - 1 - y) * picture.lineWidth + 3 * x;
            pixel[0] = rgb & 0xFF;
            pixel[1] = (rgb >> 8) & 0xFF;
            pixel[2] = (rgb >> 16) & 0xFF;
        }
    }
}

std::int32_t Edge(FuzzedDataProvider& input) {
    return input.ConsumeIntegralInRange(0, 15) == 0 ? input.ConsumeIntegral<std::int32_t>()
                                                    : input.ConsumeIntegralInRange(-8, 56);
}

std::int32_t Similarity(FuzzedDataProvider& input) {
    return input.ConsumeIntegralInRange(0, 15) == 0 ? input.ConsumeIntegral<std::int32_t>()
                                                    : input.ConsumeIntegralInRange(55, 101);
}

struct Scope {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The rectangle the searches copy for a scope, as they work it out; none when its size overflows or is too large
// to fuzz.
std::optional<TCaptureRect> CaptureOf(const Scope& scope, FakeScreen& screen) {
    const std::int64_t width = std::int64_t{scope.right} - scope.left;
    const std::int64_t height = std::int64_t{scope.bottom} - scope.top;
    constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
    if (width < low || width > high || height < low || height > high) {
        return std::nullopt;
    }
    return ClipCaptureRect(scope.left, scope.top, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                           screen.monitorAreas().front());
}

TBDSimilar Uniform(std::int32_t similarity) {
    const std::int32_t tolerance = SimilarityTolerance(similarity);
    return {tolerance, tolerance, tolerance};
}

void CheckSame(bool fastFound, std::int32_t fastX, std::int32_t fastY, bool referenceFound, std::int32_t referenceX,
               std::int32_t referenceY, const char* property) {
    FuzzCheck(fastFound == referenceFound && fastX == referenceX && fastY == referenceY, property);
}

// The same pixels as a window system keeps them, 4 bytes each with the fourth one anything: the searches of such a view
// against the reference ones of the buffer.
void CompareScansOfBgrx(FuzzedDataProvider& input, const TPixelBuffer& buffer, const TPixelBuffer& picture,
                        std::uint32_t color, const TBDSimilar& tolerances) {
    std::vector<std::uint8_t> bgrx(4 * static_cast<std::size_t>(buffer.width) * buffer.height);
    for (std::int32_t y = 0; y < buffer.height; ++y) {
        for (std::int32_t x = 0; x < buffer.width; ++x) {
            std::uint8_t* pixel = bgrx.data() + 4 * (static_cast<std::size_t>(y) * buffer.width + x);
            std::memcpy(pixel, buffer.Row(y) + 3 * x, 3);
            pixel[3] = input.ConsumeIntegral<std::uint8_t>();
        }
    }
    const TPixelView view{bgrx.data(), 4 * static_cast<std::ptrdiff_t>(buffer.width), buffer.width, buffer.height, 4};
    std::int32_t fx = 0, fy = 0, rx = 0, ry = 0;
    bool fast = FindColorIn(view, color, tolerances, fx, fy);
    CheckSame(fast, fx, fy, ReferenceSearch::FindColorSimilar(buffer, color, tolerances, rx, ry), rx, ry,
              "FindColorIn on 4-byte pixels as the reference");
    fast = FindBitmapIn(view, picture, std::nullopt, fx, fy);
    CheckSame(fast, fx, fy, ReferenceSearch::FindBitmap(buffer, picture, rx, ry), rx, ry,
              "FindBitmapIn on 4-byte pixels as the reference");
    fast = FindBitmapIn(view, picture, tolerances, fx, fy);
    CheckSame(fast, fx, fy, ReferenceSearch::FindBitmapSimilar(buffer, picture, tolerances, rx, ry), rx, ry,
              "FindBitmapIn similar on 4-byte pixels as the reference");
}

// The buffer's own scans against the reference ones, with tolerances that may differ per channel.
void CompareScans(FuzzedDataProvider& input, const TPixelBuffer& buffer, const TPixelBuffer& picture,
                  std::uint32_t color) {
    const TBDSimilar tolerances{input.ConsumeIntegralInRange(-2, 260), input.ConsumeIntegralInRange(-2, 260),
                                input.ConsumeIntegralInRange(-2, 260)};
    std::int32_t fx = 0, fy = 0, rx = 0, ry = 0;
    bool fast = buffer.FindColor(color, fx, fy);
    CheckSame(fast, fx, fy, ReferenceSearch::FindColor(buffer, color, rx, ry), rx, ry, "FindColor as the reference");
    fast = buffer.FindColorSimilar(color, tolerances, fx, fy);
    CheckSame(fast, fx, fy, ReferenceSearch::FindColorSimilar(buffer, color, tolerances, rx, ry), rx, ry,
              "FindColorSimilar as the reference");
    fast = buffer.FindBitmap(picture, fx, fy);
    CheckSame(fast, fx, fy, ReferenceSearch::FindBitmap(buffer, picture, rx, ry), rx, ry,
              "FindBitmap as the reference");
    fast = buffer.FindBitmapSimilar(picture, tolerances, fx, fy);
    CheckSame(fast, fx, fy, ReferenceSearch::FindBitmapSimilar(buffer, picture, tolerances, rx, ry), rx, ry,
              "FindBitmapSimilar as the reference");
    const std::int32_t x = input.ConsumeIntegralInRange(-3, 60);
    const std::int32_t y = input.ConsumeIntegralInRange(-3, 60);
    FuzzCheck(buffer.MatchAt(picture, x, y) == ReferenceSearch::MatchAt(buffer, picture, x, y),
              "MatchAt as the reference");
    FuzzCheck(buffer.MatchAtSimilar(picture, tolerances, x, y) ==
                  ReferenceSearch::MatchAtSimilar(buffer, picture, tolerances, x, y),
              "MatchAtSimilar as the reference");
    CompareScansOfBgrx(input, buffer, picture, color, tolerances);
    const TCancelFlag running{false};
    FuzzCheck(NearestPixel(buffer.View(), color, running) == ReferenceSearch::NearestPixel(buffer, color),
              "NearestPixel as the reference");
    FuzzCheck(NearestPlacement(buffer.View(), picture, running) == ReferenceSearch::NearestPlacement(buffer, picture),
              "NearestPlacement as the reference");
}

TPoint ExpectedColorBlock(const TPixelBuffer& buffer, const TCaptureRect& rect, std::uint32_t color,
                          std::int32_t similarity) {
    std::int32_t x = 0, y = 0;
    const bool found = similarity == 100 ? ReferenceSearch::FindColor(buffer, color, x, y)
                                         : ReferenceSearch::FindColorSimilar(buffer, color, Uniform(similarity), x, y);
    return found ? TPoint{rect.left + x, rect.top + y} : kNotFound;
}

TPoint ExpectedPicture(const TPixelBuffer& buffer, const TCaptureRect& rect, const TPixelBuffer& picture,
                       std::int32_t similarity) {
    if (picture.width <= 0 || picture.height <= 0) {
        return kNotFound;
    }
    std::int32_t x = 0, y = 0;
    const bool found = similarity == 100
                           ? ReferenceSearch::FindBitmap(buffer, picture, x, y)
                           : ReferenceSearch::FindBitmapSimilar(buffer, picture, Uniform(similarity), x, y);
    return found ? TPoint{rect.left + x + picture.width / 2, rect.top + y + picture.height / 2} : kNotFound;
}

template <class Call> bool ThrowsInvalidArgument(Call call) {
    try {
        call();
    } catch (const std::invalid_argument&) {
        return true;
    }
    return false;
}

std::string ColorText(FuzzedDataProvider& input, std::uint32_t rgb) {
    if (input.ConsumeIntegralInRange(0, 7) == 0) {
        return input.ConsumeRandomLengthString(12);
    }
    return ColorToString(static_cast<TColor>(SwapRB(rgb)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const Palette palette = MakePalette(input);
    const int width = input.ConsumeIntegralInRange(1, 48);
    const int height = input.ConsumeIntegralInRange(1, 48);
    FakeScreen screen(width, height);
    PaintScreen(input, palette, screen, width, height);
    TPixelBuffer picture;
    MakePicture(input, palette, screen, picture);
    const Scope scope{Edge(input), Edge(input), Edge(input), Edge(input)};
    const std::int32_t similarity = Similarity(input);
    const std::uint32_t wanted = palette[input.ConsumeIntegralInRange<std::size_t>(0, palette.size() - 1)];
    const std::string colorText = ColorText(input, wanted);

    const std::optional<TCaptureRect> rect = CaptureOf(scope, screen);
    if (rect && std::int64_t{rect->width} * rect->height > kLargestCapture) {
        return 0;
    }
    TPixelBuffer buffer;
    const bool captured = rect && buffer.CaptureScreen(screen, rect->left, rect->top, rect->width, rect->height);

    std::optional<std::uint32_t> color;
    try {
        color = SwapRB(static_cast<std::uint32_t>(StringToColor(colorText)));
    } catch (const std::invalid_argument&) {
    }
    if (color) {
        const TPoint found =
            SearchColorBlock(screen, colorText, scope.left, scope.top, scope.right, scope.bottom, similarity);
        const TPoint expected = captured ? ExpectedColorBlock(buffer, *rect, *color, similarity) : kNotFound;
        FuzzCheck(found == expected, "SearchColorBlock finds the first pixel the reference scan finds");
    } else {
        FuzzCheck(ThrowsInvalidArgument([&] { SearchColorBlock(screen, colorText, 0, 0, 0, 0, similarity); }),
                  "SearchColorBlock refuses colour text that is neither a name nor a number");
    }
    const TPoint picturePoint =
        SearchPicture(screen, &picture, scope.left, scope.top, scope.right, scope.bottom, similarity);
    const TPoint expected = captured ? ExpectedPicture(buffer, *rect, picture, similarity) : kNotFound;
    FuzzCheck(picturePoint == expected, "SearchPicture finds the first placement the reference scan finds");
    if (captured) {
        CompareScans(input, buffer, picture, wanted);
    }
    return 0;
}
