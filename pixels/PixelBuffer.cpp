#include "pixels/PixelBuffer.h"

#include "pixels/PictureAnchor.h"
#include "pixels/PixelScan.h"
#include "platform/Screen.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <utility>

namespace {
// The columns (or rows) from `start` for `length` that lie in low .. high; a length of 0 or less reaches to high.
std::optional<std::pair<std::int32_t, std::int32_t>> clipSpan(std::int32_t start, std::int32_t length, std::int32_t low,
                                                              std::int64_t high) {
    const std::int64_t end = length > 0 ? std::int64_t{start} + length : high;
    const std::int64_t first = std::max(start, low);
    const std::int64_t last = std::min(end, high);
    if (last <= first) {
        return std::nullopt;
    }
    return std::pair{static_cast<std::int32_t>(first), static_cast<std::int32_t>(last - first)};
}
} // namespace

std::optional<TCaptureRect> ClipCaptureRect(std::int32_t left, std::int32_t top, std::int32_t width,
                                            std::int32_t height, const TRect& desktop) {
    const auto columns = clipSpan(left, width, desktop.left, std::int64_t{desktop.left} + desktop.width);
    const auto rows = clipSpan(top, height, desktop.top, std::int64_t{desktop.top} + desktop.height);
    if (!columns || !rows) {
        return std::nullopt;
    }
    return TCaptureRect{columns->first, rows->first, columns->second, rows->second};
}

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;
constexpr std::size_t HeadersSize = FileHeaderSize + InfoHeaderSize;

struct TLayout {
    std::int32_t lineWidth = 0;
    std::int32_t size = 0;
};

// Rows of 3-byte pixels padded to 4 bytes; dimensions whose byte count does not fit the 32-bit fields are refused.
std::optional<TLayout> layoutFor(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) {
        return std::nullopt;
    }
    const std::int64_t lineWidth = ((std::int64_t{width} * 24 + 31) & ~std::int64_t{31}) / 8;
    constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    // lineWidth is checked first: its product with a large height would not fit even 64 bits.
    if (lineWidth > limit || lineWidth * height > limit) {
        return std::nullopt;
    }
    return TLayout{static_cast<std::int32_t>(lineWidth), static_cast<std::int32_t>(lineWidth * height)};
}

std::size_t bytesLeft(const TByteStream& stream) {
    return stream.position < stream.bytes.size() ? stream.bytes.size() - stream.position : 0;
}

// Copies up to `count` bytes from the stream's position on, as a stream read does; returns how many it copied.
std::size_t readStream(TByteStream& stream, std::uint8_t* target, std::size_t count) {
    const std::size_t copied = std::min(count, bytesLeft(stream));
    if (copied > 0) {
        std::memcpy(target, stream.bytes.data() + stream.position, copied);
    }
    stream.position += copied;
    return copied;
}

std::uint32_t littleEndian(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

struct TBmpHeaders {
    std::uint32_t fileType = 0;
    std::uint32_t infoSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
};

TBmpHeaders parseHeaders(const std::array<std::uint8_t, HeadersSize>& bytes) {
    const std::uint8_t* info = bytes.data() + FileHeaderSize;
    return {littleEndian(bytes.data(), 2),
            littleEndian(info, 4),
            static_cast<std::int32_t>(littleEndian(info + 4, 4)),
            static_cast<std::int32_t>(littleEndian(info + 8, 4)),
            littleEndian(info + 14, 2),
            littleEndian(info + 16, 4)};
}

bool isPlain24BitBmp(const TBmpHeaders& headers) {
    return headers.fileType == 0x4D42 && headers.infoSize == InfoHeaderSize && headers.bitCount == 24 &&
           headers.compression == 0;
}

// A picture text of a few bytes may claim a picture of gigabytes: its rows must be there before any memory is taken.
bool streamHoldsRows(const TByteStream& stream, const TBmpHeaders& headers) {
    const std::optional<TLayout> layout = layoutFor(headers.width, headers.height);
    return layout && static_cast<std::size_t>(layout->size) <= bytesLeft(stream);
}

bool notFound(std::int32_t& x, std::int32_t& y) {
    x = -1;
    y = -1;
    return false;
}

bool found(std::int32_t column, std::int32_t row, std::int32_t& x, std::int32_t& y) {
    x = column;
    y = row;
    return true;
}

// Tolerances for the byte kernels; none when a negative one makes every pixel fail.
std::optional<PixelScan::TByteTolerance> byteTolerance(const TBDSimilar& tolerances) {
    if (tolerances.r < 0 || tolerances.g < 0 || tolerances.b < 0) {
        return std::nullopt;
    }
    const auto clamp = [](std::int32_t t) { return static_cast<std::uint8_t>(std::min(t, 255)); };
    return PixelScan::TByteTolerance{clamp(tolerances.r), clamp(tolerances.g), clamp(tolerances.b)};
}

// Rows tested at once where they lie back to back in memory.
constexpr std::int32_t BandRows = 16;

// Whether `rows` rows from `top` may show the colour: where the rows lie back to back (in either order), one scan of
// all their pixels in memory order tells, without the cost of starting each row; otherwise they may.
bool bandMayMatch(const TPixelView& screen, std::int32_t top, std::int32_t rows, std::uint32_t color,
                  const std::optional<PixelScan::TByteTolerance>& tolerance) {
    if (std::abs(screen.step) != screen.pixelBytes * static_cast<std::ptrdiff_t>(screen.width)) {
        return true;
    }
    const std::uint8_t* first = screen.step < 0 ? screen.Row(top + rows - 1) : screen.Row(top);
    return PixelScan::FindMatching(first, rows * screen.width, color, tolerance, screen.pixelBytes) >= 0;
}

// The first pixel in reading order that shows the colour, exactly or, with a tolerance, within it.
bool findFirstPixel(const TPixelView& screen, std::uint32_t color,
                    const std::optional<PixelScan::TByteTolerance>& tolerance, std::int32_t& x, std::int32_t& y) {
    color &= 0xFFFFFF;
    for (std::int32_t top = 0; top < screen.height; top += BandRows) {
        const std::int32_t rows = std::min(BandRows, screen.height - top);
        if (!bandMayMatch(screen, top, rows, color, tolerance)) {
            continue;
        }
        for (std::int32_t row = top; row < top + rows; ++row) {
            if (const int column =
                    PixelScan::FindMatching(screen.Row(row), screen.width, color, tolerance, screen.pixelBytes);
                column >= 0) {
                return found(column, row, x, y);
            }
        }
    }
    return notFound(x, y);
}

std::uint32_t pixelAt(const std::uint8_t* pixel) {
    return std::uint32_t{pixel[2]} << 16 | std::uint32_t{pixel[1]} << 8 | pixel[0];
}

} // namespace

