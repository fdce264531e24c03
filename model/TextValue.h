#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Conversions between stored text and values, shared by the click list file and the settings document.

// A signed 32-bit integer: optional leading spaces, an optional sign, then decimal digits or hexadecimal digits
// after "$" or "0x". Hexadecimal reads up to eight digits as the value's bit pattern, so "$FFFFFFFF" is -1.
// Throws std::invalid_argument("'<text>' is not a valid integer value") for anything else or out of range.
std::int32_t StringToInt(const std::string& text);
// "True" or "False" in any letter case, or an integer (zero false, anything else true).
// Throws std::invalid_argument("'<text>' is not a valid boolean value") for anything else.
bool StringToBool(const std::string& text);
// "True" or "False".
std::string BoolToString(bool value);
// Whether the two texts are equal when ASCII letter case is ignored.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
