#pragma once

#include "engine/ClickRunner.h"
#include "engine/DryRun.h"

#include <string>

// The texts of dry runs and of the clicks' last searches, the same in both front ends and on the command line.

// The one line Find now and `tappora find` show: where and how fast it was found, or the nearest miss, or why it could
// not search.
std::string DryRunLine(const TDryRunResult& result);
// The result as one line of JSON for `tappora find --json`.
std::string DryRunJson(const std::string& clickName, const TDryRunResult& result);
// Why a click could not search, as a sentence's end: "the scope is off the screen".
std::string SearchFailureText(TSearchFailure failure);
