#include "control/ControlFixture.h"

#include "TempFolder.h"
#include "platform/Files.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

ControlTest::ControlTest() : folder(makeTempFolder("tappora-control")) {}

ControlTest::~ControlTest() {
    ctrl.reset();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

std::string ControlTest::PathOf(const std::string& name) const {
    return utf8FromPath(folder / pathFromUtf8(name));
}

TClickListController& ControlTest::StartController() {
    ctrl = std::make_unique<TClickListController>(view, fake.platform, utf8FromPath(folder), recoveryFolder);
    return *ctrl;
}

std::vector<std::string> ControlTest::CloseController() {
    std::vector<std::string> messages = ctrl->Close();
    ctrl.reset();
    return messages;
}

void ControlTest::WriteFile(const fs::path& name, const std::string& content) const {
    std::ofstream(folder / name, std::ios::binary) << content;
}

std::string ControlTest::ReadFile(const fs::path& name) const {
    std::ifstream file(folder / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void ControlTest::WriteList(const std::vector<std::string>& itemAttributes) const {
    std::string text = R"(<?xml version="1.0" encoding="utf-8" standalone="yes"?><list versionNo="1.0">)";
    for (const std::string& attributes : itemAttributes) {
        text += "<item " + attributes + "/>";
    }
    WriteFile(kClickListFileName, text + "</list>");
}

void ControlTest::EditSettings(const std::function<void(TConfig&)>& edit) const {
    TConfig config(utf8FromPath(folder));
    edit(config);
    std::vector<std::string> told;
    config.SaveConfig(told);
}

std::vector<fs::path> ControlTest::FilesStartingWith(const std::string& prefix) const {
    std::vector<fs::path> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name != prefix && name.rfind(prefix, 0) == 0) {
            found.push_back(entry.path());
        }
    }
    return found;
}

bool ControlTest::PressCtrlF(int n) {
    return fake.hotKeys.press({HotKeyModifier::Control, n + 1});
}

int ControlTest::ColumnNamed(const std::string& name) const {
    for (std::size_t column = 0; column < view.columns.size(); ++column) {
        if (view.columns[column].caption == name) {
            return static_cast<int>(column);
        }
    }
    throw std::invalid_argument("no column " + name);
}

std::string ControlTest::Cell(int row, const std::string& columnName) {
    return ctrl->GetCellText(row, ColumnNamed(columnName));
}

std::size_t ControlTest::ClicksSoFar() const {
    return fake.mouse.buttonEvents(MouseButtonEvent::LeftDown).size();
}

std::string FastClick(const std::string& name, int hkStart, int hkStop, const std::string& extra) {
    std::ostringstream attributes;
    attributes << "fName=\"" << name << "\" iClickInterval=\"100\" hkStart=\"" << hkStart << "\" hkStop=\"" << hkStop
               << "\" " << extra;
    return attributes.str();
}
