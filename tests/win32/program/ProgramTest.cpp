// The real tappora.exe under Wine: a copy in a folder of its own (with a name outside the ANSI code page) and a
// click list written as the Linux program writes it; a driver program presses the hotkeys; a target program of its
// own records where the clicks landed.

#include "model/ClickListFile.h"
#include "model/ColorText.h"
#include "model/MouseObj.h"
#include "pixels/Base64.h"
#include "platform/win32/ProgramFolder.h"
#include "tests/win32/TargetPattern.h"
#include "tests/win32/Win32TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

// Clear of the main window, which Wine without a window manager may map over a topmost window.
constexpr int kLeft = 20;
constexpr int kTop = 700;
constexpr int kSize = 256;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 24-bit BMP file image of the target's pattern at client (left, top), width x height.
std::vector<std::uint8_t> patternBmp(int left, int top, int width, int height) {
    const int line = (width * 3 + 3) & ~3;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(line * height);
    std::vector<std::uint8_t> bmp(54 + pixelBytes, 0);
    const auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, 54 + pixelBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, pixelBytes);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = targetPatternColour(left + x, top + y);
            std::uint8_t* pixel = bmp.data() + 54 + static_cast<std::size_t>(height - 1 - y) * line + 3 * x;
            pixel[0] = colour & 0xFF;
            pixel[1] = (colour >> 8) & 0xFF;
            pixel[2] = (colour >> 16) & 0xFF;
        }
    }
    return bmp;
}

// The click kinds of the list, each started by its own hotkey and stopped after three clicks that found their target.
std::unique_ptr<TMouseObj> clickStartedBy(int key, TPointType pointType, const std::string& name) {
    auto click = std::make_unique<TMouseObj>();
    click->fName = name;
    click->pointType = pointType;
    click->hkStart = static_cast<std::uint8_t>(key);
    click->hkStop = 11;
    click->stopType = spRepeat;
    click->fRepeat = 3;
    click->iClickInterval = 50;
    click->ScreenType = scPart;
    click->fLeft = kLeft;
    click->fTop = kTop;
    click->fRight = kLeft + kSize;
    click->fBottom = kTop + kSize;
    return click;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { start(L"Tappora e2e"); }

    void start(const std::wstring& folderName) {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        folder = fs::path(temp) / folderName;
        fs::remove_all(folder);
        fs::create_directories(folder);
        // Never the user's own local application data: the program inherits this.
        localData = fs::path(temp) / (folderName + L" local data");
        fs::remove_all(localData);
        SetEnvironmentVariableW(L"LOCALAPPDATA", localData.c_str());
        fs::copy_file(programFolder() / "tappora.exe", folder / "tappora.exe");

        auto fixed = clickStartedBy(1, ptFixed, "Fixed \u00fcber"); // Ctrl+F2
        fixed->fPosX = kLeft + 30;
        fixed->fPosY = kTop + 40;
        auto colour = clickStartedBy(2, ptColor, "Colour"); // Ctrl+F3
        const std::uint32_t rgb = targetPatternColour(70, 90);
        colour->fColor = ColorToString(static_cast<TColor>((rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16)));
        auto picture = clickStartedBy(3, ptPicture, "Picture"); // Ctrl+F4
        picture->fBMP = StreamToBase64(patternBmp(100, 120, 12, 10));
        listText = ClickListText({fixed.get(), colour.get(), picture.get()});
        std::ofstream(folder / "tapporas.xml", std::ios::binary) << listText;

        target = std::make_unique<TargetWindow>(kLeft, kTop, kSize, kSize);
        program = std::make_unique<ChildProcess>(folder / "tappora.exe", std::vector<std::wstring>{});
        ASSERT_TRUE(pumpUntil([&] { return program->window(L"Tappora") != 0; })) << "the main window did not come up";
    }

    void TearDown() override {
        program.reset();
        target.reset();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        fs::remove_all(localData, ignored);
    }

    void press(const std::wstring& keys) {
        ChildProcess driver(L"tappora_win32_driver.exe", {keys});
        ASSERT_EQ(driver.waitForExit(), 0);
    }

    // Closes the program as the close box does and waits for it to end.
    void closeProgram() {
        PostMessageW(reinterpret_cast<HWND>(program->window(L"Tappora")), WM_CLOSE, 0, 0);
        ASSERT_EQ(program->waitForExit(), 0);
    }

    void expectFilesSaved() {
        EXPECT_EQ(readFile(folder / "tapporas.xml"), listText);
        const std::string settings = readFile(folder / "TapporaConfig.xml");
        EXPECT_THAT(settings, ::testing::HasSubstr("<config "));
        EXPECT_THAT(settings, ::testing::HasSubstr("\"2.0\""));
    }

    // The client points of the button-down messages among the target's lines.
    static std::vector<std::string> downs(const std::vector<std::string>& lines) {
        std::vector<std::string> points;
        for (const std::string& line : lines) {
            std::istringstream in(line);
            std::string message, x, y;
            in >> message >> x >> y;
            if (message == "WM_LBUTTONDOWN" || message == "WM_LBUTTONDBLCLK")
                points.push_back(x + " " + y);
        }
        return points;
    }

    fs::path folder;
    fs::path localData;
    std::string listText;
    std::unique_ptr<TargetWindow> target;
    std::unique_ptr<ChildProcess> program;
};

