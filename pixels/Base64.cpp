#include "pixels/Base64.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::int8_t kNotInAlphabet = -1;

constexpr std::array<std::int8_t, 256> MakeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    table.fill(kNotInAlphabet);
    for (int i = 0; i < 64; ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    }
    return table;
}

constexpr std::array<std::int8_t, 256> kDecodeTable = MakeDecodeTable();

[[noreturn]] void ThrowInvalidBase64(const std::string& reason) {
    throw std::invalid_argument("Invalid base64 text: " + reason);
}

// Padding may only fill the last one or two places of the last quantum.
std::size_t CountPadding(const std::string& text) {
    std::size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') {
        ++padding;
    }
    return padding;
}

std::uint32_t SextetAt(const std::string& text, std::size_t position) {
    const char c = text[position];
    const std::int8_t value = kDecodeTable[static_cast<unsigned char>(c)];
    if (value != kNotInAlphabet) {
        return static_cast<std::uint32_t>(value);
    }
    if (c == '=') {
        ThrowInvalidBase64("misplaced padding at position " + std::to_string(position));
    }
    ThrowInvalidBase64("character code " + std::to_string(static_cast<unsigned char>(c)) +
                       " outside the alphabet at position " + std::to_string(position));
}

} // namespace

std::string StreamToBase64(const std::vector<std::uint8_t>& stream) {
    std::string text;
    text.reserve((stream.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < stream.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, stream.size() - i);
        std::uint32_t group = static_cast<std::uint32_t>(stream[i]) << 16;
        group |= count > 1 ? static_cast<std::uint32_t>(stream[i + 1]) << 8 : 0;
        group |= count > 2 ? static_cast<std::uint32_t>(stream[i + 2]) : 0;
        for (std::size_t sextet = 0; sextet < 4; ++sextet) {
            text += sextet <= count ? kAlphabet[(group >> (18 - 6 * sextet)) & 0x3F] : '=';
        }
    }
    return text;
}

std::vector<std::uint8_t> Base64ToStream(const std::string& text) {
    if (text.size() % 4 != 0) {
        ThrowInvalidBase64("length " + std::to_string(text.size()) + " is not a multiple of 4");
    }
    const std::size_t padding = CountPadding(text);
    const std::size_t sextets = text.size() - padding;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(sextets * 3 / 4);
    std::uint32_t bits = 0;
    int bitCount = 0;
    for (std::size_t position = 0; position < sextets; ++position) {
        bits = (bits << 6) | SextetAt(text, position);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes.push_back(static_cast<std::uint8_t>(bits >> bitCount));
        }
    }
    return bytes;
}
