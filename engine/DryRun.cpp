#include "engine/DryRun.h"

#include "model/ColorText.h"
#include "pixels/PictureText.h"
#include "platform/Screen.h"

#include <stdexcept>
#include <tuple>

namespace {

TRect asRect(const TCaptureRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

std::int64_t msSince(std::chrono::steady_clock::time_point started) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
}

// The scope as the click's tick searches it: the whole screen, or the stored edges unclipped.
std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t> scopeOf(IScreen& screen, const TMouseObj& click) {
    if (click.ScreenType != scFull) {
        return {click.fLeft, click.fTop, click.fRight, click.fBottom};
    }
    const TSize size = screen.screenSize();
    return {0, 0, size.width, size.height};
}

std::optional<std::uint32_t> colourOf(const TMouseObj& click) {
    try {
        return SwapRB(static_cast<std::uint32_t>(StringToColor(click.fColor)));
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

// Nothing for text that is not base64 or bytes that are not a 24-bit BMP, as for no picture at all.
std::shared_ptr<const TPixelBuffer> pictureOf(const TMouseObj& click) {
    try {
        std::shared_ptr<const TPixelBuffer> picture = DecodePicture(click.fBMP);
        return picture && picture->width > 0 && picture->height > 0 ? picture : nullptr;
    } catch (const std::invalid_argument&) {
        return nullptr;
    }
}

bool readWanted(const TMouseObj& click, TDryRunInput& input) {
    if (click.pointType == ptColor) {
        const std::optional<std::uint32_t> colour = colourOf(click);
        input.color = colour.value_or(0);
        input.failure = colour ? TSearchFailure::None : TSearchFailure::ColourUnreadable;
    } else {
        input.picture = pictureOf(click);
        input.failure = input.picture ? TSearchFailure::None : TSearchFailure::PictureUnreadable;
    }
    return input.failure == TSearchFailure::None;
}

bool captureArea(IScreen& screen, const TMouseObj& click, TDryRunInput& input) {
    const auto [left, top, right, bottom] = scopeOf(screen, click);
    const TSearchArea area = input.kind == ptColor ? ColourSearchArea(screen, left, top, right, bottom)
                                                   : PictureSearchArea(screen, left, top, right, bottom);
    if (!area.rect) {
        input.failure = TSearchFailure::ScopeOffScreen;
        return false;
    }
    input.rect = *area.rect;
    input.parts = area.parts;
    if (input.picture && (input.picture->width > input.rect.width || input.picture->height > input.rect.height)) {
        input.failure = TSearchFailure::PictureLargerThanScope;
        return false;
    }
    input.pixels = std::make_shared<TPixelBuffer>();
    if (!input.pixels->CaptureScreen(screen, input.rect.left, input.rect.top, input.rect.width, input.rect.height)) {
        input.failure = TSearchFailure::CaptureRefused;
        return false;
    }
    return true;
}

TSearchArea areaOf(const TDryRunInput& input) {
    return {input.rect, input.parts};
}

// The nearest pixel over every part, relative to the rectangle; the first in reading order among equals.
std::optional<TNearestPixel> nearestPixelIn(const TDryRunInput& input, const TCancelFlag& cancel) {
    const TPixelView shown = input.pixels->View();
    std::optional<TNearestPixel> nearest;
    for (const TRect& part : input.parts) {
        const TPoint offset{part.left - input.rect.left, part.top - input.rect.top};
        std::optional<TNearestPixel> inPart =
            NearestPixel(shown.Part(offset.x, offset.y, part.width, part.height), input.color, cancel);
        if (!inPart) {
            continue;
        }
        inPart->x += offset.x;
        inPart->y += offset.y;
        const auto rank = [](const TNearestPixel& p) { return std::make_tuple(p.distance.Largest(), p.y, p.x); };
        if (!nearest || rank(*inPart) < rank(*nearest)) {
            nearest = inPart;
        }
    }
    return nearest;
}

std::optional<TNearestPlacement> nearestPlacementIn(const TDryRunInput& input, const TCancelFlag& cancel) {
    const TPixelView shown = input.pixels->View();
    std::optional<TNearestPlacement> nearest;
    for (const TRect& part : input.parts) {
        const TPoint offset{part.left - input.rect.left, part.top - input.rect.top};
        std::optional<TNearestPlacement> inPart =
            NearestPlacement(shown.Part(offset.x, offset.y, part.width, part.height), *input.picture, cancel);
        if (!inPart) {
            continue;
        }
        inPart->x += offset.x;
        inPart->y += offset.y;
        const auto rank = [](const TNearestPlacement& p) { return std::make_tuple(p.worst, p.y, p.x); };
        if (!nearest || rank(*inPart) < rank(*nearest)) {
            nearest = inPart;
        }
    }
    return nearest;
}

TChannelDistance beyondTolerance(const TChannelDistance& distance, std::int32_t similarity) {
    const std::int32_t tolerance = similarity == 100 ? 0 : SimilarityTolerance(similarity);
    const auto beyond = [&](std::int32_t d) { return std::max(d - tolerance, 0); };
    return {beyond(distance.r), beyond(distance.g), beyond(distance.b)};
}

void findColour(const TDryRunInput& input, const TCancelFlag& cancel, TDryRunResult& result) {
    if (const std::optional<TPoint> at =
            FirstColourIn(input.pixels->View(), areaOf(input), input.color, input.similarity)) {
        result.outcome = TDryRunOutcome::Found;
        result.place = {input.rect.left + at->x, input.rect.top + at->y};
        return;
    }
    const std::optional<TNearestPixel> nearest = nearestPixelIn(input, cancel);
    if (!nearest) {
        result.outcome = cancel.load() ? TDryRunOutcome::Cancelled : TDryRunOutcome::NotFound;
        return;
    }
    result.outcome = TDryRunOutcome::NotFound;
    result.colourMiss = TColourMiss{{input.rect.left + nearest->x, input.rect.top + nearest->y},
                                    nearest->color,
                                    beyondTolerance(nearest->distance, input.similarity)};
}

void findPicture(const TDryRunInput& input, const TCancelFlag& cancel, TDryRunResult& result) {
    const TPixelBuffer& picture = *input.picture;
    result.picture = {picture.width, picture.height};
    if (const std::optional<TPoint> at =
            FirstPictureIn(input.pixels->View(), areaOf(input), picture, input.similarity)) {
        result.outcome = TDryRunOutcome::Found;
        result.pictureAt = {input.rect.left + at->x, input.rect.top + at->y};
        result.place = {result.pictureAt.x + picture.width / 2, result.pictureAt.y + picture.height / 2};
        return;
    }
    const std::optional<TNearestPlacement> nearest = nearestPlacementIn(input, cancel);
    if (!nearest) {
        result.outcome = cancel.load() ? TDryRunOutcome::Cancelled : TDryRunOutcome::NotFound;
        return;
    }
    result.outcome = TDryRunOutcome::NotFound;
    result.pictureMiss = TPictureMiss{{input.rect.left + nearest->x, input.rect.top + nearest->y},
                                      SimilarityReached(nearest->worst),
                                      input.similarity};
}

} // namespace

TDryRunInput CaptureForDryRun(IScreen& screen, const TMouseObj& click) {
    TDryRunInput input;
    input.started = std::chrono::steady_clock::now();
    input.kind = click.pointType;
    input.similarity = click.pointType == ptColor ? click.fColorSimplar : click.fBMPSimplar;
    if (click.pointType != ptColor && click.pointType != ptPicture) {
        input.failure = TSearchFailure::NotASearch;
        return input;
    }
    if (readWanted(click, input)) {
        captureArea(screen, click, input);
    }
    return input;
}

TDryRunResult RunDryRun(const TDryRunInput& input, const TCancelFlag& cancel) {
    TDryRunResult result;
    result.failure = input.failure;
    result.scope = asRect(input.rect);
    if (input.picture) {
        result.picture = {input.picture->width, input.picture->height};
    }
    if (input.failure == TSearchFailure::None) {
        if (input.kind == ptColor) {
            findColour(input, cancel, result);
        } else {
            findPicture(input, cancel, result);
        }
    }
    result.elapsedMs = msSince(input.started);
    return result;
}

TDryRunResult DryRun(IScreen& screen, const TMouseObj& click, const TCancelFlag& cancel) {
    return RunDryRun(CaptureForDryRun(screen, click), cancel);
}