TEST_F(ProgramTest, CtrlF2ClicksTheFixedPointThreeTimes) {
    press(L"ctrl+f2");
    EXPECT_THAT(downs(target->waitForLines(6)), ::testing::ElementsAre("30 40", "30 40", "30 40"));
    closeProgram();
}

TEST_F(ProgramTest, CtrlF3ClicksTheFirstPixelOfTheColour) {
    press(L"ctrl+f3");
    EXPECT_THAT(downs(target->waitForLines(6)), ::testing::ElementsAre("70 90", "70 90", "70 90"));
    closeProgram();
}

TEST_F(ProgramTest, CtrlF4ClicksTheCentreOfThePicture) {
    press(L"ctrl+f4");
    EXPECT_THAT(downs(target->waitForLines(6)), ::testing::ElementsAre("106 125", "106 125", "106 125"));
    closeProgram();
}

TEST_F(ProgramTest, CtrlShiftF2StartsNothing) {
    press(L"ctrl+shift+f2");
    pumpFor(std::chrono::milliseconds(1500));
    EXPECT_THAT(target->waitForLines(0), ::testing::IsEmpty());
    closeProgram();
}

// A list the Linux program wrote opens unchanged and is saved back byte for byte; the settings file appears beside.
TEST_F(ProgramTest, ClosingSavesTheListUnchangedAndTheSettingsBesideTheProgram) {
    closeProgram();
    expectFilesSaved();
}

// A second start for the same folder shows the first copy's window, hidden to the notification area, and ends.
TEST_F(ProgramTest, ASecondStartBringsTheFirstCopysWindowForwardAndEnds) {
    const HWND main = reinterpret_cast<HWND>(program->window(L"Tappora"));
    ShowWindow(main, SW_HIDE);
    ChildProcess second(folder / "tappora.exe", {});
    EXPECT_EQ(second.waitForExit(), 0);
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(main) && GetForegroundWindow() == main; }));
    closeProgram();
    expectFilesSaved();
}

// Nobody can be asked when the session ends: a list that cannot be saved goes to the user's local application data.
TEST_F(ProgramTest, TheSessionsEndKeepsAListThatCannotBeSavedInTheLocalApplicationData) {
    const HWND main = reinterpret_cast<HWND>(program->window(L"Tappora"));
    fs::remove(folder / "tapporas.xml");
    fs::create_directories(folder / "tapporas.xml" / "blocker");
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
    EXPECT_EQ(answer, TRUE);
    SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
    std::vector<std::string> kept;
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(localData / "tappora", missing))
        kept.push_back(readFile(entry.path()));
    EXPECT_THAT(kept, ::testing::ElementsAre(listText));
}

// The same in a folder whose name no ANSI code page holds: the list loads (its clicks run) and both files are saved.
class ProgramInAnyFolderTest : public ProgramTest {
protected:
    void SetUp() override { start(L"Tappora e2e \u00e9t\u00e9 \u6771\u4eac"); }
};

TEST_F(ProgramInAnyFolderTest, ListLoadsClicksAndIsSavedBack) {
    press(L"ctrl+f2");
    EXPECT_THAT(downs(target->waitForLines(6)), ::testing::ElementsAre("30 40", "30 40", "30 40"));
    closeProgram();
    expectFilesSaved();
}
} // namespace
