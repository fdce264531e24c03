#pragma once

#include <filesystem>
#include <optional>

// The resident memory of the running program whose executable is `program`, in kB (VmRSS), found through /proc.
// Nothing when no such process runs.
std::optional<long> ResidentKilobytes(const std::filesystem::path& program);
