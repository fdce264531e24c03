#pragma once

#include <optional>
#include <string>

// A time of day as the start time of a click holds it.
struct TTimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const TTimeOfDay&, const TTimeOfDay&) = default;
};

// The one reading of a stored start time, shared by the runner and the editor so that what the editor accepts is
// what the runner can wait for: "h:mm" or "h:mm:ss", one or two digits each, colons only, 24-hour, blanks allowed
// only around the whole text. Nothing when the text is no such time.
std::optional<TTimeOfDay> ReadStartTime(const std::string& text);
// "hh:mm:ss", as the editor stores it.
std::string StartTimeText(TTimeOfDay time);
