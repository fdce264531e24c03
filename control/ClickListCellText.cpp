// What each cell of the list says about its click.
#include "control/ClickListController.h"

#include "control/DryRunText.h"
#include "model/ClickTexts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <unordered_map>

namespace {

// The text for an enumeration value; "unknown" for a value outside the enumeration.
template <std::size_t N> std::string EnumerationText(unsigned value, const std::array<const char*, N>& texts) {
    return value < N ? texts[value] : "unknown";
}

std::string ClickPointText(const TClickRunner& click) {
    switch (click.pointType) {
    case ptCurrent:
        return "Click on mouse current point";
    case ptFixed:
        return "Click on fixed point:(" + std::to_string(click.fPosX) + " : " + std::to_string(click.fPosY) + ")";
    case ptColor:
        return "Click on the Color:" + click.fColor;
    case ptPicture:
        return "Click on the Picture";
    default:
        return "unknown";
    }
}

std::string StartOptionText(const TClickRunner& click) {
    switch (click.startType) {
    case stNow:
        return "Right Now";
    case stAt:
        return "Start at " + click.fStartAt;
    case stAfter:
        return "Start after " + std::to_string(click.fStartInterval) + "s";
    default:
        return "unknown";
    }
}

std::string StopOptionText(const TClickRunner& click) {
    switch (click.stopType) {
    case spCommand:
        return "till get command";
    case spRepeat:
        return "repeat " + std::to_string(click.fRepeat) + " times";
    default:
        return "unknown";
    }
}

const char* const kHotKeyNotTakenMark = " (unavailable)";

bool Searches(const TClickRunner& click) {
    return click.pointType == ptColor || click.pointType == ptPicture;
}

// Built in steps: GCC 12 warns wrongly (-Wrestrict) about a short literal added to a temporary string.
std::string FoundAtText(TPoint at) {
    std::string text = "found at (";
    text += std::to_string(at.x);
    text += ", ";
    text += std::to_string(at.y);
    return text + ")";
}

std::string MissesText(std::int32_t misses) {
    if (misses == 1) {
        return "not found";
    }
    std::string text = "not found ";
    text += std::to_string(misses);
    return text + " times in a row";
}

std::string LastSearchWords(const TLastSearch& search) {
    switch (search.kind) {
    case TLastSearch::TKind::Found:
        return FoundAtText(search.at);
    case TLastSearch::TKind::NotFound:
        return MissesText(search.missesInRow);
    case TLastSearch::TKind::Failed:
        return "cannot search: " + SearchFailureText(search.failure);
    case TLastSearch::TKind::None:
        break;
    }
    return {};
}

// A running click whose ticks fail (a start time that is no time, a colour that is no colour) says why, instead of
// a count that goes on while it never clicks; so does a click that stopped because the desktop refused it. A
// searching click adds what its last search gave, also once stopped.
std::string StatsText(const TClickRunner& click) {
    std::string text = click.tickError.empty() ? "stopped" : "stopped: " + click.tickError;
    if (click.running) {
        text = click.tickError.empty() ? "running " + std::to_string(click.count) + " times"
                                       : "failed: " + click.tickError;
    }
    const std::string search = LastSearchText(click);
    return search.empty() ? text : text + "; " + search;
}

std::string WithoutCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Where the desktop binds the keys (a shortcuts portal), it may have bound others than the program suggested.
std::string DesktopTriggerMark(const std::string& suggested, const std::string& bound) {
    if (bound.empty() || WithoutCase(bound) == WithoutCase(suggested)) {
        return {};
    }
    return " (desktop: " + bound + ")";
}

using CellTextRule = std::string (*)(const TClickRunner&);

const std::unordered_map<std::string_view, CellTextRule>& CellTextRules() {
    static const std::unordered_map<std::string_view, CellTextRule> rules = {
        {"Name", [](const TClickRunner& c) { return c.fName; }},
        {"Click Point", ClickPointText},
        {"Mouse Button", [](const TClickRunner& c) { return EnumerationText(c.mouseType, kMouseButtonTexts); }},
        {"Mouse Action", [](const TClickRunner& c) { return EnumerationText(c.actionType, kMouseActionTexts); }},
        {"Click Interval", [](const TClickRunner& c) { return std::to_string(c.iClickInterval) + "ms"; }},
        {"Start Option", StartOptionText},
        {"Stop Option", StopOptionText},
        {"Start HotKey", [](const TClickRunner& c) { return HotKeyText(c.hkStart); }},
        {"Stop HotKey", [](const TClickRunner& c) { return HotKeyText(c.hkStop); }},
        {"After Click Action", [](const TClickRunner& c) { return EnumerationText(c.finishType, kAfterClickTexts); }},
        {"Action Stats", StatsText},
    };
    return rules;
}

} // namespace

std::string LastSearchText(const TClickRunner& runner) {
    return Searches(runner) ? LastSearchWords(runner.lastSearch) : std::string();
}

std::string HotKeyText(int key) {
    return "CTRL+F" + std::to_string(key + 1);
}

std::string ColumnText(const TClickRunner& runner, const std::string& columnName) {
    const auto& rules = CellTextRules();
    const auto rule = rules.find(columnName);
    return rule == rules.end() ? "unknown" : rule->second(runner);
}

std::string TClickListController::GetRowTip(int row) const {
    if (row < 0 || row >= RowCount() || !Searches(*m_rows[row].runner)) {
        return {};
    }
    const TLastSearch& search = m_rows[row].runner->lastSearch;
    switch (search.kind) {
    case TLastSearch::TKind::Found:
        return "Last search: " + FoundAtText(search.at) + ".";
    case TLastSearch::TKind::NotFound:
        return "Last search: " + MissesText(search.missesInRow) +
               ". Find now in the click editor shows how near it came.";
    case TLastSearch::TKind::Failed:
        return "Cannot search: " + SearchFailureText(search.failure) + ".";
    case TLastSearch::TKind::None:
        break;
    }
    return "Not searched since the click was started.";
}

std::string TClickListController::GetCellText(int row, int column) {
    if (row < 0 || row >= RowCount() || column < 0) {
        return {};
    }
    const TXMLColsType cols = Config().GetCols();
    if (column >= cols.Count()) {
        return {};
    }
    const std::string name = cols.Item(column).GetName();
    const TClickRunner& runner = *m_rows[row].runner;
    std::string text = ColumnText(runner, name);
    const bool startKey = name == "Start HotKey";
    if ((startKey || name == "Stop HotKey") && m_hotKeysRegistered) {
        const int key = startKey ? runner.hkStart : runner.hkStop;
        text +=
            HotKeyTaken(key) ? DesktopTriggerMark(text, m_platform.hotKeys.desktopTrigger(key)) : kHotKeyNotTakenMark;
    }
    return text;
}
