#pragma once

#include <cstdint>
#include <string>

// Colour values are 0x00BBGGRR (red in the low byte), plus the special and system colour values.
using TColor = std::int32_t;

// The colour's name when it has one, else "$" and eight upper-case hex digits.
std::string ColorToString(TColor color);
// A colour name (any letter case), or a decimal or "$"-hex signed 32-bit number.
// Throws std::invalid_argument("'<text>' is not a valid integer value") for anything else.
TColor StringToColor(const std::string& text);
