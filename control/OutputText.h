#pragma once

#include <string>
#include <string_view>

// Whether `text` is well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, no surrogates,
// nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// `text` fit to print on a terminal: each control character, C0 or C1 (which could move the cursor or start an
// escape sequence), becomes U+FFFD, and so does each byte that is not part of well-formed UTF-8.
std::string PrintableText(std::string_view text);

// `text` as a JSON string, quotes included: quotes, backslashes and control characters escaped, and each byte that is
// not part of well-formed UTF-8 given as U+FFFD, so the result is always valid JSON.
std::string JsonString(std::string_view text);
