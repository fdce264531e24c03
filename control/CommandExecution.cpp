#include "control/CommandExecution.h"

#include "control/ClickListController.h"
#include "control/DryRunText.h"
#include "control/OutputText.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TClickRows {
    std::vector<int> rows;
    // Lines about the clicks named that are not in the list.
    std::vector<std::string> missing;
};

// Appended in steps: GCC 12 warns wrongly (-Wrestrict) about a short literal added to a temporary string.
std::string RowLabel(const TClickListController& ctrl, int row) {
    std::string label(1, '#');
    label += std::to_string(row + 1);
    label += ' ';
    return label + PrintableText('"' + ctrl.Runner(row).fName + '"');
}

void AddRow(std::vector<int>& rows, int row) {
    if (std::find(rows.begin(), rows.end(), row) == rows.end()) {
        rows.push_back(row);
    }
}

// The rows the names and #N mean, in the order named, each once.
TClickRows RowsNamed(const TClickListController& ctrl, const std::vector<std::string>& clicks) {
    TClickRows found;
    const auto count = static_cast<std::size_t>(ctrl.RowCount());
    for (const std::string& click : clicks) {
        if (const std::optional<std::size_t> row = RowReference(click)) {
            if (*row < count) {
                AddRow(found.rows, static_cast<int>(*row));
            } else {
                found.missing.push_back("The list has no row " + PrintableText(click) + "; it has " +
                                        std::to_string(count) + (count == 1 ? " row." : " rows."));
            }
            continue;
        }
        bool named = false;
        for (int row = 0; row < ctrl.RowCount(); ++row) {
            if (ctrl.Runner(row).fName == click) {
                AddRow(found.rows, row);
                named = true;
            }
        }
        if (!named) {
            found.missing.push_back("No click in the list is named " + PrintableText("\"" + click + "\"") + ".");
        }
    }
    return found;
}

// Starts the row unless it runs already or is not ticked (the hotkeys do not start an unticked click either).
// False when it was not started for being unticked.
bool StartRow(TClickListController& ctrl, int row, std::vector<std::string>& lines) {
    if (ctrl.Runner(row).running) {
        lines.push_back(RowLabel(ctrl, row) + " is running already.");
    } else if (!ctrl.RowChecked(row)) {
        lines.push_back(RowLabel(ctrl, row) + " is not ticked in the list, so it was not started.");
        return false;
    } else {
        ctrl.StartRow(row);
        lines.push_back("Started " + RowLabel(ctrl, row) + ".");
    }
    return true;
}

void StopRow(TClickListController& ctrl, int row, std::vector<std::string>& lines) {
    if (!ctrl.Runner(row).running) {
        lines.push_back(RowLabel(ctrl, row) + " was not running.");
        return;
    }
    ctrl.StopRow(row);
    lines.push_back("Stopped " + RowLabel(ctrl, row) + ".");
}

TCommandAnswer ActOnClicks(TClickListController& ctrl, const TCommandRequest& request) {
    const TClickRows named = RowsNamed(ctrl, request.clicks);
    TCommandAnswer answer;
    bool allStarted = true;
    for (const int row : named.rows) {
        const bool stop =
            request.verb == TCommandVerb::Stop || (request.verb == TCommandVerb::Toggle && ctrl.Runner(row).running);
        if (stop) {
            StopRow(ctrl, row, answer.lines);
        } else {
            allStarted = StartRow(ctrl, row, answer.lines) && allStarted;
        }
    }
    answer.lines.insert(answer.lines.end(), named.missing.begin(), named.missing.end());
    answer.exitCode = named.missing.empty() && allStarted ? TExitCode::kDone : TExitCode::kClickNotInList;
    return answer;
}

TCommandAnswer StopAll(TClickListController& ctrl) {
    int running = 0;
    for (int row = 0; row < ctrl.RowCount(); ++row) {
        running += ctrl.Runner(row).running ? 1 : 0;
    }
    ctrl.StopAll();
    return {TExitCode::kDone,
            {running == 0   ? "No click was running."
             : running == 1 ? "Stopped 1 click."
                            : "Stopped " + std::to_string(running) + " clicks."}};
}

struct TClickStatus {
    const char* state;
    int clicks;
};

