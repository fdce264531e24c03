// Sends keys as another program of the desktop does, through SendInput:
//
//     tappora_win32_driver KEYS [REPEATS]
//
// KEYS is a combination such as "ctrl+f2" or "ctrl+shift+f2": the modifiers go down, the key goes down REPEATS times
// (1 when not given; more is a held key as the keyboard's auto-repeat sends it), then everything goes up in reverse.
// Exits with 0 when every event was accepted, 1 when some were refused, 2 on bad arguments.

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {
WORD virtualKey(const std::wstring& name) {
    if (name == L"ctrl")
        return VK_CONTROL;
    if (name == L"shift")
        return VK_SHIFT;
    if (name == L"alt")
        return VK_MENU;
    if (name.size() >= 2 && name[0] == L'f') {
        const int number = _wtoi(name.c_str() + 1);
        if (number >= 1 && number <= 24)
            return static_cast<WORD>(VK_F1 + number - 1);
    }
    return 0;
}

INPUT keyInput(WORD vk, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    return input;
}

bool send(const INPUT& input) {
    INPUT copy = input;
    const bool accepted = SendInput(1, &copy, sizeof copy) == 1;
    // Give the receiving thread time to see each event as a person's keyboard would.
    Sleep(30);
    return accepted;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argc > 3)
        return 2;
    std::wstring combination = argv[1];
    for (wchar_t& c : combination)
        c = static_cast<wchar_t>(std::towlower(c));
    std::vector<WORD> keys;
    for (std::size_t start = 0; start <= combination.size();) {
        const std::size_t plus = std::min(combination.find(L'+', start), combination.size());
        const WORD vk = virtualKey(combination.substr(start, plus - start));
        if (vk == 0)
            return 2;
        keys.push_back(vk);
        start = plus + 1;
    }
    const int repeats = argc == 3 ? _wtoi(argv[2]) : 1;
    if (repeats < 1)
        return 2;

    bool accepted = true;
    for (std::size_t i = 0; i + 1 < keys.size(); ++i)
        accepted = send(keyInput(keys[i], true)) && accepted;
    for (int i = 0; i < repeats; ++i)
        accepted = send(keyInput(keys.back(), true)) && accepted;
    for (std::size_t i = keys.size(); i-- > 0;)
        accepted = send(keyInput(keys[i], false)) && accepted;
    return accepted ? 0 : 1;
}
