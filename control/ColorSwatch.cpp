#include "control/ColorSwatch.h"

#include "model/ColorText.h"

#include <stdexcept>

TSwatch SwatchFor(std::uint32_t color) {
    if ((color & 0xFF000000u) == 0xFF000000u)
        return {TSwatch::System, color & 0x00FFFFFFu};
    if (color & 0xFF000000u)
        return {TSwatch::EditBackground, 0};
    return {TSwatch::Plain, color};
}

TSwatch SwatchForText(const std::string& text) {
    try {
        return SwatchFor(std::uint32_t(StringToColor(text)));
    } catch (const std::invalid_argument&) {
        return {};
    }
}
