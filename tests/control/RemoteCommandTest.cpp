#include "control/CommandExecution.h"
#include "control/CommandRequest.h"
#include "control/ControlFixture.h"
#include "control/OutputText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::StartsWith;
using Args = std::vector<std::string>;
using TState = TRequestReader::TState;

namespace {

TEST(CommandRequestTest, ArgumentsGiveTheRequestOrBadUsage) {
    struct Case {
        Args args;
        std::optional<TCommandRequest> request;
    };
    using V = TCommandVerb;
    const std::vector<Case> cases = {
        {{"start", "A", "#2", "A b"}, TCommandRequest{V::Start, {"A", "#2", "A b"}}},
        {{"stop", "A"}, TCommandRequest{V::Stop, {"A"}}},
        {{"toggle", "#1"}, TCommandRequest{V::Toggle, {"#1"}}},
        {{"stop", "--all"}, TCommandRequest{V::StopAll, {}}},
        {{"stop", "--", "--all", "-x"}, TCommandRequest{V::Stop, {"--all", "-x"}}},
        {{"start", "-"}, TCommandRequest{V::Start, {"-"}}},
        {{"list"}, TCommandRequest{V::List, {}}},
        {{"list", "--json"}, TCommandRequest{V::ListJson, {}}},
        {{"show"}, TCommandRequest{V::Show, {}}},
        {{"quit"}, TCommandRequest{V::Quit, {}}},
        {{"find", "A b"}, TCommandRequest{V::Find, {"A b"}}},
        {{"find", "#2", "--json"}, TCommandRequest{V::FindJson, {"#2"}}},
        {{"find"}, std::nullopt},
        {{"find", "A", "B"}, std::nullopt},
        {{"find", "--xml", "A"}, std::nullopt},
        {{}, std::nullopt},
        {{"frob"}, std::nullopt},
        {{"START", "A"}, std::nullopt},
        {{"start"}, std::nullopt},
        {{"stop", "--"}, std::nullopt},
        {{"stop", "--all", "A"}, std::nullopt},
        {{"start", "--all"}, std::nullopt},
        {{"start", "#0"}, std::nullopt},
        {{"list", "--xml"}, std::nullopt},
        {{"show", "now"}, std::nullopt},
        {{"\x1b[2J"}, std::nullopt},
    };
    for (const Case& c : cases) {
        const TParsedArguments parsed = ParseArguments(c.args);
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(parsed.request, c.request);
        if (!c.request) {
            EXPECT_EQ(parsed.badUsage.exitCode, TExitCode::kBadUsage);
            ASSERT_EQ(parsed.badUsage.lines.size(), 1u);
            EXPECT_EQ(parsed.badUsage.lines[0].back(), '.');
            EXPECT_EQ(parsed.badUsage.lines[0].find('\x1b'), std::string::npos);
        }
    }
}

TEST(CommandRequestTest, EveryRequestComesThroughTheReaderAsSentEvenByteByByte) {
    const std::vector<TCommandRequest> requests = {
        {TCommandVerb::Start, {"A", "#3", "--all", "tab\there", "line\nend", "back\\slash", "\xC3\xA9t\xC3\xA9", ""}},
        {TCommandVerb::StopAll, {}},
        {TCommandVerb::ListJson, {}},
        {TCommandVerb::Quit, {}},
        {TCommandVerb::FindJson, {"--json"}},
    };
    for (const TCommandRequest& request : requests) {
        const std::string line = EncodeRequest(request);
        EXPECT_EQ(line.find('\n'), line.size() - 1);
        TRequestReader reader;
        for (std::size_t i = 0; i + 1 < line.size(); ++i) {
            ASSERT_EQ(reader.Feed(line.substr(i, 1)), TState::NeedMore);
        }
        ASSERT_EQ(reader.Feed("\nbytes after the request"), TState::Complete);
        EXPECT_EQ(reader.Request(), request);
    }
}

TEST(CommandRequestTest, HostileInputIsRefusedWithAnAnswer) {
    const std::string magic = "TAPPORA/1\t";
    const std::string longest = magic + "start\t" + std::string(TRequestReader::kMaxRequestBytes - 16, 'x');
    struct Case {
        std::string bytes;
        bool endOfInput;
        TState state;
    };
    const std::vector<Case> cases = {
        {"", true, TState::Refused},
        {"TAPP", true, TState::Refused},
        {"GET / HTTP/1.1\r\n", false, TState::Refused},
        {"\n", false, TState::Refused},
        {magic + "start\tA", false, TState::NeedMore},
        {magic + "start\tA\\x4", false, TState::NeedMore},
        {magic + "start\tA\\x4\n", false, TState::Refused},
        {magic + "start\tA\\q41\n", false, TState::Refused},
        {magic + "start\t\xFF\n", false, TState::Refused},
        {magic + "start\t\\xFF\n", false, TState::Refused},
        {magic + "start\t\xC0\xAF\n", false, TState::Refused},
        {magic + "start\t\xED\xA0\x80\n", false, TState::Refused},
        {magic + "start\tA\rB\n", false, TState::Refused},
        {magic + "start" + std::string(1, '\0') + "A\n", false, TState::Refused},
        {magic + "start\n", false, TState::Refused},
        {"TAPPORA/1start\tA\n", false, TState::Refused},
        {longest + "\n", false, TState::Complete},
        {longest + "x\n", false, TState::Refused},
        {std::string(1 << 20, 'T'), false, TState::Refused},
    };
    ASSERT_EQ(longest.size(), TRequestReader::kMaxRequestBytes);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes.substr(0, 40)));
        TRequestReader reader;
        TState state = reader.Feed(c.bytes);
        if (c.endOfInput) {
            state = reader.EndOfInput();
        }
        EXPECT_EQ(state, c.state);
        EXPECT_LE(reader.HeldBytes(), 2 * TRequestReader::kMaxRequestBytes);
        if (state == TState::Refused) {
            EXPECT_EQ(reader.Refusal().exitCode, TExitCode::kBadUsage);
            EXPECT_THAT(reader.Refusal().lines, testing::SizeIs(1));
        }
    }
}

