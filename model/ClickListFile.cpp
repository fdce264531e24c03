#include "model/ClickListFile.h"

#include "model/Maker.h"
#include "model/SafeFile.h"
#include "model/TextValue.h"
#include "model/XmlFile.h"
#include "platform/Files.h"

#include <array>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <variant>

namespace {

// A field of the click, by its type.
using ClickField =
    std::variant<std::int32_t TMouseObj::*, std::string TMouseObj::*, std::uint8_t TMouseObj::*, bool TMouseObj::*>;

struct ClickAttribute {
    const char* name;
    ClickField field;
    // A duration in ms or a distance: a negative one is no value the runner can use, so it reads like text that does
    // not convert, and so does one above the largest.
    bool nonNegative = false;
    std::int32_t largest = std::numeric_limits<std::int32_t>::max();
    // Written only when it differs from the default, so that a list that does not use it is saved as before.
    bool onlyWhenSet = false;
};

// The attributes of an `item`, in the order they are written.
const std::array<ClickAttribute, 31> kClickAttributes{{
    {"fPosX", &TMouseObj::fPosX},
    {"fPosY", &TMouseObj::fPosY},
    {"fStartAt", &TMouseObj::fStartAt},
    {"fStartInterval", &TMouseObj::fStartInterval},
    {"fRepeat", &TMouseObj::fRepeat},
    {"fColor", &TMouseObj::fColor},
    {"fTop", &TMouseObj::fTop},
    {"fBottom", &TMouseObj::fBottom},
    {"fLeft", &TMouseObj::fLeft},
    {"fRight", &TMouseObj::fRight},
    {"fBMP", &TMouseObj::fBMP},
    {"fColorSimplar", &TMouseObj::fColorSimplar},
    {"fBMPSimplar", &TMouseObj::fBMPSimplar},
    {"pointType", &TMouseObj::pointType},
    {"mouseType", &TMouseObj::mouseType},
    {"actionType", &TMouseObj::actionType},
    {"startType", &TMouseObj::startType},
    {"stopType", &TMouseObj::stopType},
    {"finishType", &TMouseObj::finishType},
    {"ScreenType", &TMouseObj::ScreenType},
    {"iClickInterval", &TMouseObj::iClickInterval, true},
    {"hkStart", &TMouseObj::hkStart},
    {"hkStop", &TMouseObj::hkStop},
    {"fName", &TMouseObj::fName},
    {"checked", &TMouseObj::checked},
    {"fRanBegin", &TMouseObj::fRanBegin, true},
    {"fRanEnd", &TMouseObj::fRanEnd, true},
    {"InteverType", &TMouseObj::InteverType},
    {"fHoldTime", &TMouseObj::fHoldTime, true, kMaxHoldTime, true},
    {"fHoldTimeTo", &TMouseObj::fHoldTimeTo, true, kMaxHoldTime, true},
    {"fJitter", &TMouseObj::fJitter, true, kMaxJitter, true},
}};

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

std::string FieldText(const TMouseObj& click, const ClickField& field) {
    return std::visit(Overloaded{
                          [&](std::int32_t TMouseObj::*integer) { return std::to_string(click.*integer); },
                          [&](std::string TMouseObj::*text) { return click.*text; },
                          [&](std::uint8_t TMouseObj::*ordinal) { return std::to_string(click.*ordinal); },
                          [&](bool TMouseObj::*boolean) { return BoolToString(click.*boolean); },
                      },
                      field);
}

std::int32_t IntegerFromText(const ClickAttribute& attribute, const std::string& text) {
    const std::int32_t value = StringToInt(text);
    if ((attribute.nonNegative && value < 0) || value > attribute.largest) {
        throw std::invalid_argument("'" + text + "' is out of range");
    }
    return value;
}

// Throws std::invalid_argument when the text does not convert; the field is then unchanged.
void SetFieldFromText(TMouseObj& click, const ClickAttribute& attribute, const std::string& text) {
    std::visit(Overloaded{
                   [&](std::int32_t TMouseObj::*integer) { click.*integer = IntegerFromText(attribute, text); },
                   [&](std::string TMouseObj::*value) { click.*value = text; },
                   // Only the low 8 bits are kept: 256 reads as 0 and -1 as 255.
                   [&](std::uint8_t TMouseObj::*ordinal) {
                       click.*ordinal = static_cast<std::uint8_t>(StringToInt(text) & 0xFF);
                   },
                   [&](bool TMouseObj::*boolean) { click.*boolean = StringToBool(text); },
               },
               attribute.field);
}

} // namespace

void WriteClickNode(const TMouseObj& click, pugi::xml_node parent) {
    static const TMouseObj defaults;
    pugi::xml_node item = parent.append_child("item");
    for (const auto& attribute : kClickAttributes) {
        const std::string text = FieldText(click, attribute.field);
        if (attribute.onlyWhenSet && text == FieldText(defaults, attribute.field)) {
            continue;
        }
        item.append_attribute(attribute.name).set_value(text.c_str());
    }
}

void ReadClickNode(const pugi::xml_node& node, TMouseObj& click) {
    for (const auto& attribute : kClickAttributes) {
        const pugi::xml_attribute stored = node.attribute(attribute.name);
        if (!stored) {
            continue;
        }
        try {
            SetFieldFromText(click, attribute, stored.value());
        } catch (const std::invalid_argument&) {
            // A value that does not convert keeps the field's default; the rest of the click still loads.
        }
    }
}

ClickListLoad LoadClickListFile(TProtectedFile& file) {
    ClickListLoad load;
    const std::string& path = file.Path();
    std::error_code ignored;
    if (!std::filesystem::exists(pathFromUtf8(path), ignored)) {
        return load;
    }
    pugi::xml_document document;
    const std::string reason = LoadXmlFile(path, document);
    if (!reason.empty()) {
        load.status = ClickListLoad::Unreadable;
        load.error = "Cannot read '" + path + "': " + reason;
        if (const std::string failure = file.Unreadable(); !failure.empty()) {
            load.error += "; " + failure;
        }
        load.keptAsidePath = file.KeptAsidePath();
        return load;
    }
    load.status = ClickListLoad::Loaded;
    for (pugi::xml_node child : document.document_element().children()) {
        if (child.type() == pugi::node_element) {
            ReadClickNode(child, load.clicks.emplace_back());
        }
    }
    return load;
}

ClickListLoad LoadClickListFile(const std::string& path) {
    TProtectedFile file(path, kClickListFileKind);
    return LoadClickListFile(file);
}

std::string ClickListText(const std::vector<const TMouseObj*>& clicks) {
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("utf-8");
    declaration.append_attribute("standalone").set_value("yes");
    pugi::xml_node list = document.append_child("list");
    list.append_attribute("versionNo").set_value("1.0");
    list.append_attribute("generated").set_value(kMakerWebAddress);
    for (const TMouseObj* click : clicks) {
        WriteClickNode(*click, list);
    }
    return RawXmlText(document);
}

void SaveClickListFile(const std::string& path, const std::vector<const TMouseObj*>& clicks) {
    WriteFileAtomically(path, ClickListText(clicks));
}
