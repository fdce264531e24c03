#pragma once

#include <pugixml.hpp>

#include <string>

// Loads a whole XML file into `document`. Gives an empty text when the file is well-formed, else the reason it is
// not; the document is then empty.
std::string LoadXmlFile(const std::string& path, pugi::xml_document& document);
// The node's markup as UTF-8 without indentation or line breaks (a document gives its declaration, if it has one).
std::string RawXmlText(const pugi::xml_node& node);
