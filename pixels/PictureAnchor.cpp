#include "pixels/PictureAnchor.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace {

// Colour counts come from at most this many picture pixels, so large pictures cost no more than small ones.
constexpr std::int64_t MaxPictureSamples = 4096;
// The few rarest picture colours are counted on this many screen rows spread over the search, and the one the
// screen shows least becomes the anchor: a colour rare in the picture may still fill half the screen.
constexpr int MaxCandidates = 6;
constexpr int SampledScreenRows = 32;
constexpr int MaxCountedHits = 4096;
// Runs are looked for only when the rarest colour shows this often on the sampled rows: on an ordinary screen a
// colour is rare enough, and counting runs would cost more than it saves.
constexpr int RunsWorthCounting = 64;
constexpr int RunLengths[] = {2, PixelScan::MaxRun};
constexpr int MaxRunCandidates = 4;
// Each hit counted costs a call; a run the sampled rows show this often is not worth the counting anyway.
constexpr int MaxCountedRunHits = 256;
constexpr std::int64_t MaxRunSamples = 8192;

struct TSample {
    TPictureAnchor anchor;
    std::uint32_t key = 0;
    std::size_t pictureCount = 0;
    int screenCount = 0;
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

std::int32_t sampleStep(const TPixelBuffer& picture) {
    const std::int64_t pixels = std::int64_t{picture.width} * picture.height;
    std::int32_t step = 1;
    while (pixels / (std::int64_t{step} * step) > MaxPictureSamples) {
        ++step;
    }
    return step;
}

std::vector<TSample> samplePicture(const TPixelBuffer& picture,
                                   const std::optional<PixelScan::TByteTolerance>& tolerance) {
    std::vector<TSample> samples;
    const std::int32_t step = sampleStep(picture);
    for (std::int32_t y = 0; y < picture.height; y += step) {
        for (std::int32_t x = 0; x < picture.width; x += step) {
            const std::uint32_t color = picture.Pixel(x, y);
            samples.push_back({{x, y, color, 1, {color}}, groupKey(color, tolerance)});
        }
    }
    std::vector<std::uint32_t> keys(samples.size());
    std::transform(samples.begin(), samples.end(), keys.begin(), [](const TSample& s) { return s.key; });
    std::sort(keys.begin(), keys.end());
    for (TSample& sample : samples) {
        const auto [first, last] = std::equal_range(keys.begin(), keys.end(), sample.key);
        sample.pictureCount = static_cast<std::size_t>(last - first);
    }
    return samples;
}

// One sample of each of the rarest colours of the picture, the rarest first.
std::vector<TSample> rarestColors(std::vector<TSample> samples) {
    std::stable_sort(samples.begin(), samples.end(),
                     [](const TSample& a, const TSample& b) { return a.pictureCount < b.pictureCount; });
    std::vector<TSample> candidates;
    for (const TSample& sample : samples) {
        const bool seen =
            std::any_of(candidates.begin(), candidates.end(), [&](const TSample& c) { return c.key == sample.key; });
        if (!seen) {
            candidates.push_back(sample);
            if (candidates.size() == MaxCandidates) {
                break;
            }
        }
    }
    return candidates;
}

int countInRow(const std::uint8_t* pixels, int count, int pixelBytes, const TPictureAnchor& anchor,
               const std::optional<PixelScan::TByteTolerance>& tolerance, int limit) {
    int hits = 0;
    for (int from = 0; from < count && hits < limit; ++hits) {
        const int rest = count - from;
        const std::uint8_t* start = pixels + pixelBytes * static_cast<std::ptrdiff_t>(from);
        const int hit = PixelScan::FindRun(start, rest, anchor.run, anchor.length, tolerance, pixelBytes);
        if (hit < 0) {
            break;
        }
        from += hit + 1;
    }
    return hits;
}

// How often the screen shows the anchor's colour where the search would look for it, on sampled rows; counting
// stops at `limit`.
int screenCount(const TPixelView& screen, const TPixelBuffer& picture, const TPictureAnchor& anchor,
                const std::optional<PixelScan::TByteTolerance>& tolerance, int limit) {
    const std::int32_t placementRows = screen.height - picture.height + 1;
    const std::int32_t columns = screen.width - picture.width + 1;
    const int rows = std::min(placementRows, SampledScreenRows);
    int hits = 0;
    for (int i = 0; i < rows && hits < limit; ++i) {
        // The middle row of each of `rows` equal bands, so that no band's edge stands for more than itself.
        const auto top = static_cast<std::int32_t>((2 * std::int64_t{i} + 1) * placementRows / (2 * rows));
        const std::uint8_t* start =
            screen.Row(top + anchor.y) + screen.pixelBytes * static_cast<std::ptrdiff_t>(anchor.x);
        hits += countInRow(start, columns, screen.pixelBytes, anchor, tolerance, limit - hits);
    }
    return hits;
}

// The runs of `length` pixels of the picture's rows, on every row (a single pixel that differs is what makes a
// picture cut from a repetitive screen rare), each keyed by its colours, with how often the picture shows its key.
std::vector<TSample> sampleRuns(const TPixelBuffer& picture, int length,
                                const std::optional<PixelScan::TByteTolerance>& tolerance) {
    std::vector<TSample> samples;
    const std::int64_t pixels = std::int64_t{picture.width} * picture.height;
    const auto step = static_cast<std::int32_t>(std::max<std::int64_t>(1, pixels / MaxRunSamples));
    for (std::int32_t y = 0; y < picture.height; ++y) {
        for (std::int32_t x = 0; x + length <= picture.width; x += step) {
            TSample sample{{x, y, picture.Pixel(x, y), length, {}}, 0};
            for (int j = 0; j < length; ++j) {
                sample.anchor.run[j] = picture.Pixel(x + j, y);
                sample.key = sample.key * 0x9E3779B1u + groupKey(sample.anchor.run[j], tolerance);
            }
            samples.push_back(sample);
        }
    }
    std::vector<std::uint32_t> keys(samples.size());
    std::transform(samples.begin(), samples.end(), keys.begin(), [](const TSample& s) { return s.key; });
    std::sort(keys.begin(), keys.end());
    for (TSample& sample : samples) {
        const auto [first, last] = std::equal_range(keys.begin(), keys.end(), sample.key);
        sample.pictureCount = static_cast<std::size_t>(last - first);
    }
    return samples;
}

// The run the screen shows least, if it shows it less than `fewest` times on the sampled rows.
std::optional<TPictureAnchor> rarestRun(const TPixelView& screen, const TPixelBuffer& picture,
                                        const std::optional<PixelScan::TByteTolerance>& tolerance, int fewest) {
    std::optional<TPictureAnchor> best;
    fewest = std::min(fewest, MaxCountedRunHits);
    for (const int length : RunLengths) {
        if (length > picture.width) {
            continue;
        }
        std::vector<TSample> candidates = rarestColors(sampleRuns(picture, length, tolerance));
        candidates.resize(std::min<std::size_t>(candidates.size(), MaxRunCandidates));
        for (const TSample& candidate : candidates) {
            const int count = screenCount(screen, picture, candidate.anchor, tolerance, fewest);
            if (count < fewest) {
                fewest = count;
                best = candidate.anchor;
            }
        }
    }
    return best;
}

} // namespace

