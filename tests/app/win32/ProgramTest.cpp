// The real tappora.exe under Wine: a copy in a folder of its own (with a name outside the ANSI code page) and a
// click list written as the Linux program writes it; a driver program presses the hotkeys; a target program of its
// own records where the clicks landed. Commands such as `tappora.exe start NAME` run as a script runs them, with their
// output redirected.

#include "ReferenceSearch.h"
#include "app/win32/SingleCopy.h"
#include "model/ClickListFile.h"
#include "model/ColorText.h"
#include "model/MouseObj.h"
#include "pixels/Base64.h"
#include "pixels/Color.h"
#include "pixels/NearestMiss.h"
#include "platform/win32/ProgramFolder.h"
#include "platform/win32/Utf16.h"
#include "tests/platform/win32/TargetPattern.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <aclapi.h>
#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
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

struct CommandResult {
    int exitCode;
    std::string output;
};

// `program` run with `arguments` and its output read through a pipe, as `tappora.exe list > file` gives it.
CommandResult runCommand(const fs::path& program, const std::vector<std::wstring>& arguments) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    CreatePipe(&read, &write, &inheritable, 0);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    for (const std::wstring& argument : arguments)
        commandLine += L" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION info{};
    const bool started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    CloseHandle(write);
    CommandResult result{-1, {}};
    char buffer[4096];
    DWORD bytes = 0;
    while (started && ReadFile(read, buffer, sizeof buffer, &bytes, nullptr) && bytes > 0)
        result.output.append(buffer, bytes);
    CloseHandle(read);
    if (!started)
        return result;
    DWORD code = 0;
    if (WaitForSingleObject(info.hProcess, 20000) == WAIT_OBJECT_0 && GetExitCodeProcess(info.hProcess, &code))
        result.exitCode = static_cast<int>(code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return result;
}

// The clicks counted for `name` in the output of `list --json`; -1 when it is not listed with `state`.
int jsonClicks(const std::string& json, const std::string& name, const std::string& state) {
    const std::string entry = "\"name\": \"" + name + "\", \"state\": \"" + state + "\", \"clicks\": ";
    const std::size_t at = json.find(entry);
    return at == std::string::npos ? -1 : std::stoi(json.substr(at + entry.size()));
}

// A client end of the pipe, once the program is done with the client before.
HANDLE openPipe(const std::wstring& name, DWORD access) {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 250 && pipe == INVALID_HANDLE_VALUE; ++attempt) {
        pipe = CreateFileW(name.c_str(), access, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE)
            Sleep(20);
    }
    return pipe;
}

std::vector<BYTE> currentUser() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    GetTokenInformation(token, TokenUser, user.data(), size, &size);
    CloseHandle(token);
    return user;
}

// Sends a list view message of the program whose argument points to `data`, copied to memory lent in the program for
// the call and back: such messages are not carried from one program to another. `lentAt` sets pointers within `data`.
void askList(
    HWND list, UINT message, WPARAM wParam, void* data, std::size_t size,
    const std::function<void(char*)>& lentAt = [](char*) {}) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    char* lent = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    lentAt(lent);
    WriteProcessMemory(process, lent, data, size, nullptr);
    SendMessageW(list, message, wParam, LPARAM(lent));
    ReadProcessMemory(process, lent, data, size, nullptr);
    VirtualFreeEx(process, lent, 0, MEM_RELEASE);
    CloseHandle(process);
}

POINT rowCentre(HWND list, int row) {
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    askList(list, LVM_GETITEMRECT, WPARAM(row), &rect, sizeof rect);
    POINT centre{rect.left + 20, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &centre);
    return centre;
}

