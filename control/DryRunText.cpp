#include "control/DryRunText.h"

#include "control/OutputText.h"
#include "model/ColorText.h"

namespace {

std::string PointText(TPoint point) {
    std::string text(1, '(');
    text += std::to_string(point.x);
    text += ", ";
    text += std::to_string(point.y);
    return text + ")";
}

std::string ColourText(std::uint32_t rgb) {
    return ColorToString(static_cast<TColor>(SwapRB(rgb)));
}

std::string InMs(const TDryRunResult& result) {
    std::string text = " in ";
    text += std::to_string(result.elapsedMs);
    return text + " ms";
}

std::string ColourMissText(const TColourMiss& miss) {
    std::string text = " Nearest: ";
    text += PointText(miss.at);
    text += ", colour ";
    text += ColourText(miss.color);
    text += ", beyond the tolerance by red ";
    text += std::to_string(miss.beyond.r);
    text += ", green ";
    text += std::to_string(miss.beyond.g);
    text += ", blue ";
    text += std::to_string(miss.beyond.b);
    return text + ".";
}

std::string PictureMissText(const TPictureMiss& miss) {
    std::string text = " Best place: ";
    text += PointText(miss.at);
    text += " at ";
    text += std::to_string(miss.reached);
    text += "% similarity, ";
    text += std::to_string(miss.asked);
    return text + "% asked.";
}

std::string NotFoundText(const TDryRunResult& result) {
    std::string text = "Not found";
    text += InMs(result);
    text += ".";
    if (result.colourMiss) {
        text += ColourMissText(*result.colourMiss);
    }
    if (result.pictureMiss) {
        text += PictureMissText(*result.pictureMiss);
    }
    return text;
}

std::string JsonPoint(TPoint point) {
    std::string text = "{\"x\": ";
    text += std::to_string(point.x);
    text += ", \"y\": ";
    text += std::to_string(point.y);
    return text + "}";
}

std::string JsonMiss(const TDryRunResult& result) {
    if (const auto& miss = result.colourMiss) {
        return ", \"nearest\": {\"at\": " + JsonPoint(miss->at) +
               ", \"colour\": " + JsonString(ColourText(miss->color)) +
               ", \"beyondTolerance\": {\"red\": " + std::to_string(miss->beyond.r) +
               ", \"green\": " + std::to_string(miss->beyond.g) + ", \"blue\": " + std::to_string(miss->beyond.b) +
               "}}";
    }
    if (const auto& miss = result.pictureMiss) {
        return ", \"nearest\": {\"at\": " + JsonPoint(miss->at) +
               ", \"similarityReached\": " + std::to_string(miss->reached) +
               ", \"similarityAsked\": " + std::to_string(miss->asked) + "}";
    }
    return {};
}

const char* OutcomeName(TDryRunOutcome outcome) {
    switch (outcome) {
    case TDryRunOutcome::Found:
        return "found";
    case TDryRunOutcome::NotFound:
        return "not found";
    case TDryRunOutcome::Cancelled:
        return "cancelled";
    default:
        return "could not search";
    }
}

} // namespace

std::string SearchFailureText(TSearchFailure failure) {
    switch (failure) {
    case TSearchFailure::None:
        return {};
    case TSearchFailure::NotASearch:
        return "the click looks for no colour or picture";
    case TSearchFailure::ColourUnreadable:
        return "the colour is no colour";
    case TSearchFailure::PictureUnreadable:
        return "the picture cannot be read (a 24-bit BMP is needed)";
    case TSearchFailure::ScopeOffScreen:
        return "the scope is off the screen";
    case TSearchFailure::PictureLargerThanScope:
        return "the picture is larger than the scope";
    case TSearchFailure::CaptureRefused:
        return "the system refused to copy the screen";
    }
    return {};
}

std::string DryRunLine(const TDryRunResult& result) {
    switch (result.outcome) {
    case TDryRunOutcome::Found:
        return "Found at " + PointText(result.place) + InMs(result) + ".";
    case TDryRunOutcome::NotFound:
        return NotFoundText(result);
    case TDryRunOutcome::Cancelled:
        return "Search cancelled.";
    case TDryRunOutcome::CouldNotSearch:
        break;
    }
    return "Could not search: " + SearchFailureText(result.failure) + ".";
}

std::string DryRunJson(const std::string& clickName, const TDryRunResult& result) {
    std::string json = "{\"name\": " + JsonString(clickName) + ", \"result\": \"" + OutcomeName(result.outcome) + "\"";
    if (result.outcome == TDryRunOutcome::Found) {
        json += ", \"at\": " + JsonPoint(result.place);
    }
    if (result.outcome == TDryRunOutcome::CouldNotSearch) {
        json += ", \"why\": " + JsonString(SearchFailureText(result.failure));
    }
    json += JsonMiss(result);
    json += ", \"ms\": " + std::to_string(result.elapsedMs) + ", \"text\": " + JsonString(DryRunLine(result));
    return json + "}";
}
