#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Rows of 4-byte B,G,R,X pixels (the fourth byte means nothing) that a platform keeps, top row first: row y starts at
// top + y * step.
struct TScreenImage {
    const std::uint8_t* top = nullptr;
    std::ptrdiff_t step = 0;
    int width = 0;
    int height = 0;
};

class IScreen {
public:
    virtual ~IScreen() = default;
    // The primary screen's size in pixels as it is now (a platform told of every change answers from what it knows).
    virtual TSize screenSize() = 0;
    // Every monitor's area at copyRect's positions as it is now, the primary one (at (0, 0)) among them.
    virtual std::vector<TRect> monitorAreas() = 0;
    // Copies the screen rectangle (left, top, width, height), width and height > 0, into `bits` as bottom-up rows
    // of 3-byte B,G,R pixels, `lineWidth` bytes apart (the first row in memory is the rectangle's bottom row).
    // Positions have their origin at the primary screen's top-left, so other monitors' pixels are there too, at
    // negative positions left of and above it. Pixels off the desktop come out black. Only the 3 x width pixel bytes
    // of each row are written, so the rows may lie inside a larger buffer. False when the copy failed; those bytes are
    // then undefined. Where the desktop hands out the screen (the portals), throws TServiceRefused (Mouse.h) once it
    // refused or took it back, and std::runtime_error while it has not yet sent it.
    virtual bool copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) = 0;
    // The colour of one screen pixel as 0x00BBGGRR (red in the low byte); black off the desktop.
    virtual std::uint32_t pixelColor(int x, int y) = 0;
    // The areas drawn on since the previous call, in copyRect's coordinates, so that a kept copy of the screen can be
    // brought up to date by copying only them. Nothing when the platform cannot tell: on the first call, after the
    // screen's size changed, and on platforms that do not report drawing (then all of it may have changed).
    virtual std::optional<std::vector<TRect>> changedAreas() { return std::nullopt; }
    // Where the window system hands out 4-byte B,G,R,X pixels, the platform may keep its own image of the primary
    // screen (0, 0, screenSize()) in them, copied without converting a pixel. This copies all of it afresh and gives
    // it; nothing where the platform keeps none or the copy failed (copyRect serves then).
    virtual std::optional<TScreenImage> copyScreenImage() { return std::nullopt; }
    // Copies the area of the primary screen again into the image the last copyScreenImage gave, where it is (the
    // platform may copy more of the same rows). False when the copy failed: the image then holds undefined pixels
    // until the next copyScreenImage.
    virtual bool updateScreenImage(const TRect&) { return false; }
    // The monitors' names where the user chooses which one is primary (Wayland has no primary output); empty where
    // the system decides (X11, Windows).
    virtual std::vector<std::string> outputNames() { return {}; }
    // The monitor of that name becomes the primary one, and every position moves with its top-left; an empty name, or
    // one no monitor has, leaves the choice to the system's rule. Nothing happens where the system decides.
    virtual void choosePrimary(const std::string&) {}
};