TPixelBuffer::~TPixelBuffer() {
    Clear();
}

void TPixelBuffer::Clear() {
    delete[] bits;
    bits = nullptr;
    width = height = lineWidth = spareWidth = size = memSize = 0;
}

bool TPixelBuffer::SetSize(std::int32_t newWidth, std::int32_t newHeight) {
    if (newWidth == width && newHeight == height) {
        return true;
    }
    const std::optional<TLayout> layout = layoutFor(newWidth, newHeight);
    if (!layout) {
        Clear();
        return false;
    }
    width = newWidth;
    height = newHeight;
    lineWidth = layout->lineWidth;
    spareWidth = lineWidth - 3 * width;
    size = layout->size;
    if (memSize >= size) {
        return true;
    }
    delete[] bits;
    bits = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size)];
    if (bits == nullptr) {
        // width and height go too, so that an unchanged size later cannot pass for a held block.
        Clear();
        return false;
    }
    memSize = size;
    return true;
}

bool TPixelBuffer::LoadFromStream(TByteStream* stream) {
    if (stream == nullptr) {
        Clear();
        return false;
    }
    std::array<std::uint8_t, HeadersSize> headerBytes{};
    if (readStream(*stream, headerBytes.data(), HeadersSize) != HeadersSize) {
        Clear();
        return false;
    }
    const TBmpHeaders headers = parseHeaders(headerBytes);
    if (!isPlain24BitBmp(headers) || !streamHoldsRows(*stream, headers) || !SetSize(headers.width, headers.height) ||
        readStream(*stream, bits, static_cast<std::size_t>(size)) != static_cast<std::size_t>(size)) {
        Clear();
        return false;
    }
    return true;
}

bool TPixelBuffer::CaptureScreen(IScreen& screen, std::int32_t left, std::int32_t top, std::int32_t captureWidth,
                                 std::int32_t captureHeight) {
    if (captureWidth <= 0 || captureHeight <= 0 || !SetSize(captureWidth, captureHeight) || size == 0) {
        return false;
    }
    return screen.copyRect(left, top, width, height, bits, lineWidth);
}

std::uint32_t TPixelBuffer::Pixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return pixelAt(Row(y) + 3 * static_cast<std::ptrdiff_t>(x));
}

std::uint32_t TPixelView::Pixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return pixelAt(Row(y) + pixelBytes * static_cast<std::ptrdiff_t>(x));
}

void TPixelBuffer::SetPixel(std::int32_t x, std::int32_t y, std::uint32_t rgb) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return;
    }
    std::uint8_t* pixel =
        bits + static_cast<std::ptrdiff_t>(height - 1 - y) * lineWidth + 3 * static_cast<std::ptrdiff_t>(x);
    pixel[0] = static_cast<std::uint8_t>(rgb);
    pixel[1] = static_cast<std::uint8_t>(rgb >> 8);
    pixel[2] = static_cast<std::uint8_t>(rgb >> 16);
}

