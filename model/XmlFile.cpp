#include "model/XmlFile.h"

#include "platform/Files.h"

#include <filesystem>
#include <sstream>

namespace {

// The parser accepts several top-level elements; a well-formed document has exactly one, and reading only the
// first would lose the others' content at the next save.
bool HasOneRootElement(const pugi::xml_document& document) {
    int elements = 0;
    for (pugi::xml_node child : document.children()) {
        elements += child.type() == pugi::node_element ? 1 : 0;
    }
    return elements == 1;
}

std::string ReasonNotLoaded(const pugi::xml_parse_result& result) {
    std::string reason = result.description();
    if (result.status != pugi::status_file_not_found && result.status != pugi::status_io_error &&
        result.status != pugi::status_out_of_memory) {
        reason += " at offset " + std::to_string(result.offset);
    }
    return reason;
}

} // namespace

std::string LoadXmlFile(const std::string& path, pugi::xml_document& document) {
    // The parser opens whatever the path names: a pipe would block the start, a directory reads as a file of
    // endless size.
    const std::filesystem::path file = pathFromUtf8(path);
    std::error_code error;
    if (std::filesystem::exists(file, error) && !std::filesystem::is_regular_file(file, error)) {
        document.reset();
        return "not a regular file";
    }
    const pugi::xml_parse_result result = document.load_file(file.c_str());
    std::string reason;
    if (!result) {
        reason = ReasonNotLoaded(result);
    } else if (!HasOneRootElement(document)) {
        reason = "more than one root element";
    }
    if (!reason.empty()) {
        document.reset();
    }
    return reason;
}

std::string RawXmlText(const pugi::xml_node& node) {
    std::ostringstream text;
    node.print(text, "", pugi::format_raw, pugi::encoding_utf8);
    return text.str();
}
