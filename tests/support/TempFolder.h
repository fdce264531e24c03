#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, named `<prefix>-<random>`; tests run in parallel processes.
std::filesystem::path makeTempFolder(std::string_view prefix);

// A fresh folder of the test's own, removed with everything in it at the end of the test.
class TempFolder {
public:
    explicit TempFolder(std::string_view prefix = "tappora-test");
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::filesystem::path& path() const { return m_path; }
    // The folder as UTF-8 text, as the program's own code takes paths.
    std::string text() const;
    // The UTF-8 text of the file `name` in the folder.
    std::string file(std::string_view name) const;
    // The names of everything in the folder.
    std::set<std::string> names() const;

private:
    std::filesystem::path m_path;
};

// The whole file as it is on the disk; throws when it cannot be read.
std::string readWholeFile(const std::filesystem::path& path);
// Replaces the file's content byte for byte; throws when it cannot be written.
void writeWholeFile(const std::filesystem::path& path, std::string_view content);
// The same for a file named by its UTF-8 text.
std::string readWholeFile(const std::string& utf8Path);
void writeWholeFile(const std::string& utf8Path, std::string_view content);
