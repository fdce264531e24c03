#pragma once

#include "model/MouseObj.h"
#include "model/SafeFile.h"

#include <pugixml.hpp>

#include <string>
#include <vector>

// The click list file "tapporas.xml": root `list`, one `item` with 28 attributes per click, and after them the hold and
// spread where a click uses them.
inline constexpr const char* kClickListFileName = "tapporas.xml";
inline constexpr TFileKind kClickListFileKind{"click list file", "The click list was not saved"};

// Appends an `item` after the parent's last child with the 28 attributes in file order, then those of the hold and
// spread that differ from their defaults.
void WriteClickNode(const TMouseObj& click, pugi::xml_node parent);
// Reads every attribute the node has into `click`; absent attributes, and texts that do not convert to the
// field's type, leave the field as it was (its default for a new click).
void ReadClickNode(const pugi::xml_node& node, TMouseObj& click);

struct ClickListLoad {
    enum Status { Missing, Loaded, Unreadable } status = Missing;
    // Loaded: one click per child element of the root, in document order.
    std::vector<TMouseObj> clicks;
    // Unreadable: where the unreadable file was kept aside (empty if even that failed).
    std::string keptAsidePath;
    // Unreadable: why the file could not be read.
    std::string error;
};

// Reads the clicks of the file. A file that exists but cannot be read or parsed is kept aside (Unreadable), so the
// save at close cannot overwrite it; once the caller holds the clicks of a loaded file, it says so with Read().
ClickListLoad LoadClickListFile(TProtectedFile& file);
// The same for a file that is only read here.
ClickListLoad LoadClickListFile(const std::string& path);
// The document text for the clicks, in order: declaration, root `list`, one `item` each, no indentation.
std::string ClickListText(const std::vector<const TMouseObj*>& clicks);
// Writes ClickListText atomically (WriteFileAtomically); throws std::runtime_error naming the file and the reason.
void SaveClickListFile(const std::string& path, const std::vector<const TMouseObj*>& clicks);
