#include "model/StartTime.h"

#include <cstdio>
#include <vector>

namespace {
std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> ColonParts(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (std::size_t colon; (colon = text.find(':', begin)) != std::string::npos; begin = colon + 1)
        parts.push_back(text.substr(begin, colon - begin));
    parts.push_back(text.substr(begin));
    return parts;
}

// One or two digits making a number up to `largest`.
std::optional<int> Part(const std::string& part, int largest) {
    if (part.empty() || part.size() > 2 || part.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int value = std::stoi(part);
    return value <= largest ? std::optional<int>(value) : std::nullopt;
}
} // namespace

std::optional<TTimeOfDay> ReadStartTime(const std::string& text) {
    const std::vector<std::string> parts = ColonParts(Trimmed(text));
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    const auto hour = Part(parts[0], 23);
    const auto minute = Part(parts[1], 59);
    const auto second = parts.size() == 3 ? Part(parts[2], 59) : std::optional<int>(0);
    if (!hour || !minute || !second)
        return std::nullopt;
    return TTimeOfDay{*hour, *minute, *second};
}

std::string StartTimeText(TTimeOfDay time) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}
