#include "platform/win32/Utf16.h"
#include "platform/win32/ProgramFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

namespace {
TEST(Utf16Test, TextRoundTripsThroughUtf16) {
    for (const char* text : {"", "Tappora", "Grüße, 東京 🖱", "a\nb"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(toUtf8(toUtf16(text)), text);
    }
    EXPECT_EQ(toUtf16("\xC3\xA9"), L"\u00E9");
}

TEST(Utf16Test, InvalidBytesBecomeReplacementCharactersInsteadOfLosingTheText) {
    EXPECT_EQ(toUtf16("a\xFF"
                      "b"),
              L"a\uFFFDb");
}

// Also run by the next test from a copy of this executable in a folder of another name.
TEST(ProgramFolderTest, IsTheFolderOfTheRunningExecutableAndFilesCanBeMadeThere) {
    wchar_t name[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, name, MAX_PATH * 2);
    EXPECT_EQ(programFolder(), std::filesystem::path(name).parent_path());
    const std::filesystem::path probe = programFolder() / "tappora-folder-probe.txt";
    std::ofstream(probe) << "here";
    EXPECT_TRUE(std::filesystem::exists(probe));
    std::filesystem::remove(probe);
}

TEST(ProgramFolderTest, FoldersWithNamesOutsideTheAnsiCodePageAreFound) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::filesystem::path folder =
        std::filesystem::path(temp) / L"Tappora \u00dcn\u00efc\u00f8d\u00e9 \u6771\u4eac";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    wchar_t self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    const std::filesystem::path copy = folder / L"win32_tests.exe";
    std::filesystem::copy_file(self, copy);

    std::wstring commandLine =
        L"\"" + copy.wstring() +
        L"\" --gtest_filter=ProgramFolderTest.IsTheFolderOfTheRunningExecutableAndFilesCanBeMadeThere";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &startup, &info));
    WaitForSingleObject(info.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    EXPECT_EQ(code, 0u);
    std::filesystem::remove_all(folder);
}
} // namespace
