#include "control/OutputText.h"

#include <cstddef>
#include <cstdint>

namespace {

const char* const kReplacement = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at `at`, or 0 when none starts there.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - at < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// C0 controls and DEL as one byte, C1 controls (U+0080 to U+009F) as two.
bool IsControl(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(sequence[i]); };
    return sequence.size() == 1 ? byte(0) < 0x20 || byte(0) == 0x7F
                                : sequence.size() == 2 && byte(0) == 0xC2 && byte(1) < 0xA0;
}

// Calls `take` with each well-formed sequence of `text`, or with nothing for each byte that is not part of one.
template <typename Take> void ForEachSequence(std::string_view text, Take take) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        take(text.substr(at, length));
        at += length == 0 ? 1 : length;
    }
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string PrintableText(std::string_view text) {
    std::string printable;
    printable.reserve(text.size());
    ForEachSequence(text, [&](std::string_view sequence) {
        printable += sequence.empty() || IsControl(sequence) ? std::string_view(kReplacement) : sequence;
    });
    return printable;
}

std::string JsonString(std::string_view text) {
    static const char* const kHex = "0123456789abcdef";
    std::string json = "\"";
    ForEachSequence(text, [&](std::string_view sequence) {
        const char c = sequence.empty() ? '\0' : sequence[0];
        if (sequence.empty()) {
            json += kReplacement;
        } else if (c == '"' || c == '\\') {
            json += {'\\', c};
        } else if (sequence.size() == 1 && static_cast<std::uint8_t>(c) < 0x20) {
            json += {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
        } else {
            json += sequence;
        }
    });
    return json + '"';
}
