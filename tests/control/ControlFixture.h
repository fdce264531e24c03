#pragma once

#include "control/ClickListController.h"
#include "control/FakeClickListView.h"
#include "model/ClickListFile.h"
#include "model/Config.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A controller over the fake view and platform, with its files in a fresh temporary folder of its own.
class ControlTest : public ::testing::Test {
protected:
    ControlTest();
    ~ControlTest() override;

    TClickListController& StartController();
    // Closes and destroys the controller; gives the close messages.
    std::vector<std::string> CloseController();

    std::string PathOf(const std::string& name) const;
    std::string ListPath() const { return PathOf(kClickListFileName); }
    std::string ConfigPath() const { return PathOf(kConfigFileName); }
    void WriteFile(const std::filesystem::path& name, const std::string& content) const;
    std::string ReadFile(const std::filesystem::path& name) const;
    // A list file with these `item` elements (attribute text such as `fName="A" hkStart="3"`).
    void WriteList(const std::vector<std::string>& itemAttributes) const;
    // Changes the settings file through the settings document before the controller starts.
    void EditSettings(const std::function<void(TConfig&)>& edit) const;
    // Files in the folder whose name starts with `prefix`, other than `prefix` itself.
    std::vector<std::filesystem::path> FilesStartingWith(const std::string& prefix) const;

    // Presses Ctrl with F(n + 1); the controller receives it. Whether it was delivered.
    bool PressCtrlF(int n);
    // The column that shows `name`.
    int ColumnNamed(const std::string& name) const;
    std::string Cell(int row, const std::string& columnName);
    // Button-down events sent so far, i.e. clicks begun.
    std::size_t ClicksSoFar() const;

    FakePlatform fake;
    FakeClickListView view;
    std::filesystem::path folder;
    // Where the controller keeps a list it cannot save at an unattended close; none unless a test sets it.
    std::string recoveryFolder;
    std::unique_ptr<TClickListController> ctrl;
};

// A click that clicks every 100 ms, right away and until stopped, with the given extra attributes.
std::string FastClick(const std::string& name, int hkStart, int hkStop, const std::string& extra = "");