bool TPictureAnchor::Holds(const TPixelView& screen, std::int32_t left, std::int32_t top,
                           const std::optional<PixelScan::TByteTolerance>& tolerance) const {
    const std::uint32_t shown = screen.Pixel(left + x, top + y);
    if (!tolerance) {
        return shown == color;
    }
    return ColorsSimilar(shown, color, {tolerance->r, tolerance->g, tolerance->b});
}

TPictureAnchors ChoosePictureAnchors(const TPixelView& screen, const TPixelBuffer& picture,
                                     const std::optional<PixelScan::TByteTolerance>& tolerance) {
    std::vector<TSample> candidates = rarestColors(samplePicture(picture, tolerance));
    int best = MaxCountedHits;
    int secondBest = MaxCountedHits;
    for (TSample& candidate : candidates) {
        if (secondBest == 0) {
            candidate.screenCount = MaxCountedHits + 1; // two colours the screen never shows: none can do better
            continue;
        }
        // Counting beyond the second best so far cannot change the two that are kept.
        candidate.screenCount = screenCount(screen, picture, candidate.anchor, tolerance, secondBest + 1);
        if (candidate.screenCount < best) {
            secondBest = best;
            best = candidate.screenCount;
        } else if (candidate.screenCount < secondBest) {
            secondBest = candidate.screenCount;
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const TSample& a, const TSample& b) { return a.screenCount < b.screenCount; });
    TPictureAnchors anchors{candidates.front().anchor,
                            candidates[std::min<std::size_t>(1, candidates.size() - 1)].anchor};
    if (best >= RunsWorthCounting) {
        if (const std::optional<TPictureAnchor> run = rarestRun(screen, picture, tolerance, best)) {
            anchors = {*run, candidates.front().anchor};
        }
    }
    return anchors;
}
