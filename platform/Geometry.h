#pragma once

// Screen point in whole pixels, origin at the top left of the primary screen.
struct TPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// A rectangle of whole pixels: its top-left corner and its size.
struct TRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};