TEST(CommandRequestTest, OneReaderTakesTenThousandRequestsWithoutGrowing) {
    const std::string request = EncodeRequest({TCommandVerb::Toggle, {"A"}});
    const std::string overlong(TRequestReader::kMaxRequestBytes + 1, 'T');
    TRequestReader reader;
    for (int i = 0; i < 10000; ++i) {
        const bool hostile = i % 1000 == 0;
        ASSERT_EQ(reader.Feed(hostile ? overlong : request), hostile ? TState::Refused : TState::Complete);
        reader.Reset();
        ASSERT_LE(reader.HeldBytes(), 4096u);
    }
}

TEST(CommandAnswerTest, AnswersComeBackAsSentAndIncompleteOnesDoNot) {
    const TCommandAnswer answer{1, {"Started #1 \"A\".", "", "No click in the list is named \"B\"."}};
    const std::string bytes = EncodeAnswer(answer);
    EXPECT_EQ(DecodeAnswer(bytes), answer);
    EXPECT_EQ(DecodeAnswer(bytes.substr(0, bytes.size() - 1)), std::nullopt);
    EXPECT_EQ(DecodeAnswer(bytes + "x"), std::nullopt);
    EXPECT_EQ(DecodeAnswer("TAPPORA/1 x 0\n"), std::nullopt);
    EXPECT_EQ(DecodeAnswer(EncodeAnswer({0, {"a\nb\x1b"}}))->lines, Args{"a\xEF\xBF\xBD"
                                                                         "b\xEF\xBF\xBD"});
}

