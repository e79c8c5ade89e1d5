// The desktop program's command line: what each argument list asks for.
#include "platform/sdl/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::desktop::CommandLine;
using platform::desktop::parseCommandLine;
using Mode = platform::desktop::WindowOptions::Mode;
using Action = CommandLine::Action;

CommandLine parse(std::vector<const char*> args) {
    args.insert(args.begin(), "tallreed");
    return parseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, OptionsBecomeWindowOptions) {
    struct Case {
        std::vector<const char*> args;
        Mode mode;
        int scale;
    };
    const Case cases[] = {
        {{}, Mode::Default, 0},
        {{"--fullscreen"}, Mode::Fullscreen, 0},
        {{"--window"}, Mode::Window, 0},
        {{"--fullscreen", "--window"}, Mode::Window, 0},  // the last one counts
        {{"--window", "--fullscreen"}, Mode::Fullscreen, 0},
        {{"--scale", "2"}, Mode::Default, 2},
        {{"--scale=16"}, Mode::Default, 16},
        {{"--scale", "1", "--scale", "4", "--window"}, Mode::Window, 4},
        {{"--fullscreen", "--scale=10"}, Mode::Fullscreen, 10},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.args);
        EXPECT_EQ(line.action, Action::Run) << line.error;
        EXPECT_EQ(line.window.mode, c.mode) << c.args.size();
        EXPECT_EQ(line.window.scale, c.scale) << c.args.size();
    }
}

TEST(CommandLine, HelpAndVersionWinOverEverythingBeforeThem) {
    EXPECT_EQ(parse({"--help"}).action, Action::Help);
    EXPECT_EQ(parse({"-h"}).action, Action::Help);
    EXPECT_EQ(parse({"--version"}).action, Action::Version);
    EXPECT_EQ(parse({"--fullscreen", "--scale", "3", "--version"}).action, Action::Version);
    // A mistake before them is still reported: the player learns of it at once.
    EXPECT_EQ(parse({"--scale", "0", "--help"}).action, Action::Error);
}

TEST(CommandLine, MistakesAreNamedInOneLine) {
    struct Case {
        std::vector<const char*> args;
        std::string error;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-f"}, "unknown option '-f'"},
        {{"--Fullscreen"}, "unknown option '--Fullscreen'"},
        {{"--fullscreen=yes"}, "unknown option '--fullscreen=yes'"},
        {{"level2"}, "unexpected argument 'level2'"},
        {{"--scale"}, "option '--scale' needs a number"},
        {{"--window", "--scale"}, "option '--scale' needs a number"},
        {{"--scale", "0"}, "'--scale 0': give a whole number from 1 to 16"},
        {{"--scale", "17"}, "'--scale 17': give a whole number from 1 to 16"},
        {{"--scale", "-2"}, "'--scale -2': give a whole number from 1 to 16"},
        {{"--scale", "2x"}, "'--scale 2x': give a whole number from 1 to 16"},
        {{"--scale", "03"}, "'--scale 03': give a whole number from 1 to 16"},
        {{"--scale", "99999999999"}, "'--scale 99999999999': give a whole number from 1 to 16"},
        {{"--scale="}, "'--scale ': give a whole number from 1 to 16"},
        {{"--scale", "--window"}, "'--scale --window': give a whole number from 1 to 16"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.args);
        EXPECT_EQ(line.action, Action::Error) << c.error;
        EXPECT_EQ(line.error, c.error);
        EXPECT_EQ(line.error.find('\n'), std::string::npos);
    }
}

TEST(CommandLine, AnswersExitWithTheirStatus) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(answerCommandLine(parse({"--version"})), 0);
    EXPECT_EQ(answerCommandLine(parse({"--help"})), 0);
    EXPECT_EQ(answerCommandLine(parse({"--nope"})), 2);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.substr(0, out.find('\n')), std::string("tallreed ") + TALLREED_VERSION);
    EXPECT_NE(out.find(platform::desktop::helpText()), std::string::npos);
    EXPECT_EQ(err, std::string("tallreed: unknown option '--nope'\n") +
                       platform::desktop::usageLine() + "\n");
}

}  // namespace
