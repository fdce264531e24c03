#include "app/linux/CommandLine.h"
#include "app/linux/FilesFolder.h"

#include <gtest/gtest.h>

#include <regex>

namespace {
struct LineCase {
    std::vector<std::string> arguments;
    CommandLine::Action action;
    const char* messageHolds; // for Refuse
};

const LineCase kLineCases[] = {
    {{}, CommandLine::Run, ""},
    {{"--help"}, CommandLine::ShowHelp, ""},
    {{"-h"}, CommandLine::ShowHelp, ""},
    {{"--version"}, CommandLine::ShowVersion, ""},
    {{"--version", "--help"}, CommandLine::ShowHelp, ""},
    {{"--help", "--bogus"}, CommandLine::ShowHelp, ""},
    {{"--bogus"}, CommandLine::Refuse, "unknown option \"--bogus\""},
    {{"--version", "-x"}, CommandLine::Refuse, "unknown option \"-x\""},
    {{"--"}, CommandLine::Refuse, "unknown option \"--\""},
    {{"-help"}, CommandLine::Refuse, "unknown option \"-help\""},
    {{"tapporas.xml"}, CommandLine::Refuse, "\"tapporas.xml\" is not a command"},
    {{"--hidden", "tapporas.xml"}, CommandLine::Refuse, "unexpected argument \"tapporas.xml\""},
    {{"--hidden"}, CommandLine::Run, ""},
    {{"list", "--json"}, CommandLine::Command, ""},
    {{"stop"}, CommandLine::Refuse, "\"stop\" needs the name of at least one click"},
    // A session manager restarts the program with -session; the user may pick a Qt style.
    {{"-session", "1a2b"}, CommandLine::Run, ""},
    {{"--session=1a2b"}, CommandLine::Run, ""},
    {{"-style", "fusion", "-reverse"}, CommandLine::Run, ""},
    {{"-stylesheet=my.qss", "--version"}, CommandLine::ShowVersion, ""},
    {{"-session"}, CommandLine::Refuse, "the option \"-session\" needs a value"},
    {{"-reverse=yes"}, CommandLine::Refuse, "unknown option \"-reverse=yes\""},
    {{"-sessions", "x"}, CommandLine::Refuse, "unknown option \"-sessions\""},
    {{"-display", ":1"}, CommandLine::Refuse, "unknown option \"-display\""},
    {{"--backend", "wlroots"}, CommandLine::Run, ""},
    {{"check", "--backend=x11"}, CommandLine::Check, ""},
    {{"--backend", "wayland"}, CommandLine::Refuse, "--backend takes x11, wlroots or portal, not \"wayland\""},
    {{"check", "--backend"}, CommandLine::Refuse, "the option \"--backend\" needs a value"},
    {{"check", "now"}, CommandLine::Refuse, "unexpected argument \"now\""},
};

class ParseCommandLine : public testing::TestWithParam<LineCase> {};

TEST_P(ParseCommandLine, AnswersEachLine) {
    const LineCase& c = GetParam();
    const CommandLine line = parseCommandLine(c.arguments);
    EXPECT_EQ(line.action, c.action);
    if (c.action != CommandLine::Refuse)
        return;
    EXPECT_NE(line.message.find(c.messageHolds), std::string::npos) << line.message;
    // One sentence on one line, that says where to look.
    EXPECT_TRUE(line.message.starts_with("tappora: ")) << line.message;
    EXPECT_EQ(line.message.back(), '.') << line.message;
    EXPECT_EQ(line.message.find('\n'), std::string::npos) << line.message;
    EXPECT_NE(line.message.find("tappora --help"), std::string::npos) << line.message;
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseCommandLine, testing::ValuesIn(kLineCases));

TEST(HelpText, SaysWhichFolderThisCopyUsesAndWhy) {
    const FilesFolder files{FilesFolder::PerUser, "/home/ann/.config/tappora",
                            "This copy keeps its files in your folder /home/ann/.config/tappora, because ..."};
    const std::string help = helpText(files);
    EXPECT_NE(help.find(files.reason + "\n"), std::string::npos) << help;
    EXPECT_NE(help.find("--version"), std::string::npos);
    EXPECT_NE(help.find("XWayland"), std::string::npos);
}

TEST(VersionText, IsTheProgramNameAndItsThreePartVersion) {
    EXPECT_TRUE(std::regex_match(versionText(), std::regex("tappora [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << versionText();
}
} // namespace
