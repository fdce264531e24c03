#pragma once

#include "platform/Geometry.h"

#include <vector>

// A straight run of pixels from `from` to `to`, both included; horizontal or vertical.
struct TLine {
    TPoint from;
    TPoint to;
    friend bool operator==(const TLine&, const TLine&) = default;
};

// What the pointer does on the frozen picture: drag a search scope, or pick one pixel.
enum class TDragKind { Scope, Point };

// The drag of a search scope on the frozen picture of the screen (the scope overlay's rules, whatever draws it).
// Everything is drawn by inverting pixels, so drawing a figure again erases it and leaves the picture as it was:
// each pointer event gives the lines to invert, in order, and no pixel of one figure lies in two of its lines.
// Crosshair from creation, dragging from the first press, finished at the release or at a second press. Picking a
// point is finished at the first press, with both corners on the pixel pressed.
class TScopeDrag {
public:
    explicit TScopeDrag(TSize picture, TDragKind kind = TDragKind::Scope) : m_picture(picture), m_kind(kind) {}

    std::vector<TLine> MouseMove(TPoint at);
    std::vector<TLine> MouseDown(TPoint at);
    std::vector<TLine> MouseUp(TPoint at);
    // A rectangle was dragged: FStartPos and FEndPos are its corners as the pointer gave them, not sorted.
    bool finished() const { return m_finished; }
    TDragKind kind() const { return m_kind; }

    // A vertical line at at.x over the picture's height and a horizontal one at at.y over its width.
    std::vector<TLine> crossHair(TPoint at) const;
    // The outline of the rectangle with corners `from` and `to`; nothing for a single point.
    static std::vector<TLine> band(TPoint from, TPoint to);

    bool FDragging = false;
    bool FCrossHair = true;
    TPoint FCrossPos{-1, -1};
    TPoint FCurPos;
    TPoint FStartPos;
    TPoint FEndPos;

private:
    TSize m_picture;
    TDragKind m_kind;
    bool m_finished = false;
};
