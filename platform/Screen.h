#pragma once

#include "platform/Geometry.h"

#include <cstdint>

class IScreen {
public:
    virtual ~IScreen() = default;
    // The primary screen's size in pixels, read afresh at every call.
    virtual TSize screenSize() = 0;
    // Copies the screen rectangle (left, top, width, height), width and height > 0, into `bits` as bottom-up rows
    // of 3-byte B,G,R pixels, `lineWidth` bytes apart (the first row in memory is the rectangle's bottom row).
    // Pixels outside the screen come out black. False when the copy failed; `bits` is then undefined.
    virtual bool copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) = 0;
    // The colour of one screen pixel as 0x00BBGGRR (red in the low byte); black outside the screen.
    virtual std::uint32_t pixelColor(int x, int y) = 0;
};
