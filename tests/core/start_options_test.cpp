// The command lines of both programs: options, usage errors and the
// settings folder the menu entry starts in.
#include "test_support.h"
#include "ui/start_options.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace ordinex::test {
namespace {

using Action = StartOptions::Action;

TEST(StartOptionsParse, OptionsJobAndUsageErrors) {
    struct Case {
        std::vector<std::string> args;
        Action action;
        std::string job;
        bool desktop;
    };
    const std::vector<Case> cases = {
        {{}, Action::Start, "", false},
        {{"job.odx"}, Action::Start, "job.odx", false},
        {{"--desktop", "/j/a.odx"}, Action::Start, "/j/a.odx", true},
        {{"/j/a.odx", "--desktop"}, Action::Start, "/j/a.odx", true},
        {{"--", "-odd.odx"}, Action::Start, "-odd.odx", false},
        {{"-"}, Action::Start, "-", false}, // a file named "-", as typed
        {{"--help"}, Action::Help, "", false},
        {{"-h", "--bogus"}, Action::Help, "", false},
        {{"job.odx", "--version"}, Action::Version, "", false},
        {{"--bogus"}, Action::UsageError, "", false},
        {{"-x", "job.odx"}, Action::UsageError, "", false},
        {{"a.odx", "b.odx"}, Action::UsageError, "a.odx", false},
        {{""}, Action::UsageError, "", false},
    };
    for (const auto& c : cases) {
        std::string trace;
        for (const auto& a : c.args)
            trace += "[" + a + "]";
        SCOPED_TRACE(trace);
        const StartOptions o = ParseStartOptions(c.args);
        EXPECT_EQ(o.action, c.action);
        EXPECT_EQ(o.job, c.job);
        EXPECT_EQ(o.desktop, c.desktop);
        EXPECT_EQ(o.error.empty(), c.action != Action::UsageError) << o.error;
    }
    // An option the user typed comes back without control characters.
    EXPECT_EQ(ParseStartOptions({"--\x1b[2J"}).error.find('\x1b'), std::string::npos);
}

TEST(DesktopFolder, FromTheConfigHomeOrTheHomeFolder) {
    struct Case {
        std::optional<std::string> config, home;
        std::string folder;
    };
    const std::vector<Case> cases = {
        {"/cfg", "/home/me", "/cfg/ordinex"},
        {"/cfg/", "/home/me", "/cfg/ordinex"},
        {std::nullopt, "/home/me", "/home/me/.config/ordinex"},
        {"", "/home/me", "/home/me/.config/ordinex"},
        {"relative", "/home/me", "/home/me/.config/ordinex"}, // not absolute: ignored
        {std::nullopt, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config.value_or("(unset)") + " " + c.home.value_or("(unset)"));
        ScopedEnv config("XDG_CONFIG_HOME", c.config);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(DesktopSettingsFolder(), c.folder);
    }
}

TEST(DesktopFolder, IsMadeForThisUserOnlyAndEntered) {
    TempDir dir;
    ScopedCwd cwd(dir.path());
    const std::string folder = dir / "config/ordinex";
    ASSERT_TRUE(EnterDesktopSettingsFolder(folder));
    EXPECT_EQ(std::filesystem::current_path(), folder);
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // One the user made keeps its permissions.
    chmod(folder.c_str(), 0750);
    ASSERT_TRUE(EnterDesktopSettingsFolder(folder));
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0750u);

    // A file in the way, or no folder at all, is refused and nothing changes.
    WriteFile(dir / "file", "keep");
    ScopedCwd stay(dir.path());
    EXPECT_FALSE(EnterDesktopSettingsFolder(dir / "file/ordinex"));
    EXPECT_FALSE(EnterDesktopSettingsFolder(""));
    EXPECT_EQ(std::filesystem::current_path(), dir.path());
    EXPECT_EQ(ReadFile(dir / "file"), "keep");
}

// ordinex-cli: asked-for help and the version on standard output with
// status 0, usage errors on standard error with status 2.
TEST(CliConventions, HelpVersionAndUsageErrors) {
    TempDir dir;
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string outStart; // empty: nothing on standard output
        bool errEmpty;
    };
    const std::vector<Case> cases = {
        {{"--version"}, 0, "ordinex-cli 1.", true},
        {{"--help"}, 0, "使い方: ordinex-cli", true},
        {{"-h"}, 0, "使い方: ordinex-cli", true},
        {{}, 2, "", false},
        {{"bogus", "x"}, 2, "", false},
        {{"run"}, 2, "", false},
        {{"--version", "x"}, 2, "", false},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv{ORDINEX_CLI_PATH};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(argv.size() > 1 ? argv[1] : "(none)");
        const ProcessResult r = RunProcess(argv, dir.path());
        EXPECT_EQ(r.exitCode, c.status);
        if (c.outStart.empty()) {
            EXPECT_EQ(r.out, "");
        } else {
            EXPECT_EQ(r.out.rfind(c.outStart, 0), 0u) << r.out;
        }
        EXPECT_EQ(r.err.empty(), c.errEmpty) << r.err;
        if (!c.errEmpty) {
            EXPECT_NE(r.err.find("使い方: ordinex-cli"), std::string::npos) << r.err;
        }
    }
}

} // namespace
} // namespace ordinex::test