// A waiting runner's count is the seconds it has waited; it has made no clicks yet.
TClickStatus StatusOf(const TClickRunner& runner) {
    const char* state = !runner.running ? "stopped" : runner.waiting ? "waiting" : "running";
    return {state, runner.waiting ? 0 : runner.count};
}

std::string HotKeyName(std::uint8_t key) {
    return "Ctrl+F" + std::to_string(key + 1);
}

std::string ListLine(const TClickListController& ctrl, int row) {
    const TClickRunner& runner = ctrl.Runner(row);
    const TClickStatus status = StatusOf(runner);
    const std::string search = LastSearchText(runner);
    std::string line = RowLabel(ctrl, row) + ": " + status.state + ", " + std::to_string(status.clicks) +
                       (status.clicks == 1 ? " click, " : " clicks, ") + HotKeyName(runner.hkStart) + " starts, " +
                       HotKeyName(runner.hkStop) + " stops";
    if (!runner.tickError.empty()) {
        line += " (" + runner.tickError + ")";
    }
    return search.empty() ? line : line + "; " + search;
}

// A colour or picture click that has searched adds what its last search gave.
std::string JsonLine(const TClickListController& ctrl, int row) {
    const TClickRunner& runner = ctrl.Runner(row);
    const TClickStatus status = StatusOf(runner);
    const std::string search = LastSearchText(runner);
    return "  {\"row\": " + std::to_string(row + 1) + ", \"name\": " + JsonString(runner.fName) + ", \"state\": \"" +
           status.state + "\", \"clicks\": " + std::to_string(status.clicks) + ", \"startHotkey\": \"" +
           HotKeyName(runner.hkStart) + "\", \"stopHotkey\": \"" + HotKeyName(runner.hkStop) + "\"" +
           (runner.tickError.empty() ? "" : ", \"problem\": " + JsonString(runner.tickError)) +
           (search.empty() ? "" : ", \"lastSearch\": " + JsonString(search)) + "}";
}

TCommandAnswer List(const TClickListController& ctrl) {
    TCommandAnswer answer;
    for (int row = 0; row < ctrl.RowCount(); ++row) {
        answer.lines.push_back(ListLine(ctrl, row));
    }
    if (answer.lines.empty()) {
        answer.lines.emplace_back("The list has no clicks.");
    }
    return answer;
}

// One click an element, one element a line.
TCommandAnswer ListJson(const TClickListController& ctrl) {
    if (ctrl.RowCount() == 0) {
        return {TExitCode::kDone, {"[]"}};
    }
    TCommandAnswer answer{TExitCode::kDone, {"["}};
    for (int row = 0; row < ctrl.RowCount(); ++row) {
        answer.lines.push_back(JsonLine(ctrl, row) + (row + 1 < ctrl.RowCount() ? "," : ""));
    }
    answer.lines.emplace_back("]");
    return answer;
}

// The dry run of the first row the name means, on the screen as it is, without clicking.
TCommandAnswer Find(TClickListController& ctrl, const TCommandRequest& request, bool json) {
    const TClickRows named = RowsNamed(ctrl, request.clicks);
    if (named.rows.empty()) {
        return {TExitCode::kClickNotInList, named.missing};
    }
    const int row = named.rows.front();
    const TDryRunResult result = ctrl.DryRunRow(row);
    const int exitCode = result.outcome == TDryRunOutcome::Found ? TExitCode::kDone : TExitCode::kNotFound;
    return {exitCode,
            {json ? DryRunJson(ctrl.Runner(row).fName, result) : RowLabel(ctrl, row) + ": " + DryRunLine(result)}};
}

} // namespace

TCommandAnswer Execute(TClickListController& ctrl, const TCommandRequest& request, IWindowActions& window) {
    switch (request.verb) {
    case TCommandVerb::Start:
    case TCommandVerb::Stop:
    case TCommandVerb::Toggle:
        return ActOnClicks(ctrl, request);
    case TCommandVerb::StopAll:
        return StopAll(ctrl);
    case TCommandVerb::List:
        return List(ctrl);
    case TCommandVerb::ListJson:
        return ListJson(ctrl);
    case TCommandVerb::Show:
        window.showWindow();
        return {};
    case TCommandVerb::Quit:
        window.quitAsExit();
        return {};
    case TCommandVerb::Find:
    case TCommandVerb::FindJson:
        return Find(ctrl, request, request.verb == TCommandVerb::FindJson);
    }
    return {};
}
