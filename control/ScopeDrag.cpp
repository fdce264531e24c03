#include "control/ScopeDrag.h"

#include <algorithm>

namespace {
void append(std::vector<TLine>& lines, const std::vector<TLine>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
}
} // namespace

std::vector<TLine> TScopeDrag::crossHair(TPoint at) const {
    const int right = m_picture.width - 1;
    std::vector<TLine> lines{{{at.x, 0}, {at.x, m_picture.height - 1}}};
    const bool inside = at.x >= 0 && at.x <= right && at.y >= 0 && at.y < m_picture.height;
    if (!inside) {
        lines.push_back({{0, at.y}, {right, at.y}});
        return lines;
    }
    // The crossing pixel belongs to the vertical line only; inverted twice it would leave a hole in the cross.
    if (at.x > 0)
        lines.push_back({{0, at.y}, {at.x - 1, at.y}});
    if (at.x < right)
        lines.push_back({{at.x + 1, at.y}, {right, at.y}});
    return lines;
}

// Four lines that meet without overlapping. A press shows no band yet, so the band of one point is empty: drawn, it
// would be erased by nothing and leave a hole at the corner of every later band.
std::vector<TLine> TScopeDrag::band(TPoint from, TPoint to) {
    if (from == to)
        return {};
    const int left = std::min(from.x, to.x), right = std::max(from.x, to.x);
    const int top = std::min(from.y, to.y), bottom = std::max(from.y, to.y);
    std::vector<TLine> lines{{{left, top}, {right, top}}};
    if (bottom != top)
        lines.push_back({{left, bottom}, {right, bottom}});
    if (bottom - top < 2)
        return lines;
    lines.push_back({{left, top + 1}, {left, bottom - 1}});
    if (right != left)
        lines.push_back({{right, top + 1}, {right, bottom - 1}});
    return lines;
}

std::vector<TLine> TScopeDrag::MouseMove(TPoint at) {
    std::vector<TLine> lines;
    if (FDragging) {
        lines = band(FStartPos, FCurPos);
        append(lines, band(FStartPos, at));
        FCurPos = at;
    } else if (FCrossHair) {
        lines = crossHair(FCrossPos);
        append(lines, crossHair(at));
        FCrossPos = at;
    }
    return lines;
}

std::vector<TLine> TScopeDrag::MouseDown(TPoint at) {
    if (FDragging) {
        FEndPos = at;
        FDragging = false;
        m_finished = true;
        return {};
    }
    std::vector<TLine> lines;
    if (FCrossHair)
        lines = crossHair(FCrossPos);
    FCrossHair = false;
    FStartPos = at;
    FCurPos = at;
    if (m_kind == TDragKind::Point) {
        FEndPos = at;
        m_finished = true;
    } else {
        FDragging = true;
    }
    return lines;
}

std::vector<TLine> TScopeDrag::MouseUp(TPoint at) {
    if (FDragging) {
        FEndPos = at;
        FDragging = false;
        m_finished = true;
    }
    return {};
}
