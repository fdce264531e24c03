#include "engine/Desktop.h"

#include <algorithm>
#include <optional>

namespace {

// Columns [begin, end), sorted and apart from one another.
struct Columns {
    int begin;
    int end;
    friend bool operator==(const Columns&, const Columns&) = default;
};

// Rows [top, bottom) in which the same columns lie on monitors.
struct Band {
    int top;
    int bottom;
    std::vector<Columns> columns;
};

int rightOf(const TRect& area) {
    return area.left + area.width;
}

int bottomOf(const TRect& area) {
    return area.top + area.height;
}

std::optional<TRect> intersection(const TRect& a, const TRect& b) {
    const int left = std::max(a.left, b.left);
    const int top = std::max(a.top, b.top);
    const int right = std::min(rightOf(a), rightOf(b));
    const int bottom = std::min(bottomOf(a), bottomOf(b));
    if (right <= left || bottom <= top) {
        return std::nullopt;
    }
    return TRect{left, top, right - left, bottom - top};
}

// The columns of the areas that span rows [top, bottom), monitors side by side joined into one.
std::vector<Columns> columnsSpanning(const std::vector<TRect>& areas, int top, int bottom) {
    std::vector<Columns> spans;
    for (const TRect& area : areas) {
        if (area.top <= top && bottomOf(area) >= bottom) {
            spans.push_back({area.left, rightOf(area)});
        }
    }
    std::sort(spans.begin(), spans.end(), [](const Columns& a, const Columns& b) { return a.begin < b.begin; });
    std::vector<Columns> joined;
    for (const Columns& span : spans) {
        if (!joined.empty() && span.begin <= joined.back().end) {
            joined.back().end = std::max(joined.back().end, span.end);
        } else {
            joined.push_back(span);
        }
    }
    return joined;
}

// `rect` cut where a monitor's top or bottom edge crosses it, rows without monitors left out.
std::vector<Band> bandsOf(const TRect& rect, std::span<const TRect> monitors) {
    std::vector<TRect> areas;
    std::vector<int> edges;
    for (const TRect& monitor : monitors) {
        if (const std::optional<TRect> area = intersection(rect, monitor)) {
            areas.push_back(*area);
            edges.push_back(area->top);
            edges.push_back(bottomOf(*area));
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::vector<Band> bands;
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
        std::vector<Columns> columns = columnsSpanning(areas, edges[i], edges[i + 1]);
        if (columns.empty()) {
            continue;
        }
        if (!bands.empty() && bands.back().bottom == edges[i] && bands.back().columns == columns) {
            bands.back().bottom = edges[i + 1];
        } else {
            bands.push_back({edges[i], edges[i + 1], std::move(columns)});
        }
    }
    return bands;
}

std::vector<Columns> common(const std::vector<Columns>& a, const std::vector<Columns>& b) {
    std::vector<Columns> both;
    for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        const int begin = std::max(a[i].begin, b[j].begin);
        const int end = std::min(a[i].end, b[j].end);
        if (begin < end) {
            both.push_back({begin, end});
        }
        (a[i].end < b[j].end ? i : j) += 1;
    }
    return both;
}

bool holds(const TRect& outer, const TRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && rightOf(inner) <= rightOf(outer) &&
           bottomOf(inner) <= bottomOf(outer);
}

} // namespace

TRect DesktopBounds(std::span<const TRect> monitors) {
    if (monitors.empty()) {
        return {};
    }
    TRect bounds = monitors.front();
    for (const TRect& monitor : monitors.subspan(1)) {
        const int right = std::max(rightOf(bounds), rightOf(monitor));
        const int bottom = std::max(bottomOf(bounds), bottomOf(monitor));
        bounds.left = std::min(bounds.left, monitor.left);
        bounds.top = std::min(bounds.top, monitor.top);
        bounds.width = right - bounds.left;
        bounds.height = bottom - bounds.top;
    }
    return bounds;
}

bool OnAMonitor(std::span<const TRect> monitors, TPoint point) {
    return std::any_of(monitors.begin(), monitors.end(), [&](const TRect& monitor) {
        return intersection(monitor, {point.x, point.y, 1, 1}).has_value();
    });
}

std::vector<TRect> PartsOnMonitors(const TRect& rect, std::span<const TRect> monitors) {
    std::vector<TRect> parts;
    for (const Band& band : bandsOf(rect, monitors)) {
        for (const Columns& columns : band.columns) {
            parts.push_back({columns.begin, band.top, columns.end - columns.begin, band.bottom - band.top});
        }
    }
    return parts;
}

std::vector<TRect> LargestAreasOnMonitors(const TRect& rect, std::span<const TRect> monitors) {
    const std::vector<Band> bands = bandsOf(rect, monitors);
    std::vector<TRect> areas;
    for (std::size_t first = 0; first < bands.size(); ++first) {
        std::vector<Columns> columns = bands[first].columns;
        for (std::size_t last = first; last < bands.size() && !columns.empty(); ++last) {
            if (last > first) {
                if (bands[last].top != bands[last - 1].bottom) {
                    break;
                }
                columns = common(columns, bands[last].columns);
            }
            for (const Columns& span : columns) {
                areas.push_back(
                    {span.begin, bands[first].top, span.end - span.begin, bands[last].bottom - bands[first].top});
            }
        }
    }
    std::vector<TRect> largest;
    for (const TRect& area : areas) {
        const bool inAnother = std::any_of(areas.begin(), areas.end(),
                                           [&](const TRect& other) { return other != area && holds(other, area); });
        if (!inAnother) {
            largest.push_back(area);
        }
    }
    return largest;
}
