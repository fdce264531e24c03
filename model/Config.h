// TConfig: the settings document (window, columns, options) and its typed bindings.
#pragma once

#include "model/SafeFile.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <vector>

// The settings file "TapporaConfig.xml": window geometry, auto start and the list columns.
inline constexpr const char* kConfigFileName = "TapporaConfig.xml";
extern const char* const DefaultConfigText;

// Bindings over the elements of the settings document. Read accessors convert the attribute's text (integers in
// decimal; Booleans "True"/"False" in any letter case or a number); write accessors set the text.
class TXMLFrameType {
public:
    explicit TXMLFrameType(pugi::xml_node node) : m_node(node) {}
    std::string Getrunning() const;
    void Setrunning(const std::string& value);
    bool Getautorun() const;
    void Setautorun(bool value);
    std::int32_t Getleft() const;
    void Setleft(std::int32_t value);
    std::int32_t Gettop() const;
    void Settop(std::int32_t value);
    std::int32_t Getheight() const;
    void Setheight(std::int32_t value);
    std::int32_t Getwidth() const;
    void Setwidth(std::int32_t value);
    bool Getmax() const;
    void Setmax(bool value);
    // The output the user chose as the primary one; empty (no attribute): the system's rule. An empty value removes
    // the attribute, so a file that never had a choice stays as it was.
    std::string GetprimaryOutput() const;
    void SetprimaryOutput(const std::string& value);
    // The key that stops every click, as its text ("Ctrl+Shift+F11", "None"); empty (no attribute): the default key.
    // An empty value removes the attribute.
    std::string GetstopAllKey() const;
    void SetstopAllKey(const std::string& value);
    // Whether holding the pointer in a screen corner stops every click; no attribute (or one that does not convert):
    // false. False removes the attribute.
    bool GetcornerStop() const;
    void SetcornerStop(bool value);

private:
    pugi::xml_node m_node;
};

class TXMLColType {
public:
    explicit TXMLColType(pugi::xml_node node) : m_node(node) {}
    std::int32_t Getid() const;
    void Setid(std::int32_t value);
    std::string GetName() const;
    void SetName(const std::string& value);
    std::string GetAlign() const;
    void SetAlign(const std::string& value);
    std::string GetColor() const;
    void SetColor(const std::string& value);
    bool GetVisible() const;
    void SetVisible(bool value);
    std::int32_t GetWidth() const;
    void SetWidth(std::int32_t value);
    std::int32_t GetIndex() const;
    void SetIndex(std::int32_t value);

private:
    pugi::xml_node m_node;
};

class TXMLColsType {
public:
    explicit TXMLColsType(pugi::xml_node node) : m_node(node) {}
    // The `col` children, in document order.
    int Count() const;
    // Throws std::out_of_range for an index outside 0 to Count() - 1.
    TXMLColType Item(int index) const;
    TXMLColType Add();
    TXMLColType Insert(int index);

private:
    pugi::xml_node ColNode(int index) const;

    pugi::xml_node m_node;
};

class TXMLConfigType {
public:
    explicit TXMLConfigType(pugi::xml_node node) : m_node(node) {}
    std::string GetversionNo() const;
    void SetversionNo(const std::string& value);
    std::string Getgenerated() const;
    void Setgenerated(const std::string& value);
    TXMLFrameType Getframe() const;
    TXMLColsType Getcols() const;

private:
    pugi::xml_node m_node;
};

// Owns the settings document for the program's run. Opening it creates the file from the template when it is
// missing, of another version than "2.0", unparsable, or lacks `frame` or `cols` (an unparsable or incomplete file
// is kept aside first; when it cannot be, the template is used without touching the file, and SaveConfig keeps it
// aside before writing).
class TConfig {
public:
    explicit TConfig(const std::string& folder);
    TXMLFrameType GetFrame() const;
    TXMLColsType GetCols() const;
    // Writes the `config` element's markup (no declaration) atomically; throws std::runtime_error naming the file
    // and the reason when it cannot, and the old file stays whole. Never writes over an unreadable file that is still
    // in place: that one is kept aside first, and `messages` gets where it went, or nothing is written.
    void SaveConfig(std::vector<std::string>& messages);
    const std::string& ConfigFileName() const { return m_file.Path(); }
    // Set when an unreadable settings file was kept aside, at opening or by SaveConfig: where it went.
    const std::string& KeptAsidePath() const { return m_file.KeptAsidePath(); }
    // The settings file could not be read and could not be kept aside either; it is still in place.
    bool UnreadableInPlace() const { return m_file.UnreadableInPlace(); }

private:
    TXMLConfigType Root() const;
    void CreateDefaultFile();
    void Open();
    void UseTemplate();
    void KeepAsideAndUseTemplate();
    void LoadTemplate();

    TProtectedFile m_file;
    pugi::xml_document m_document;
};
