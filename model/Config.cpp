#include "model/Config.h"

#include "model/Maker.h"
#include "model/SafeFile.h"
#include "model/TextValue.h"
#include "model/XmlFile.h"
#include "platform/Files.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace {

constexpr char kDefaultConfigText[] =
    R"(<?xml version="1.0"?>    <config versionNo="2.0" generated="https://tappora.example.org/">    )"
    R"(<frame left="296" top="228" height="344" width="687" max="False" running="rbNormal" autorun="False"/>    )"
    R"(<cols>    )"
    R"(<col id="0" Name="Name" Align="left" Color="" Width="85" Visible="True" Index="0"/>    )"
    R"(<col id="1" Name="Click Point" Align="left" Color="" Width="80" Visible="True" Index="1"/>    )"
    R"(<col id="2" Name="Mouse Button" Align="left" Color="" Width="80" Visible="True" Index="2"/>    )"
    R"(<col id="3" Name="Mouse Action" Align="left" Color="" Width="80" Visible="True" Index="3"/>    )"
    R"(<col id="4" Name="Click Interval" Align="left" Color="" Width="80" Visible="True" Index="4"/>    )"
    R"(<col id="5" Name="Start Option" Align="left" Color="" Width="72" Visible="True" Index="5"/>    )"
    R"(<col id="6" Name="Stop Option" Align="left" Color="" Width="72" Visible="True" Index="6"/>    )"
    R"(<col id="7" Name="Start HotKey" Align="left" Color="" Width="72" Visible="True" Index="7"/>    )"
    R"(<col id="8" Name="Stop HotKey" Align="left" Color="" Width="72" Visible="True" Index="8"/>    )"
    R"(<col id="9" Name="After Click Action" Align="left" Color="" Width="72" Visible="False" Index="9"/>    )"
    R"(<col id="10" Name="Action Stats" Align="left" Color="" Width="72" Visible="True" Index="10"/>    )"
    R"(</cols>    </config>    )";

constexpr bool TemplateNamesTheMaker() {
    constexpr std::string_view text(kDefaultConfigText);
    constexpr std::string_view address(kMakerWebAddress);
    constexpr std::string_view key = "generated=\"";
    const std::size_t start = text.find(key) + key.size();
    return text.substr(start, address.size()) == address && text[start + address.size()] == '"';
}
static_assert(TemplateNamesTheMaker(), "the settings template's generated attribute must be the maker's address");

constexpr const char* kRequiredVersion = "2.0";

constexpr TFileKind kConfigFileKind{"settings file", "The settings were not saved"};

// The template parsed once: the defaults for attributes that are missing or do not convert.
const pugi::xml_document& TemplateDocument() {
    static const pugi::xml_document document = [] {
        pugi::xml_document parsed;
        parsed.load_string(kDefaultConfigText);
        return parsed;
    }();
    return document;
}

pugi::xml_node TemplateFrame() {
    return TemplateDocument().document_element().child("frame");
}

int PositionAmongCols(pugi::xml_node col) {
    int position = 0;
    for (pugi::xml_node before = col.previous_sibling("col"); before; before = before.previous_sibling("col")) {
        ++position;
    }
    return position;
}

// The template's col at the same position; a col beyond the template's last takes the last one's defaults.
pugi::xml_node TemplateColFor(pugi::xml_node col) {
    const pugi::xml_node cols = TemplateDocument().document_element().child("cols");
    pugi::xml_node match = cols.first_child();
    for (int position = PositionAmongCols(col); position > 0 && match.next_sibling("col"); --position) {
        match = match.next_sibling("col");
    }
    return match;
}

void SetAttribute(pugi::xml_node node, const char* name, const std::string& text) {
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) {
        attribute = node.append_attribute(name);
    }
    attribute.set_value(text.c_str());
}

// An attribute that only some files have: an empty value removes it, so a file without it stays as it was.
void SetOrRemove(pugi::xml_node node, const char* name, const std::string& value) {
    if (value.empty()) {
        node.remove_attribute(name);
    } else {
        SetAttribute(node, name, value);
    }
}

std::string Text(pugi::xml_node node, const char* name) {
    return node.attribute(name).value();
}

