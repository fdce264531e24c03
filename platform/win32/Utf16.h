#pragma once

#include <string>
#include <string_view>

// Text is UTF-8 inside the program and in its files, UTF-16 at the Windows boundary. Invalid sequences become
// U+FFFD instead of failing, so a bad byte never loses the rest of a text.
std::wstring toUtf16(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);
