#pragma once

#include <cstdint>
#include <string>
#include <vector>

// base64 (RFC 4648, "=" padding, no line breaks) of every byte.
std::string StreamToBase64(const std::vector<std::uint8_t>& stream);
// The decoded bytes; empty text gives no bytes. Throws std::invalid_argument naming the fault for a length that is
// not a multiple of four, a character outside the alphabet, or "=" anywhere but the last two places.
std::vector<std::uint8_t> Base64ToStream(const std::string& text);
