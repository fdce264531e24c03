#pragma once

#include "model/MouseObj.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The soak's click list: 100 clicks at 1 to 50 ms in four hotkey groups (Ctrl+F1 to F4 start group 0 to 3, Ctrl+F5 to
// F8 stop it). Eighty click fixed points, ten search a colour block and ten a picture; every click has a place of
// its own on the screen, so each press the target records tells which click made it. All of them click in the
// lower right part of the screen (x from 960), away from the main window at the top left and from the dialogs,
// which open at the centre of the screen.
class SoakList {
public:
    static constexpr int kClicks = 100;
    static constexpr int kGroups = 4;

    struct Point {
        int x = 0;
        int y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };

    SoakList();

    const std::vector<std::unique_ptr<TMouseObj>>& Clicks() const { return m_clicks; }
    // The file text as the program writes it.
    std::string FileText() const;
    // Where click i lands, and its hotkey group.
    Point Target(int click) const { return m_targets.at(static_cast<std::size_t>(click)); }
    int Group(int click) const { return click % kGroups; }
    // The click that lands at (x, y), or -1.
    int ClickAt(int x, int y) const;
    // The group whose click lands at (x, y), or -1.
    int GroupAt(int x, int y) const;

    // Paints the colour blocks and pictures with `paint(left, top, width, height, colourAt)`, colours 0x00RRGGBB.
    using Painter = std::function<void(int, int, int, int, const std::function<std::uint32_t(int, int)>&)>;
    void PaintTargets(const Painter& paint) const;

private:
    std::vector<std::unique_ptr<TMouseObj>> m_clicks;
    std::vector<Point> m_targets;
};
