#pragma once

#include <cstdint>
#include <string>

// What the colour swatch paints for a colour value: the colour itself, one of the system's colours by its index
// (the front end looks it up in its own palette), or the usual background of an edit ("no colour", "default").
struct TSwatch {
    enum Kind { Plain, System, EditBackground };
    Kind kind = Plain;
    // 0x00BBGGRR for Plain, the system colour's index for System.
    std::uint32_t value = 0;
    friend bool operator==(const TSwatch&, const TSwatch&) = default;
};

TSwatch SwatchFor(std::uint32_t color);
// The colour a colour text denotes; black for text that is no colour.
TSwatch SwatchForText(const std::string& text);