// A stored value that is missing or does not convert gives `fallback`'s value, so the program always starts.
template <class TValue>
TValue Converted(TValue (*convert)(const std::string&), pugi::xml_node node, const char* name,
                 pugi::xml_node fallback) {
    try {
        return convert(Text(node, name));
    } catch (const std::invalid_argument&) {
        return convert(Text(fallback, name));
    }
}

std::int32_t Integer(pugi::xml_node node, const char* name, pugi::xml_node fallback) {
    return Converted(StringToInt, node, name, fallback);
}

bool Boolean(pugi::xml_node node, const char* name, pugi::xml_node fallback) {
    return Converted(StringToBool, node, name, fallback);
}

// id and Index default to the col's own position, also beyond the template's eleven.
std::int32_t Position(pugi::xml_node node, const char* name) {
    try {
        return StringToInt(Text(node, name));
    } catch (const std::invalid_argument&) {
        return PositionAmongCols(node);
    }
}

} // namespace

const char* const DefaultConfigText = kDefaultConfigText;

std::string TXMLFrameType::Getrunning() const {
    return Text(m_node, "running");
}
void TXMLFrameType::Setrunning(const std::string& value) {
    SetAttribute(m_node, "running", value);
}
bool TXMLFrameType::Getautorun() const {
    return Boolean(m_node, "autorun", TemplateFrame());
}
void TXMLFrameType::Setautorun(bool value) {
    SetAttribute(m_node, "autorun", BoolToString(value));
}
std::int32_t TXMLFrameType::Getleft() const {
    return Integer(m_node, "left", TemplateFrame());
}
void TXMLFrameType::Setleft(std::int32_t value) {
    SetAttribute(m_node, "left", std::to_string(value));
}
std::int32_t TXMLFrameType::Gettop() const {
    return Integer(m_node, "top", TemplateFrame());
}
void TXMLFrameType::Settop(std::int32_t value) {
    SetAttribute(m_node, "top", std::to_string(value));
}
std::int32_t TXMLFrameType::Getheight() const {
    return Integer(m_node, "height", TemplateFrame());
}
void TXMLFrameType::Setheight(std::int32_t value) {
    SetAttribute(m_node, "height", std::to_string(value));
}
std::int32_t TXMLFrameType::Getwidth() const {
    return Integer(m_node, "width", TemplateFrame());
}
void TXMLFrameType::Setwidth(std::int32_t value) {
    SetAttribute(m_node, "width", std::to_string(value));
}
bool TXMLFrameType::Getmax() const {
    return Boolean(m_node, "max", TemplateFrame());
}
void TXMLFrameType::Setmax(bool value) {
    SetAttribute(m_node, "max", BoolToString(value));
}
std::string TXMLFrameType::GetprimaryOutput() const {
    return Text(m_node, "primaryOutput");
}
void TXMLFrameType::SetprimaryOutput(const std::string& value) {
    SetOrRemove(m_node, "primaryOutput", value);
}
std::string TXMLFrameType::GetstopAllKey() const {
    return Text(m_node, "stopAllKey");
}
void TXMLFrameType::SetstopAllKey(const std::string& value) {
    SetOrRemove(m_node, "stopAllKey", value);
}
bool TXMLFrameType::GetcornerStop() const {
    try {
        return StringToBool(Text(m_node, "cornerStop"));
    } catch (const std::invalid_argument&) {
        return false;
    }
}
void TXMLFrameType::SetcornerStop(bool value) {
    SetOrRemove(m_node, "cornerStop", value ? BoolToString(true) : std::string());
}

