#include "TempFolder.h"

#include "platform/Files.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

fs::path makeTempFolder(std::string_view prefix) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = fs::temp_directory_path() / (std::string(prefix) + "-" + std::to_string(random()));
        // create_directory gives false when the folder exists already: another test's.
        if (fs::create_directory(folder)) {
            return folder;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::TempFolder(std::string_view prefix) : m_path(makeTempFolder(prefix)) {}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string TempFolder::text() const {
    return utf8FromPath(m_path);
}

std::string TempFolder::file(std::string_view name) const {
    return utf8FromPath(m_path / pathFromUtf8(name));
}

std::set<std::string> TempFolder::names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_path)) {
        names.insert(utf8FromPath(entry.path().filename()));
    }
    return names;
}

std::string readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + utf8FromPath(path));
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeWholeFile(const fs::path& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + utf8FromPath(path));
    }
}

std::string readWholeFile(const std::string& utf8Path) {
    return readWholeFile(pathFromUtf8(utf8Path));
}

void writeWholeFile(const std::string& utf8Path, std::string_view content) {
    writeWholeFile(pathFromUtf8(utf8Path), content);
}
