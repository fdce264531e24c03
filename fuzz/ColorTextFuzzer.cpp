// The colour text rule: any text read as a colour, and any colour value written as text and read back.
#include "FuzzSupport.h"

#include "model/ColorText.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

bool IsDollarForm(const std::string& text) {
    if (text.size() != 9 || text[0] != '$') {
        return false;
    }
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (!std::isdigit(static_cast<unsigned char>(c)) && (c < 'A' || c > 'F')) {
            return false;
        }
    }
    return true;
}

void CheckValueRoundTrip(TColor color) {
    const std::string text = ColorToString(color);
    FuzzCheck(IsDollarForm(text) || text.rfind("cl", 0) == 0, "a colour is written as a name or $ and 8 hex digits");
    FuzzCheck(StringToColor(text) == color, "a written colour reads back as itself");
}

void CheckTextRoundTrip(const std::string& text) {
    TColor color = 0;
    try {
        color = StringToColor(text);
    } catch (const std::invalid_argument&) {
        return;
    }
    CheckValueRoundTrip(color);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(TColor)) {
        TColor color = 0;
        std::memcpy(&color, data, sizeof color);
        CheckValueRoundTrip(color);
    }
    CheckTextRoundTrip(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