std::int32_t TXMLColType::Getid() const {
    return Position(m_node, "id");
}
void TXMLColType::Setid(std::int32_t value) {
    SetAttribute(m_node, "id", std::to_string(value));
}
std::string TXMLColType::GetName() const {
    return Text(m_node, "Name");
}
void TXMLColType::SetName(const std::string& value) {
    SetAttribute(m_node, "Name", value);
}
std::string TXMLColType::GetAlign() const {
    return Text(m_node, "Align");
}
void TXMLColType::SetAlign(const std::string& value) {
    SetAttribute(m_node, "Align", value);
}
std::string TXMLColType::GetColor() const {
    return Text(m_node, "Color");
}
void TXMLColType::SetColor(const std::string& value) {
    SetAttribute(m_node, "Color", value);
}
bool TXMLColType::GetVisible() const {
    return Boolean(m_node, "Visible", TemplateColFor(m_node));
}
void TXMLColType::SetVisible(bool value) {
    SetAttribute(m_node, "Visible", BoolToString(value));
}
std::int32_t TXMLColType::GetWidth() const {
    return Integer(m_node, "Width", TemplateColFor(m_node));
}
void TXMLColType::SetWidth(std::int32_t value) {
    SetAttribute(m_node, "Width", std::to_string(value));
}
std::int32_t TXMLColType::GetIndex() const {
    return Position(m_node, "Index");
}
void TXMLColType::SetIndex(std::int32_t value) {
    SetAttribute(m_node, "Index", std::to_string(value));
}

int TXMLColsType::Count() const {
    const auto cols = m_node.children("col");
    return static_cast<int>(std::distance(cols.begin(), cols.end()));
}

TXMLColType TXMLColsType::Item(int index) const {
    return TXMLColType(ColNode(index));
}

TXMLColType TXMLColsType::Add() {
    return TXMLColType(m_node.append_child("col"));
}

TXMLColType TXMLColsType::Insert(int index) {
    if (index == Count()) {
        return Add();
    }
    return TXMLColType(m_node.insert_child_before("col", ColNode(index)));
}

pugi::xml_node TXMLColsType::ColNode(int index) const {
    pugi::xml_node col = m_node.child("col");
    for (int i = 0; i < index && col; ++i) {
        col = col.next_sibling("col");
    }
    if (index < 0 || !col) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    }
    return col;
}

std::string TXMLConfigType::GetversionNo() const {
    return Text(m_node, "versionNo");
}
void TXMLConfigType::SetversionNo(const std::string& value) {
    SetAttribute(m_node, "versionNo", value);
}
std::string TXMLConfigType::Getgenerated() const {
    return Text(m_node, "generated");
}
void TXMLConfigType::Setgenerated(const std::string& value) {
    SetAttribute(m_node, "generated", value);
}
TXMLFrameType TXMLConfigType::Getframe() const {
    return TXMLFrameType(m_node.child("frame"));
}
TXMLColsType TXMLConfigType::Getcols() const {
    return TXMLColsType(m_node.child("cols"));
}

TConfig::TConfig(const std::string& folder)
    : m_file(utf8FromPath(pathFromUtf8(folder) / kConfigFileName), kConfigFileKind) {
    Open();
}

TXMLFrameType TConfig::GetFrame() const {
    return Root().Getframe();
}

TXMLColsType TConfig::GetCols() const {
    return Root().Getcols();
}

void TConfig::SaveConfig(std::vector<std::string>& messages) {
    m_file.Write(RawXmlText(m_document.document_element()), messages);
}

TXMLConfigType TConfig::Root() const {
    return TXMLConfigType(m_document.document_element());
}

void TConfig::CreateDefaultFile() {
    WriteFileAtomically(ConfigFileName(), kDefaultConfigText);
}

void TConfig::Open() {
    const std::string& path = ConfigFileName();
    std::error_code ignored;
    if (!std::filesystem::exists(pathFromUtf8(path), ignored)) {
        m_file.Read();
        UseTemplate();
        return;
    }
    const bool parsed = LoadXmlFile(path, m_document).empty();
    if (parsed && Root().GetversionNo() != kRequiredVersion) {
        m_file.Read();
        UseTemplate();
    } else if (!parsed || !m_document.document_element().child("frame") ||
               !m_document.document_element().child("cols")) {
        KeepAsideAndUseTemplate();
    } else {
        m_file.Read();
    }
}

void TConfig::UseTemplate() {
    try {
        CreateDefaultFile();
    } catch (const std::runtime_error&) {
        // The defaults still apply for this run; the save at close reports the folder's fault.
    }
    LoadTemplate();
}

void TConfig::KeepAsideAndUseTemplate() {
    if (!m_file.Unreadable().empty()) {
        // Without a copy kept aside the faulty file is left as it is, and no save may write over it.
        LoadTemplate();
        return;
    }
    UseTemplate();
}

void TConfig::LoadTemplate() {
    m_document.load_string(kDefaultConfigText);
}
