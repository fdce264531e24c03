// Any bytes as picture text, and any bytes as a picture to encode.
#include "FuzzSupport.h"

#include "pixels/Base64.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void CheckEncodingRoundTrip(const std::vector<std::uint8_t>& bytes) {
    const std::string text = StreamToBase64(bytes);
    FuzzCheck(text.size() == (bytes.size() + 2) / 3 * 4, "the text has four characters per started three bytes");
    FuzzCheck(Base64ToStream(text) == bytes, "encoded bytes decode to themselves");
}

std::size_t TrailingPadding(const std::string& text) {
    std::size_t padding = 0;
    while (padding < text.size() && text[text.size() - 1 - padding] == '=') {
        ++padding;
    }
    return padding;
}

void CheckDecoding(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = Base64ToStream(text);
    } catch (const std::invalid_argument&) {
        return;
    }
    const std::size_t padding = TrailingPadding(text);
    FuzzCheck(text.size() % 4 == 0, "only a length that is a multiple of four is accepted");
    FuzzCheck(padding <= 2, "at most two padding characters are accepted");
    FuzzCheck(bytes.size() == text.size() / 4 * 3 - padding, "three bytes per quantum less one per padding");
    FuzzCheck(StreamToBase64(bytes).size() == text.size(), "accepted text re-encodes to the same length");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckEncodingRoundTrip(std::vector<std::uint8_t>(data, data + size));
    CheckDecoding(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
