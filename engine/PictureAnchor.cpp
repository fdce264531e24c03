#include "engine/PictureAnchor.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <vector>

namespace {

// Colour counts come from at most this many pixels, so large pictures cost no more than small ones.
constexpr std::int64_t MaxSamples = 4096;

struct TSample {
    TPictureAnchor anchor;
    std::uint32_t key = 0;
    std::size_t count = 0;
};

// Channels cut into bands about as wide as the tolerance, so that colours it joins mostly share a key.
std::uint32_t groupKey(std::uint32_t color, const std::optional<PixelScan::TByteTolerance>& tolerance) {
    if (!tolerance) {
        return color;
    }
    const unsigned widest = std::max({tolerance->r, tolerance->g, tolerance->b});
    const int shift = std::bit_width(widest);
    const std::uint32_t band = (0xFFu >> shift) << shift;
    return color & (band << 16 | band << 8 | band);
}

std::int32_t sampleStep(const TBDBitmapData& picture) {
    const std::int64_t pixels = std::int64_t{picture.Width} * picture.Height;
    std::int32_t step = 1;
    while (pixels / (std::int64_t{step} * step) > MaxSamples) {
        ++step;
    }
    return step;
}

std::vector<TSample> samplePicture(const TBDBitmapData& picture,
                                   const std::optional<PixelScan::TByteTolerance>& tolerance) {
    std::vector<TSample> samples;
    const std::int32_t step = sampleStep(picture);
    for (std::int32_t y = 0; y < picture.Height; y += step) {
        for (std::int32_t x = 0; x < picture.Width; x += step) {
            const std::uint32_t color = picture.Pixel(x, y);
            samples.push_back({{x, y, color}, groupKey(color, tolerance), 0});
        }
    }
    std::vector<std::uint32_t> keys(samples.size());
    std::transform(samples.begin(), samples.end(), keys.begin(), [](const TSample& s) { return s.key; });
    std::sort(keys.begin(), keys.end());
    for (TSample& sample : samples) {
        const auto [first, last] = std::equal_range(keys.begin(), keys.end(), sample.key);
        sample.count = static_cast<std::size_t>(last - first);
    }
    return samples;
}

const TSample* rarest(const std::vector<TSample>& samples, std::optional<std::uint32_t> excludedKey) {
    const TSample* best = nullptr;
    for (const TSample& sample : samples) {
        if (sample.key != excludedKey && (best == nullptr || sample.count < best->count)) {
            best = &sample;
        }
    }
    return best;
}

} // namespace

bool TPictureAnchor::Holds(const TBDBitmapData& screen, std::int32_t left, std::int32_t top,
                           const std::optional<PixelScan::TByteTolerance>& tolerance) const {
    const std::uint32_t shown = screen.Pixel(left + x, top + y);
    if (!tolerance) {
        return shown == color;
    }
    const auto near = [&](int shift, std::uint8_t by) {
        return std::abs(static_cast<int>((shown >> shift) & 0xFF) - static_cast<int>((color >> shift) & 0xFF)) <= by;
    };
    return near(0, tolerance->b) && near(8, tolerance->g) && near(16, tolerance->r);
}

TPictureAnchors ChoosePictureAnchors(const TBDBitmapData& picture,
                                     const std::optional<PixelScan::TByteTolerance>& tolerance) {
    const std::vector<TSample> samples = samplePicture(picture, tolerance);
    const TSample* first = rarest(samples, std::nullopt);
    const TSample* second = rarest(samples, first->key);
    return {first->anchor, (second != nullptr ? second : first)->anchor};
}