TEST(OutputTextTest, NamesAreEscapedForJsonAndMadeSafeForTerminals) {
    const std::string bad = "\xEF\xBF\xBD";
    struct Case {
        std::string text, json, printable;
    };
    const std::vector<Case> cases = {
        {"plain", "\"plain\"", "plain"},
        {"say \"hi\" \\ now", R"("say \"hi\" \\ now")", "say \"hi\" \\ now"},
        {"a\tb\nc\x01\x1f", R"("a\u0009b\u000ac\u0001\u001f")", "a" + bad + "b" + bad + "c" + bad + bad},
        {"\xC2\x9B"
         "2J \x7f",
         "\"\xC2\x9B"
         "2J \x7f\"",
         bad + "2J " + bad},
        {"caf\xC3\xA9 \xF0\x9F\x96\xB1", "\"caf\xC3\xA9 \xF0\x9F\x96\xB1\"", "caf\xC3\xA9 \xF0\x9F\x96\xB1"},
        {"\xFF\xC3", "\"" + bad + bad + "\"", bad + bad},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonString(c.text), c.json);
        EXPECT_EQ(PrintableText(c.text), c.printable);
    }
}

class FakeWindow : public IWindowActions {
public:
    void showWindow() override { ++shown; }
    void quitAsExit() override { ++quit; }
    int shown = 0;
    int quit = 0;
};

class RemoteCommandTest : public ControlTest {
protected:
    RemoteCommandTest() {
        WriteList({FastClick("A", 1, 2), FastClick("B", 3, 4), FastClick("A", 5, 6),
                   FastClick(R"(say &quot;hi&quot; \ now)", 7, 8), FastClick("off", 9, 10, R"(checked="False")")});
        StartController();
    }

    TCommandAnswer Run(const Args& args) {
        const TParsedArguments parsed = ParseArguments(args);
        return parsed.request ? Execute(*ctrl, *parsed.request, window) : parsed.badUsage;
    }

    std::vector<bool> Running() const {
        std::vector<bool> running;
        for (int row = 0; row < ctrl->RowCount(); ++row) {
            running.push_back(ctrl->Runner(row).running);
        }
        return running;
    }

    FakeWindow window;
};

TEST_F(RemoteCommandTest, NamesAndRowsStartStopAndToggleTheClicksMeant) {
    using R = std::vector<bool>;
    struct Case {
        Args args;
        TCommandAnswer answer;
        R running;
    };
    const std::vector<Case> cases = {
        {{"start", "A", "#1"}, {0, {"Started #1 \"A\".", "Started #3 \"A\"."}}, R{1, 0, 1, 0, 0}},
        {{"toggle", "#3", "B"}, {0, {"Stopped #3 \"A\".", "Started #2 \"B\"."}}, R{1, 1, 0, 0, 0}},
        {{"start", "Nope", "#2", "#6", "off"},
         {1,
          {"#2 \"B\" is running already.", "#5 \"off\" is not ticked in the list, so it was not started.",
           "No click in the list is named \"Nope\".", "The list has no row #6; it has 5 rows."}},
         R{1, 1, 0, 0, 0}},
        {{"stop", "#3", "say \"hi\" \\ now", "B"},
         {0, {"#3 \"A\" was not running.", "#4 \"say \"hi\" \\ now\" was not running.", "Stopped #2 \"B\"."}},
         R{1, 0, 0, 0, 0}},
        {{"stop", "--all"}, {0, {"Stopped 1 click."}}, R{0, 0, 0, 0, 0}},
        {{"stop", "--all"}, {0, {"No click was running."}}, R{0, 0, 0, 0, 0}},
        {{"toggle", "#99999999999999999999999"},
         {1, {"The list has no row #99999999999999999999999; it has 5 rows."}},
         R{0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(Run(c.args), c.answer);
        EXPECT_EQ(Running(), c.running);
    }
}

TEST_F(RemoteCommandTest, AStartedClickClicksAndIsShownAsTheHotkeysShowIt) {
    view.repaintedRows.clear();
    Run({"start", "B"});
    EXPECT_THAT(view.repaintedRows, ElementsAre(1));
    fake.loop.advance(1350);
    EXPECT_EQ(ClicksSoFar(), 3u);
    EXPECT_EQ(Cell(1, "Action Stats"), "running 3 times");
}

TEST_F(RemoteCommandTest, ListsGiveEachClicksStateCountAndHotkeys) {
    Run({"start", "A"});
    fake.loop.advance(1350);
    Run({"start", "B"});
    EXPECT_EQ(Run({"list"}),
              (TCommandAnswer{0,
                              {
                                  R"(#1 "A": running, 3 clicks, Ctrl+F2 starts, Ctrl+F3 stops)",
                                  R"(#2 "B": waiting, 0 clicks, Ctrl+F4 starts, Ctrl+F5 stops)",
                                  R"(#3 "A": running, 3 clicks, Ctrl+F6 starts, Ctrl+F7 stops)",
                                  R"(#4 "say "hi" \ now": stopped, 0 clicks, Ctrl+F8 starts, Ctrl+F9 stops)",
                                  R"(#5 "off": stopped, 0 clicks, Ctrl+F10 starts, Ctrl+F11 stops)",
                              }}));
    const std::string keys = R"(, "startHotkey": "Ctrl+F)";
    EXPECT_EQ(
        Run({"list", "--json"}).lines,
        (Args{
            "[",
            R"(  {"row": 1, "name": "A", "state": "running", "clicks": 3)" + keys + R"(2", "stopHotkey": "Ctrl+F3"},)",
            R"(  {"row": 2, "name": "B", "state": "waiting", "clicks": 0)" + keys + R"(4", "stopHotkey": "Ctrl+F5"},)",
            R"(  {"row": 3, "name": "A", "state": "running", "clicks": 3)" + keys + R"(6", "stopHotkey": "Ctrl+F7"},)",
            R"(  {"row": 4, "name": "say \"hi\" \\ now", "state": "stopped", "clicks": 0)" + keys +
                R"(8", "stopHotkey": "Ctrl+F9"},)",
            R"(  {"row": 5, "name": "off", "state": "stopped", "clicks": 0)" + keys +
                R"(10", "stopHotkey": "Ctrl+F11"})",
            "]",
        }));
}