// The texts the program's list shows in a row, one column after the other.
std::string rowText(HWND list, int row) {
    std::string texts;
    struct Cell {
        LVITEMW item;
        wchar_t text[256];
    };
    for (int column = 0; column < 11; ++column) {
        Cell cell{};
        cell.item.iSubItem = column;
        cell.item.cchTextMax = 255;
        askList(list, LVM_GETITEMTEXTW, WPARAM(row), &cell, sizeof cell,
                [&](char* lent) { cell.item.pszText = reinterpret_cast<wchar_t*>(lent + offsetof(Cell, text)); });
        texts += toUtf8(cell.text) + "|";
    }
    return texts;
}

// The pointer to a screen point, the last pixel as a move of the mouse that the window under it sees, and as many
// clicks of the left button there as asked.
void clickAt(POINT at, int times = 1) {
    SetCursorPos(at.x - 1, at.y);
    INPUT input[3] = {};
    input[0].type = input[1].type = input[2].type = INPUT_MOUSE;
    input[0].mi.dx = 1;
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, input, sizeof input[0]);
    pumpFor(std::chrono::milliseconds(100));
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    for (int click = 0; click < times; ++click) {
        SendInput(2, input + 1, sizeof input[0]);
        pumpFor(std::chrono::milliseconds(50));
    }
}

std::string windowText(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return toUtf8(text);
}

