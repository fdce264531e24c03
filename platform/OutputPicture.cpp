#include "platform/OutputPicture.h"

#include "platform/PixelRows.h"
#include "platform/PrimaryMonitor.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
// A frame pixel as 0x00RRGGBB.
std::uint32_t framePixel(const OutputFrame& frame, int x, int y) {
    const int row = frame.bottomUp ? frame.height - 1 - y : y;
    std::uint32_t value = 0;
    std::memcpy(&value, frame.pixels + static_cast<std::ptrdiff_t>(row) * frame.stride + 4 * x, 4);
    if (frame.redFirst)
        value = (value & 0x00ff00u) | ((value & 0xffu) << 16) | ((value >> 16) & 0xffu);
    return value & 0xffffffu;
}

int floorDiv(long long a, long long b) {
    return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b));
}

int ceilDiv(long long a, long long b) {
    return -floorDiv(-a, b);
}

// Frame pixels `from`..`from + count` of `frameSize` pixels, in the `logicalSize` logical pixels they show.
std::pair<int, int> logicalSpan(int from, int count, int frameSize, int logicalSize) {
    const int first = floorDiv(static_cast<long long>(from) * logicalSize, frameSize);
    const int end = ceilDiv(static_cast<long long>(from + count) * logicalSize, frameSize);
    return {std::max(first, 0), std::min(end, logicalSize)};
}

// The frame pixel that shows a logical pixel's centre.
int framePosition(int logical, int logicalSize, int frameSize) {
    return static_cast<int>((2LL * logical + 1) * frameSize / (2LL * logicalSize));
}
} // namespace

void OutputPicture::reset(TRect extent) {
    m_extent = extent;
    m_pixels.assign(static_cast<std::size_t>(extent.width) * static_cast<std::size_t>(extent.height), 0);
    m_changed.clear();
}

void OutputPicture::compose(const OutputFrame& frame, TRect logical, TRect area, TPoint origin) {
    if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0 || logical.width <= 0 || logical.height <= 0)
        return;
    const auto [left, right] = logicalSpan(area.left, area.width, frame.width, logical.width);
    const auto [top, bottom] = logicalSpan(area.top, area.height, frame.height, logical.height);
    const bool unscaled = frame.width == logical.width && frame.height == logical.height;
    const int pictureLeft = logical.left - m_extent.left;
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* out = row(logical.top + y) + pictureLeft;
        if (unscaled && !frame.redFirst) {
            const int sourceRow = frame.bottomUp ? frame.height - 1 - y : y;
            std::memcpy(out + left, frame.pixels + static_cast<std::ptrdiff_t>(sourceRow) * frame.stride + 4 * left,
                        4 * static_cast<std::size_t>(right - left));
            continue;
        }
        const int sourceY = unscaled ? y : framePosition(y, logical.height, frame.height);
        for (int x = left; x < right; ++x)
            out[x] = framePixel(frame, unscaled ? x : framePosition(x, logical.width, frame.width), sourceY);
    }
    if (right > left && bottom > top)
        m_changed.push_back({logical.left + left - origin.x, logical.top + top - origin.y, right - left, bottom - top});
}

std::uint32_t OutputPicture::layoutPixel(int x, int y) const {
    if (x < m_extent.left || y < m_extent.top || x >= m_extent.left + m_extent.width ||
        y >= m_extent.top + m_extent.height)
        return 0;
    return row(y)[x - m_extent.left];
}

// The part on the picture is converted row by row as X11's images are; the rest of the rectangle is black.
void OutputPicture::copyRect(TPoint origin, int left, int top, int width, int height, std::uint8_t* bits,
                             int lineWidth) const {
    const TPoint start = rootFromProgram({left, top}, origin);
    const int fromX = std::clamp(m_extent.left - start.x, 0, width);
    const int toX = std::clamp(m_extent.left + m_extent.width - start.x, fromX, width);
    const int fromY = std::clamp(m_extent.top - start.y, 0, height);
    const int toY = std::clamp(m_extent.top + m_extent.height - start.y, fromY, height);
    const auto rowOut = [&](int y) { return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * lineWidth; };
    for (int y = 0; y < height; ++y) {
        const bool onPicture = y >= fromY && y < toY;
        std::memset(rowOut(y), 0, 3 * static_cast<std::size_t>(onPicture ? fromX : width));
        if (onPicture)
            std::memset(rowOut(y) + 3 * toX, 0, 3 * static_cast<std::size_t>(width - toX));
    }
    if (toX > fromX && toY > fromY) {
        const std::uint32_t* first = row(start.y + fromY) + (start.x + fromX - m_extent.left);
        convertPixelRows({reinterpret_cast<const std::uint8_t*>(first), static_cast<std::ptrdiff_t>(m_extent.width) * 4,
                          PixelLayout{}},
                         toX - fromX, toY - fromY,
                         {rowOut(fromY) + 3 * fromX, -static_cast<std::ptrdiff_t>(lineWidth)});
    }
}

std::uint32_t OutputPicture::pixelColor(TPoint origin, int x, int y) const {
    const TPoint at = rootFromProgram({x, y}, origin);
    const std::uint32_t pixel = layoutPixel(at.x, at.y);
    return ((pixel & 0xffu) << 16) | (pixel & 0xff00u) | ((pixel >> 16) & 0xffu);
}

std::vector<TRect> OutputPicture::takeChanged() {
    return std::exchange(m_changed, {});
}