TPixelView TPixelView::Part(std::int32_t left, std::int32_t topRow, std::int32_t partWidth,
                            std::int32_t partHeight) const {
    return {Row(topRow) + pixelBytes * static_cast<std::ptrdiff_t>(left), step, partWidth, partHeight, pixelBytes};
}

bool FindColorIn(const TPixelView& screen, std::uint32_t color, const std::optional<TBDSimilar>& tolerances,
                 std::int32_t& x, std::int32_t& y) {
    if (!tolerances) {
        return findFirstPixel(screen, color, std::nullopt, x, y);
    }
    const std::optional<PixelScan::TByteTolerance> tolerance = byteTolerance(*tolerances);
    return tolerance ? findFirstPixel(screen, color, tolerance, x, y) : notFound(x, y);
}

bool TPixelBuffer::FindColor(std::uint32_t color, std::int32_t& x, std::int32_t& y) const {
    return FindColorIn(View(), color, std::nullopt, x, y);
}

bool TPixelBuffer::FindColorSimilar(std::uint32_t color, const TBDSimilar& tolerances, std::int32_t& x,
                                    std::int32_t& y) const {
    return FindColorIn(View(), color, tolerances, x, y);
}

namespace {

bool placementFits(const TPixelView& screen, const TPixelBuffer& picture, std::int32_t x, std::int32_t y) {
    return picture.size > 0 && x >= 0 && y >= 0 && std::int64_t{x} + picture.width <= screen.width &&
           std::int64_t{y} + picture.height <= screen.height;
}

const std::uint8_t* screenPixel(const TPixelView& screen, std::int32_t x, std::int32_t y) {
    return screen.Row(y) + screen.pixelBytes * static_cast<std::ptrdiff_t>(x);
}

// The picture's rows in a screen's pixel size, top row first: its own rows beside 3-byte pixels, a copy widened to
// 4-byte pixels beside those.
class TPictureRows {
public:
    TPictureRows(const TPixelBuffer& picture, std::int32_t pixelBytes) : m_picture(picture), m_pixelBytes(pixelBytes) {
        if (pixelBytes == 3) {
            return;
        }
        m_wide.resize(4 * static_cast<std::size_t>(picture.width) * picture.height);
        std::uint8_t* wide = m_wide.data();
        for (std::int32_t y = 0; y < picture.height; ++y) {
            const std::uint8_t* pixel = picture.Row(y);
            for (std::int32_t x = 0; x < picture.width; ++x, pixel += 3, wide += 4) {
                std::memcpy(wide, pixel, 3);
            }
        }
    }
    const std::uint8_t* Row(std::int32_t y) const {
        return m_wide.empty() ? m_picture.Row(y) : m_wide.data() + 4 * static_cast<std::ptrdiff_t>(m_picture.width) * y;
    }
    std::int32_t Width() const { return m_picture.width; }
    std::int32_t Height() const { return m_picture.height; }
    std::int32_t PixelBytes() const { return m_pixelBytes; }

private:
    const TPixelBuffer& m_picture;
    std::int32_t m_pixelBytes;
    std::vector<std::uint8_t> m_wide;
};

// Whether picture row `row` shows at the placement (x, y), exactly or, with a tolerance, within it. The fourth byte of
// a 4-byte pixel means nothing, so those rows are compared by their colours only.
bool rowMatches(const TPixelView& screen, const TPictureRows& picture,
                const std::optional<PixelScan::TByteTolerance>& tolerance, std::int32_t x, std::int32_t y,
                std::int32_t row) {
    const std::uint8_t* shown = screenPixel(screen, x, y + row);
    if (!tolerance && picture.PixelBytes() == 3) {
        return std::memcmp(shown, picture.Row(row), 3 * static_cast<std::size_t>(picture.Width())) == 0;
    }
    return PixelScan::AllSimilar(shown, picture.Row(row), picture.Width(),
                                 tolerance.value_or(PixelScan::TByteTolerance{}), picture.PixelBytes());
}
// Tests every picture row, the one that failed last time first: on a repetitive screen the same row tends to fail
// placement after placement. The order cannot change the answer.
template <class TRowMatches> bool allRowsMatch(std::int32_t height, std::int32_t& failedLast, TRowMatches rowMatches) {
    if (!rowMatches(failedLast)) {
        return false;
    }
    for (std::int32_t row = 0; row < height; ++row) {
        if (row != failedLast && !rowMatches(row)) {
            failedLast = row;
            return false;
        }
    }
    return true;
}
bool rowsMatch(const TPixelView& screen, const TPictureRows& picture,
               const std::optional<PixelScan::TByteTolerance>& tolerance, std::int32_t x, std::int32_t y,
               std::int32_t& failedLast) {
    return allRowsMatch(picture.Height(), failedLast,
                        [&](std::int32_t row) { return rowMatches(screen, picture, tolerance, x, y, row); });
}
// The first placement in reading order that shows the picture, exactly or, with a tolerance, within it.
bool findPlacement(const TPixelView& screen, const TPixelBuffer& picture,
                   const std::optional<PixelScan::TByteTolerance>& tolerance, std::int32_t& x, std::int32_t& y) {
    if (!placementFits(screen, picture, 0, 0)) {
        return notFound(x, y);
    }
    const TPictureAnchors anchors = ChoosePictureAnchors(screen, picture, tolerance);
    const TPictureRows rows(picture, screen.pixelBytes);
    std::int32_t failedLast = 0;
    const auto candidateAt = [&](std::int32_t column, std::int32_t row) {
        return anchors.second.Holds(screen, column, row, tolerance) &&
               rowsMatch(screen, rows, tolerance, column, row, failedLast);
    };
    const auto scan = [&](const std::uint8_t* pixels, int count) {
        return PixelScan::FindRun(pixels, count, anchors.first.run, anchors.first.length, tolerance, screen.pixelBytes);
    };
    return ScanAnchorPlacements(screen, picture, anchors.first, scan, candidateAt, x, y) || notFound(x, y);
}

} // namespace

