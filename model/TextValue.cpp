#include "model/TextValue.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace {

[[noreturn]] void ThrowNotInteger(const std::string& text) {
    throw std::invalid_argument("'" + text + "' is not a valid integer value");
}

int DigitValue(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// The magnitude of the digits, or nothing when a character is not a digit or the value passes `limit`.
std::optional<std::uint64_t> ParseMagnitude(std::string_view digits, int base, std::uint64_t limit) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t magnitude = 0;
    for (char c : digits) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            return std::nullopt;
        }
        magnitude = magnitude * base + static_cast<std::uint64_t>(digit);
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return magnitude;
}

bool StartsWithHexPrefix(std::string_view text) {
    return text.starts_with('$') || text.starts_with("0x") || text.starts_with("0X");
}

} // namespace

std::int32_t StringToInt(const std::string& text) {
    std::string_view rest(text);
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    const bool negative = rest.starts_with('-');
    if (negative || rest.starts_with('+')) {
        rest.remove_prefix(1);
    }
    std::optional<std::uint64_t> magnitude;
    if (StartsWithHexPrefix(rest)) {
        rest.remove_prefix(rest.starts_with('$') ? 1 : 2);
        // Hexadecimal is a bit pattern: "$80000000" is the lowest value, "-$1" is -1.
        magnitude = ParseMagnitude(rest, 16, 0xFFFFFFFFu);
        if (magnitude) {
            const auto bits = static_cast<std::uint32_t>(*magnitude);
            return static_cast<std::int32_t>(negative ? 0u - bits : bits);
        }
    } else {
        magnitude = ParseMagnitude(rest, 10, negative ? 0x80000000u : 0x7FFFFFFFu);
        if (magnitude) {
            const auto value = static_cast<std::int64_t>(*magnitude);
            return static_cast<std::int32_t>(negative ? -value : value);
        }
    }
    ThrowNotInteger(text);
}

bool StringToBool(const std::string& text) {
    if (EqualsIgnoringCase(text, "true")) {
        return true;
    }
    if (EqualsIgnoringCase(text, "false")) {
        return false;
    }
    try {
        return StringToInt(text) != 0;
    } catch (const std::invalid_argument&) {
        throw std::invalid_argument("'" + text + "' is not a valid boolean value");
    }
}

std::string BoolToString(bool value) {
    return value ? "True" : "False";
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}
