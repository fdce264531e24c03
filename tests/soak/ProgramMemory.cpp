#include "ProgramMemory.h"

#include <cctype>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::optional<long> VmRss(const fs::path& process) {
    std::ifstream status(process / "status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<long> ResidentKilobytes(const fs::path& program) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || !std::isdigit(static_cast<unsigned char>(name[0]))) {
            continue;
        }
        std::error_code linkError;
        if (fs::read_symlink(entry.path() / "exe", linkError) == program) {
            return VmRss(entry.path());
        }
    }
    return std::nullopt;
}
