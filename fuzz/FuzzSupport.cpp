#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

void FuzzCheck(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "Property does not hold: %s\n", property);
        std::abort();
    }
}

namespace {

fs::path TemporaryRoot() {
    std::error_code ignored;
    return fs::is_directory("/dev/shm", ignored) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

class OwnFolder {
public:
    OwnFolder() {
        std::string pattern = (TemporaryRoot() / "tappora-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary folder");
        }
        m_path = pattern;
    }
    ~OwnFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    OwnFolder(const OwnFolder&) = delete;
    OwnFolder& operator=(const OwnFolder&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

const std::string& FuzzFolder() {
    static const OwnFolder folder;
    return folder.Path();
}

void EmptyFuzzFolder() {
    for (const fs::directory_entry& entry : fs::directory_iterator(FuzzFolder())) {
        fs::remove_all(entry.path());
    }
}

void WriteFuzzFile(const std::string& path, const unsigned char* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    FuzzCheck(static_cast<bool>(file.flush()), "the fuzzing folder takes the input file");
}

std::string ReadFuzzFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