// `find` searches as the click's tick would, clicks nothing, and tells scripts by its exit code whether it was found.
TEST_F(RemoteCommandTest, FindSaysWhereTheClicksColourIsOrHowNearItCame) {
    fake.screen.resize(200, 100);
    fake.screen.fill(0x102030);
    fake.screen.setPixel(50, 60, 0xF01010);
    TClickRunner& click = ctrl->Runner(1);
    click.pointType = ptColor;
    click.fColor = "clRed";
    click.fColorSimplar = 95;
    const TCommandAnswer notFound = Run({"find", "B"});
    EXPECT_EQ(notFound.exitCode, TExitCode::kNotFound);
    ASSERT_EQ(notFound.lines.size(), 1u);
    EXPECT_THAT(notFound.lines[0], StartsWith(R"(#2 "B": Not found in )"));
    EXPECT_THAT(notFound.lines[0],
                EndsWith(" Nearest: (50, 60), colour $001010F0, beyond the tolerance by red 3, green 4, "
                         "blue 4."));
    fake.screen.setPixel(10, 20, 0xFF0000);
    const TCommandAnswer found = Run({"find", "--json", "#2"});
    EXPECT_EQ(found.exitCode, TExitCode::kDone);
    EXPECT_THAT(found.lines, ElementsAre(StartsWith(R"({"name": "B", "result": "found", "at": {"x": 10, "y": 20}, )")));
    EXPECT_EQ(Run({"find", "#1"}).lines,
              Args{R"(#1 "A": Could not search: the click looks for no colour or picture.)"});
    EXPECT_EQ(Run({"find", "Nope"}), (TCommandAnswer{1, {"No click in the list is named \"Nope\"."}}));
    EXPECT_EQ(ClicksSoFar(), 0u);

    // Once running, the list tells what its last search gave.
    Run({"start", "B"});
    fake.loop.advance(1100);
    EXPECT_THAT(Run({"list", "--json"}).lines[2], EndsWith(R"x(, "lastSearch": "found at (10, 20)"},)x"));
    EXPECT_THAT(Run({"list"}).lines[1], EndsWith("; found at (10, 20)"));
}

TEST_F(RemoteCommandTest, ShowAndQuitAreTheWindowsToDo) {
    EXPECT_EQ(Run({"show"}), TCommandAnswer{});
    EXPECT_EQ(Run({"quit"}), TCommandAnswer{});
    EXPECT_EQ(window.shown, 1);
    EXPECT_EQ(window.quit, 1);
}

} // namespace