bool TPixelBuffer::MatchAt(const TPixelBuffer& picture, std::int32_t x, std::int32_t y) const {
    std::int32_t firstRow = 0;
    return placementFits(View(), picture, x, y) && rowsMatch(View(), {picture, 3}, std::nullopt, x, y, firstRow);
}

bool TPixelBuffer::MatchAtSimilar(const TPixelBuffer& picture, const TBDSimilar& tolerances, std::int32_t x,
                                  std::int32_t y) const {
    const std::optional<PixelScan::TByteTolerance> tolerance = byteTolerance(tolerances);
    std::int32_t firstRow = 0;
    return tolerance && placementFits(View(), picture, x, y) &&
           rowsMatch(View(), {picture, 3}, tolerance, x, y, firstRow);
}

bool FindBitmapIn(const TPixelView& screen, const TPixelBuffer& picture, const std::optional<TBDSimilar>& tolerances,
                  std::int32_t& x, std::int32_t& y) {
    if (!tolerances) {
        return findPlacement(screen, picture, std::nullopt, x, y);
    }
    const std::optional<PixelScan::TByteTolerance> tolerance = byteTolerance(*tolerances);
    return tolerance ? findPlacement(screen, picture, tolerance, x, y) : notFound(x, y);
}

bool TPixelBuffer::FindBitmap(const TPixelBuffer& picture, std::int32_t& x, std::int32_t& y) const {
    return FindBitmapIn(View(), picture, std::nullopt, x, y);
}

bool TPixelBuffer::FindBitmapSimilar(const TPixelBuffer& picture, const TBDSimilar& tolerances, std::int32_t& x,
                                     std::int32_t& y) const {
    return FindBitmapIn(View(), picture, tolerances, x, y);
}

namespace {
// Pixels per metre in both directions, 72 dots per inch.
constexpr std::uint32_t kPixelsPerMetre = 2835;

void putLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}
} // namespace

std::vector<std::uint8_t> EncodeBmp24(const TPixelBuffer& picture) {
    if (picture.width <= 0 || picture.height <= 0 || picture.bits == nullptr) {
        return {};
    }
    const auto pixelBytes = static_cast<std::uint32_t>(picture.size);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(HeadersSize + pixelBytes);
    putLittleEndian(bytes, 0x4D42, 2);
    putLittleEndian(bytes, static_cast<std::uint32_t>(HeadersSize) + pixelBytes, 4);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(HeadersSize), 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(InfoHeaderSize), 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(picture.width), 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(picture.height), 4);
    putLittleEndian(bytes, 1, 2);
    putLittleEndian(bytes, 24, 2);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, pixelBytes, 4);
    putLittleEndian(bytes, kPixelsPerMetre, 4);
    putLittleEndian(bytes, kPixelsPerMetre, 4);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, 0, 4);
    // Rows lie bottom-up in the buffer as in the file; the padding bytes are written as zeros.
    for (std::int32_t row = 0; row < picture.height; ++row) {
        const std::uint8_t* line = picture.bits + static_cast<std::ptrdiff_t>(row) * picture.lineWidth;
        bytes.insert(bytes.end(), line, line + 3 * static_cast<std::ptrdiff_t>(picture.width));
        bytes.insert(bytes.end(), static_cast<std::size_t>(picture.spareWidth), 0);
    }
    return bytes;
}

bool DecodeBmp24(std::span<const std::uint8_t> bytes, TPixelBuffer& picture) {
    TByteStream stream{bytes, 0};
    return picture.LoadFromStream(&stream);
}
