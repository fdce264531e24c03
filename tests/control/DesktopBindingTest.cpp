#include "control/DesktopBinding.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {
using C = TCompositor;
const std::string kQuoting = "Bob's $HOME #1 \"a\\b\" <&>";
} // namespace

// Each format's own quoting on top of the shell's: a name with every character some configuration treats specially.
// The sway lines were tried on sway 1.7: bound, typed with wtype, the program got the name unchanged.
TEST(DesktopBindingTest, EachCompositorGetsItsOwnLinesForTheKeys) {
    struct Case {
        C compositor;
        std::string program, name;
        int start, stop;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases{
        {C::Sway, "tappora", "Farm gold", 0, 0, {"bindsym Ctrl+F1 exec tappora toggle 'Farm gold'"}},
        {C::Hyprland, "tappora", "Farm gold", 0, 0, {"bind = CTRL, F1, exec, tappora toggle 'Farm gold'"}},
        {C::River,
         "tappora",
         "Farm gold",
         0,
         0,
         {"riverctl map normal Control F1 spawn \"tappora toggle 'Farm gold'\""}},
        {C::Labwc,
         "tappora",
         "Farm gold",
         0,
         0,
         {"<keybind key=\"C-F1\"><action name=\"Execute\" command=\"tappora toggle 'Farm gold'\"/></keybind>"}},
        {C::Wayfire,
         "tappora",
         "Farm gold",
         11,
         11,
         {"binding_tappora_12 = <ctrl> KEY_F12", "command_tappora_12 = tappora toggle 'Farm gold'"}},
        {C::Sway,
         "tappora",
         "Farm gold",
         1,
         2,
         {"bindsym Ctrl+F2 exec tappora start 'Farm gold'", "bindsym Ctrl+F3 exec tappora stop 'Farm gold'"}},
        {C::Wayfire,
         "tappora",
         "x",
         4,
         -1,
         {"binding_tappora_5 = <ctrl> KEY_F5", "command_tappora_5 = tappora start 'x'"}},
        {C::Gnome, "tappora", "x", 4, 5, {"Ctrl+F5: tappora start 'x'", "Ctrl+F6: tappora stop 'x'"}},
        {C::Sway, "tappora", "x", -1, -1, {}},
        {C::Sway,
         "'/opt/my apps/tappora'",
         "Café ✓",
         2,
         2,
         {"bindsym Ctrl+F3 exec '/opt/my apps/tappora' toggle 'Café ✓'"}},
        {C::Sway, "tappora", "-x", 0, 0, {"bindsym Ctrl+F1 exec tappora toggle -- '-x'"}},
        {C::Sway,
         "tappora",
         kQuoting,
         0,
         0,
         {R"x(bindsym Ctrl+F1 exec tappora toggle 'Bob'"'"'s $$$$HOME #1 "a\\b" <&>')x"}},
        {C::Hyprland,
         "tappora",
         kQuoting,
         0,
         0,
         {R"x(bind = CTRL, F1, exec, tappora toggle 'Bob'"'"'s $HOME ##1 "a\b" <&>')x"}},
        {C::River,
         "tappora",
         kQuoting,
         0,
         0,
         {R"x(riverctl map normal Control F1 spawn "tappora toggle 'Bob'\"'\"'s \$HOME #1 \"a\\b\" <&>'")x"}},
        {C::Labwc,
         "tappora",
         kQuoting,
         0,
         0,
         {R"x(<keybind key="C-F1"><action name="Execute" command="tappora toggle 'Bob'&quot;'&quot;'s $HOME #1 &quot;a\b&quot; &lt;&amp;&gt;'"/></keybind>)x"}},
        {C::Wayfire,
         "tappora",
         kQuoting,
         0,
         0,
         {"binding_tappora_1 = <ctrl> KEY_F1",
          R"x(command_tappora_1 = tappora toggle 'Bob'"'"'s $HOME \#1 "a\b" <&>')x"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DesktopBinding(c.compositor, c.program, c.name, c.start, c.stop).lines, c.lines)
            << int(c.compositor) << " " << c.name << " " << c.start << "/" << c.stop;
    EXPECT_NE(DesktopBinding(C::Labwc, "tappora", "x", 0, 0).where.find("rc.xml"), std::string::npos);
}

TEST(DesktopBindingTest, TheCompositorIsTheDesktopNamedElseTheSocketFound) {
    struct Case {
        std::map<std::string, std::string> environment;
        C compositor;
    };
    const std::vector<Case> cases{
        {{}, C::Sway},
        {{{"SWAYSOCK", "/run/user/1000/sway-ipc.sock"}}, C::Sway},
        {{{"HYPRLAND_INSTANCE_SIGNATURE", "abc"}}, C::Hyprland},
        {{{"HYPRLAND_INSTANCE_SIGNATURE", "abc"}, {"SWAYSOCK", "/s"}}, C::Sway},
        {{{"XDG_CURRENT_DESKTOP", "river"}, {"SWAYSOCK", "/s"}}, C::River},
        {{{"XDG_CURRENT_DESKTOP", "labwc:wlroots"}}, C::Labwc},
        {{{"XDG_CURRENT_DESKTOP", "Wayfire"}}, C::Wayfire},
        {{{"XDG_CURRENT_DESKTOP", "Hyprland"}}, C::Hyprland},
        {{{"XDG_CURRENT_DESKTOP", "riverside"}}, C::Sway},
        {{{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}, C::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "KDE"}}, C::Kde},
    };
    for (const Case& c : cases) {
        const auto variable = [&](const char* name) -> const char* {
            const auto found = c.environment.find(name);
            return found == c.environment.end() ? nullptr : found->second.c_str();
        };
        EXPECT_EQ(CompositorFromEnvironment(variable), c.compositor) << c.environment.size();
    }
}

TEST(DesktopBindingTest, TheInstalledProgramIsRunByNameAnyOtherByItsPathQuotedWhereNeeded) {
    EXPECT_EQ(ProgramToRun("/usr/bin/tappora"), "tappora");
    EXPECT_EQ(ProgramToRun("/home/me/build/bin/tappora"), "/home/me/build/bin/tappora");
    EXPECT_EQ(ProgramToRun("/home/me/my apps/tappora"), "'/home/me/my apps/tappora'");
    EXPECT_EQ(ShellQuoted("it's"), R"('it'"'"'s')");
}

// The key that stops every click carries more modifiers than Ctrl, each written as its format names it.
TEST(DesktopBindingTest, TheStopAllKeyIsBoundWithItsModifiersToStopEveryClick) {
    const THotKey key{HotKeyModifier::Control | HotKeyModifier::Alt | HotKeyModifier::Shift, 11};
    const std::vector<std::pair<C, std::vector<std::string>>> cases{
        {C::Sway, {"bindsym Ctrl+Alt+Shift+F11 exec tappora stop --all"}},
        {C::Hyprland, {"bind = CTRL ALT SHIFT, F11, exec, tappora stop --all"}},
        {C::River, {"riverctl map normal Control+Alt+Shift F11 spawn \"tappora stop --all\""}},
        {C::Labwc, {"<keybind key=\"C-A-S-F11\"><action name=\"Execute\" command=\"tappora stop --all\"/></keybind>"}},
        {C::Wayfire,
         {"binding_tappora_stop_all = <ctrl> <alt> <shift> KEY_F11", "command_tappora_stop_all = tappora stop --all"}},
        {C::Kde, {"Ctrl+Alt+Shift+F11: tappora stop --all"}},
    };
    for (const auto& [compositor, lines] : cases)
        EXPECT_EQ(StopAllBinding(compositor, "tappora", key).lines, lines) << int(compositor);
    EXPECT_EQ(StopAllBinding(C::Sway, "tappora", std::nullopt).lines, std::vector<std::string>{});
    EXPECT_EQ(StopAllBinding(C::Gnome, "tappora", key).where.substr(0, 51),
              "To stop all clicks with the key, in Settings, Keybo");
}