// What the windows of Find now's mark shown now cover together, as "left top right bottom"; `within` leaves out the
// bars as long as the scope's sides.
std::string markExtent(int within = 1 << 20) {
    RECT extent{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
    for (HWND bar = nullptr; (bar = FindWindowExW(nullptr, bar, L"TapporaFindMark", nullptr)) != nullptr;) {
        RECT rect{};
        if (IsWindowVisible(bar) && GetWindowRect(bar, &rect) && rect.right - rect.left < within &&
            rect.bottom - rect.top < within)
            extent = {std::min(extent.left, rect.left), std::min(extent.top, rect.top),
                      std::max(extent.right, rect.right), std::max(extent.bottom, rect.bottom)};
    }
    if (extent.left > extent.right)
        return "none";
    return std::to_string(extent.left) + " " + std::to_string(extent.top) + " " + std::to_string(extent.right) + " " +
           std::to_string(extent.bottom);
}

// The screen's pixels in the rectangle, copied as a program copies them.
void copyScreen(int left, int top, int width, int height, TPixelBuffer& pixels) {
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
    pixels.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = GetPixel(memory, x, y);
            pixels.SetPixel(x, y, std::uint32_t(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour));
        }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { start(L"Tappora e2e"); }

    void start(const std::wstring& folderName, const std::vector<std::wstring>& arguments = {}) {
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
        auto endless = clickStartedBy(4, ptFixed, "Endless"); // Ctrl+F5, until stopped
        endless->stopType = spCommand;
        endless->fPosX = kLeft + 50;
        endless->fPosY = kTop + 60;
        // Its picture differs from the screen by 40 in one pixel's blue: not found at similarity 100.
        auto nearly = clickStartedBy(9, ptPicture, "Nearly"); // Ctrl+F10
        nearlyBmp = patternBmp(100, 120, 12, 10);
        nearlyBmp[54] = static_cast<std::uint8_t>(nearlyBmp[54] < 128 ? nearlyBmp[54] + 40 : nearlyBmp[54] - 40);
        nearly->fBMP = StreamToBase64(nearlyBmp);
        listText = ClickListText({fixed.get(), colour.get(), picture.get(), endless.get(), nearly.get()});
        std::ofstream(folder / "tapporas.xml", std::ios::binary) << listText;

        target = std::make_unique<TargetWindow>(kLeft, kTop, kSize, kSize);
        program = std::make_unique<ChildProcess>(folder / "tappora.exe", arguments);
        if (arguments.empty())
            ASSERT_TRUE(pumpUntil([&] { return program->window(L"Tappora") != 0; }))
                << "the main window did not come up";
        else
            ASSERT_TRUE(pumpUntil([&] { return command({L"list"}).exitCode == 0; })) << "the program did not answer";
    }

    CommandResult command(const std::vector<std::wstring>& arguments) const {
        return runCommand(folder / "tappora.exe", arguments);
    }

    // Opens the editor of a row by a double click on it; a first press may only bring the window forward.
    HWND openEditor(int row) {
        const HWND main = reinterpret_cast<HWND>(program->window(L"Tappora"));
        const POINT at = rowCentre(FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr), row);
        clickAt(at);
        pumpFor(std::chrono::milliseconds(GetDoubleClickTime() + 100));
        clickAt(at, 2);
        pumpUntil([&] { return program->window(L"Edit Mouse Action") != 0; });
        return reinterpret_cast<HWND>(program->window(L"Edit Mouse Action"));
    }

    // Clicks Find now in the editor (in its panel, the result line next to it) and waits for the result line.
    static std::string findNow(HWND editor) {
        HWND button = nullptr;
        for (HWND panel = nullptr; !button && (panel = FindWindowExW(editor, panel, nullptr, nullptr)) != nullptr;)
            button = FindWindowExW(panel, nullptr, L"Button", L"Find now");
        RECT rect{};
        GetWindowRect(button, &rect);
        clickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
        const HWND line = GetWindow(button, GW_HWNDNEXT);
        pumpUntil([&] { return !windowText(line).empty(); });
        return windowText(line);
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
    std::vector<std::uint8_t> nearlyBmp;
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

// Held presses are released about the set time later by the target's message clock, spread clicks land around their
// target, and stopping all and the pointer held in a corner both stop every click. The list is saved as it was read.
TEST_F(ProgramTest, HeldAndSpreadClicksAndTheKeyAndTheCornerThatStopThemAll) {
    closeProgram();
    // Both aim at one place: under Wine the pointer's move to one place can be overtaken by the X server's late
    // report of the move before it, so when a late tick runs both clicks, one may press where the other moved to.
    auto held = clickStartedBy(1, ptFixed, "Held");
    held->iClickInterval = 725;
    held->fHoldTime = 120;
    auto spread = clickStartedBy(1, ptFixed, "Spread");
    spread->mouseType = mtRight;
    spread->fJitter = 10;
    for (TMouseObj* click : {held.get(), spread.get()})
        click->fPosX = click->fPosY = 128;
    for (TMouseObj* click : {held.get(), spread.get()}) {
        click->stopType = spCommand;
        click->fPosX += kLeft;
        click->fPosY += kTop;
    }
    listText = ClickListText({held.get(), spread.get()});
    std::ofstream(folder / "tapporas.xml", std::ios::binary) << listText;
    std::string settings = readFile(folder / "TapporaConfig.xml");
    std::ofstream(folder / "TapporaConfig.xml", std::ios::binary)
        << settings.insert(settings.find("autorun="), "cornerStop=\"True\" ");
    target = std::make_unique<TargetWindow>(kLeft, kTop, kSize, kSize, true);
    program = std::make_unique<ChildProcess>(folder / "tappora.exe", std::vector<std::wstring>{});
    ASSERT_TRUE(pumpUntil([&] { return program->window(L"Tappora") != 0; }));
    const auto stopsClicking = [&] {
        pumpFor(std::chrono::milliseconds(500));
        target->clear();
        pumpFor(std::chrono::milliseconds(1000));
        return target->waitForLines(0).empty();
    };

    press(L"ctrl+f2");
    long pressedAt = 0;
    std::size_t heldClicks = 0;
    std::set<std::pair<int, int>> places;
    for (const std::string& line : target->waitForLines(150)) {
        std::string message;
        int x = 0, y = 0;
        long time = 0;
        std::istringstream(line) >> message >> x >> y >> time;
        if (message == "WM_LBUTTONDOWN" || message == "WM_LBUTTONDBLCLK")
            pressedAt = time;
        if (message == "WM_LBUTTONUP" && pressedAt != 0) {
            ++heldClicks;
            std::printf("held for %ld ms\n", time - pressedAt);
            // Message times are taken when the system gets to an input, which on a busy machine may be after it was
            // sent: the hold's exact length is the fake platform's to prove, this that the presses are held.
            EXPECT_GE(time - pressedAt, 110);
        }
        if (message == "WM_RBUTTONDOWN" || message == "WM_RBUTTONDBLCLK") {
            EXPECT_LE(std::hypot(x - 128, y - 128), 10.0) << line;
            places.insert({x, y});
        }
    }
    EXPECT_GE(heldClicks, 3u);
    EXPECT_GE(places.size(), 5u) << "spread, not on one pixel";

    // The stop-all key itself: Win32HotKeysTest. Under Wine a Shift chord sent while clicks land on a Wine window does
    // not arrive as a hotkey; the command takes the key's path.
    EXPECT_EQ(command({L"stop", L"--all"}).exitCode, 0);
    EXPECT_TRUE(stopsClicking()) << "stop --all stops every click";
    press(L"ctrl+f2");
    target->waitForLines(4);
    for (int pushed = 0; pushed < 50; ++pushed) {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, 0);
        pumpFor(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(stopsClicking()) << "the top-right corner stops every click";
    closeProgram();
    EXPECT_EQ(readFile(folder / "tapporas.xml"), listText);
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

TEST_F(ProgramTest, StartAndStopByCommandClickAndListTells) {
    const CommandResult started = command({L"start", L"Endless"});
    EXPECT_EQ(started.exitCode, 0);
    EXPECT_THAT(started.output, ::testing::HasSubstr("Started #4 \"Endless\"."));
    EXPECT_THAT(downs(target->waitForLines(4)), ::testing::Contains("50 60"));
    EXPECT_GT(jsonClicks(command({L"list", L"--json"}).output, "Endless", "running"), 0);

    EXPECT_EQ(command({L"stop", L"#4"}).exitCode, 0);
    target->clear();
    pumpFor(std::chrono::milliseconds(1500));
    EXPECT_THAT(target->waitForLines(0), ::testing::IsEmpty());
    EXPECT_GT(jsonClicks(command({L"list", L"--json"}).output, "Endless", "stopped"), 0);
    closeProgram();
}

// `find` searches as a tick would, without clicking; exit 0 when found and 4 when not, with the nearest miss that
// trying every placement on the target's pattern gives.
TEST_F(ProgramTest, FindSaysWhereTheClicksTargetIsOrHowNearItCame) {
    TPixelBuffer shown;
    shown.SetSize(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            shown.SetPixel(x, y, targetPatternColour(x, y));
    TPixelBuffer nearly;
    ASSERT_TRUE(DecodeBmp24(nearlyBmp, nearly));
    const TNearestPlacement best = ReferenceSearch::NearestPlacement(shown, nearly).value();
    const auto point = [](int x, int y) {
        return "(" + std::to_string(kLeft + x) + ", " + std::to_string(kTop + y) + ")";
    };
    const struct {
        std::wstring click;
        int exitCode;
        std::string says;
    } cases[] = {
        {L"Colour", 0, "#2 \"Colour\": Found at " + point(70, 90)},
        {L"#3", 0, "#3 \"Picture\": Found at " + point(106, 125)},
        {L"Nearly", 4,
         "Best place: " + point(best.x, best.y) + " at " + std::to_string(SimilarityReached(best.worst)) +
             "% similarity, 100% asked."},
        {L"Endless", 4, "Could not search: the click looks for no colour or picture."},
    };
    for (const auto& each : cases) {
        const CommandResult result = command({L"find", each.click});
        EXPECT_EQ(result.exitCode, each.exitCode) << result.output;
        EXPECT_THAT(result.output, ::testing::HasSubstr(each.says));
    }
    EXPECT_THAT(target->waitForLines(0), ::testing::IsEmpty()) << "find clicks nothing";

    // Running, the click keeps its last search, which the list shows.
    EXPECT_EQ(command({L"start", L"Nearly"}).exitCode, 0);
    EXPECT_TRUE(pumpUntil([&] {
        return command({L"list", L"--json"}).output.find("\"lastSearch\": \"not found") != std::string::npos;
    }));
    closeProgram();
}

// Find now in the editor, clicked as a user clicks: the target's colour and picture are found where they are and
// marked on the screen by windows that leave the editor the focus and go again; with the target gone, each is not
// found, with the nearest miss that trying every pixel and placement of the screen as it is gives. Running, a
// click's row shows its last search.
TEST_F(ProgramTest, FindNowInTheEditorMarksWhatItFindsAndOnceItIsGoneTellsHowNearItCame) {
    const auto point = [](int x, int y) {
        return "(" + std::to_string(kLeft + x) + ", " + std::to_string(kTop + y) + ")";
    };
    const auto area = [](int left, int top, int right, int bottom) {
        return std::to_string(kLeft + left) + " " + std::to_string(kTop + top) + " " + std::to_string(kLeft + right) +
               " " + std::to_string(kTop + bottom);
    };
    // A cross on the pixel, a frame around the picture; each with the scope's outline just outside the scope.
    const std::string marks[] = {area(70 - 15, 90 - 15, 70 + 16, 90 + 16), area(98, 118, 114, 132)};
    const std::string found[] = {"Found at " + point(70, 90), "Found at " + point(106, 125)};
    for (int row : {1, 2}) {
        const HWND editor = openEditor(row);
        EXPECT_THAT(findNow(editor), ::testing::StartsWith(found[row - 1]));
        EXPECT_TRUE(pumpUntil([&] {
            return markExtent(kSize) == marks[row - 1] && markExtent() == area(-1, -1, kSize + 1, kSize + 1);
        })) << markExtent(kSize)
            << " / " << markExtent();
        EXPECT_EQ(GetForegroundWindow(), editor) << "the mark took the focus";
        EXPECT_TRUE(pumpUntil([] { return markExtent() == "none"; })) << "the mark stays";
        PostMessageW(editor, WM_CLOSE, 0, 0);
        ASSERT_TRUE(pumpUntil([&] { return !IsWindow(editor); }));
    }
    EXPECT_THAT(target->waitForLines(0), ::testing::IsEmpty()) << "Find now clicks nothing";

    target.reset();
    pumpFor(std::chrono::milliseconds(500));
    TPixelBuffer shown, picture;
    copyScreen(kLeft, kTop, kSize, kSize, shown);
    ASSERT_TRUE(DecodeBmp24(patternBmp(100, 120, 12, 10), picture));
    const TNearestPixel pixel = ReferenceSearch::NearestPixel(shown, targetPatternColour(70, 90)).value();
    const TNearestPlacement place = ReferenceSearch::NearestPlacement(shown, picture).value();
    const std::string missed[] = {
        "Nearest: " + point(pixel.x, pixel.y) + ", colour " + ColorToString(static_cast<TColor>(SwapRB(pixel.color))) +
            ", beyond the tolerance by red " + std::to_string(pixel.distance.r) + ", green " +
            std::to_string(pixel.distance.g) + ", blue " + std::to_string(pixel.distance.b) + ".",
        "Best place: " + point(place.x, place.y) + " at " + std::to_string(SimilarityReached(place.worst)) +
            "% similarity, 100% asked.",
    };
    for (int row : {1, 2}) {
        const HWND editor = openEditor(row);
        const std::string line = findNow(editor);
        EXPECT_THAT(line, ::testing::StartsWith("Not found in "));
        EXPECT_THAT(line, ::testing::HasSubstr(missed[row - 1]));
        EXPECT_EQ(markExtent(), "none");
        PostMessageW(editor, WM_CLOSE, 0, 0);
        ASSERT_TRUE(pumpUntil([&] { return !IsWindow(editor); }));
    }

    EXPECT_EQ(command({L"start", L"Colour"}).exitCode, 0);
    const HWND list =
        FindWindowExW(reinterpret_cast<HWND>(program->window(L"Tappora")), nullptr, WC_LISTVIEWW, nullptr);
    EXPECT_TRUE(pumpUntil([&] { return rowText(list, 1).find("; not found") != std::string::npos; }))
        << rowText(list, 1);
    closeProgram();
}

TEST_F(ProgramTest, CommandsExitWithTheirCodes) {
    const fs::path elsewhere = folder / "elsewhere";
    fs::create_directories(elsewhere);
    fs::copy_file(folder / "tappora.exe", elsewhere / "tappora.exe");
    const std::string elsewhereText = elsewhere.string();
    const struct {
        fs::path program;
        std::vector<std::wstring> arguments;
        int exitCode;
        std::string says;
    } cases[] = {
        {folder / "tappora.exe", {L"stop", L"--all"}, 0, "click"},
        {folder / "tappora.exe", {L"start", L"Nobody"}, 1, "\"Nobody\""},
        {folder / "tappora.exe", {L"frobnicate"}, 2, "\"frobnicate\" is not a command"},
        {folder / "tappora.exe", {L"start"}, 2, "needs the name"},
        {elsewhere / "tappora.exe", {L"list"}, 3, elsewhereText},
    };
    for (const auto& each : cases) {
        const CommandResult result = runCommand(each.program, each.arguments);
        EXPECT_EQ(result.exitCode, each.exitCode) << result.output;
        EXPECT_THAT(result.output, ::testing::HasSubstr(each.says));
    }
    closeProgram();
}

// Only this user is let in: the pipe's owner and only ACE (another user's refusal cannot be shown under Wine, which
// has one user). A client that sends garbage, and one that sends nothing and hangs on, hold no command up for long.
TEST_F(ProgramTest, ThePipeAdmitsOnlyTheUserAndBadClientsHoldNothingUp) {
    const std::wstring name = commandPipeName(folder);
    const HANDLE garbage = openPipe(name, GENERIC_READ | GENERIC_WRITE);
    ASSERT_NE(garbage, INVALID_HANDLE_VALUE);
    DWORD bytes = 0;
    WriteFile(garbage, "GET / HTTP/1.0\r\n\r\n", 18, &bytes, nullptr);
    char answer[256] = {};
    ReadFile(garbage, answer, sizeof answer - 1, &bytes, nullptr);
    EXPECT_THAT(answer, ::testing::StartsWith("TAPPORA/1 2 "));
    CloseHandle(garbage);

    const HANDLE silent = openPipe(name, GENERIC_READ | GENERIC_WRITE);
    ASSERT_NE(silent, INVALID_HANDLE_VALUE);
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetSecurityInfo(silent, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &dacl, nullptr, &descriptor),
              ERROR_SUCCESS);
    std::vector<BYTE> user = currentUser();
    const PSID userSid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    EXPECT_TRUE(EqualSid(owner, userSid));
    ASSERT_NE(dacl, nullptr);
    ASSERT_EQ(dacl->AceCount, 1);
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, 0, &ace));
    EXPECT_EQ(static_cast<ACE_HEADER*>(ace)->AceType, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_TRUE(EqualSid(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart, userSid));
    LocalFree(descriptor);

    EXPECT_EQ(command({L"list"}).exitCode, 0);
    CloseHandle(silent);
    closeProgram();
}

// Started for the notification area, the window comes out on `show`; `quit` closes as Exit does, saving.
class ProgramStartedHiddenTest : public ProgramTest {
protected:
    void SetUp() override { start(L"Tappora e2e hidden", {L"--hidden"}); }
};

TEST_F(ProgramStartedHiddenTest, ShowBringsTheWindowOutAndQuitSaves) {
    EXPECT_EQ(program->window(L"Tappora"), 0u);
    EXPECT_EQ(command({L"show"}).exitCode, 0);
    EXPECT_TRUE(pumpUntil([&] { return program->window(L"Tappora") != 0; }));
    EXPECT_EQ(command({L"quit"}).exitCode, 0);
    EXPECT_EQ(program->waitForExit(), 0);
    expectFilesSaved();
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
