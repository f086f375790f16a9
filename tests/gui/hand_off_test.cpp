// One window for every job: a second start of the real program hands its
// job file to the running instance (here the program in-process) and ends.
#include "gui_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace ordinex::test {
namespace {

// Starts the program in dir with args and dispatches this process's events
// until it has ended, as the running instance's loop would meanwhile.
// Returns its exit status (-1: killed, or still running after a generous bound).
int SecondStart(const std::string& dir, const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        setenv("ORDINEX_TEST_PROMPTS", "1", 1);
        std::vector<char*> argv{const_cast<char*>(ORDINEX_GUI_PATH)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(ORDINEX_GUI_PATH, argv.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        PumpFor(20);
    }
    // What the request queued is served on the next turns.
    PumpFor(300);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(HandOff, ASecondStartOpensItsJobInTheRunningWindowAndEndsWithZero) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    WriteFile(gui.path("a.odx"), "[UrlFolder]\nUrlBaseText=http://a/\n");
    WriteFile(gui.path("b.odx"), "[UrlFolder]\nUrlBaseText=http://b/\n");
    TempDir elsewhere;
    std::vector<std::string> asked;
    gui.frame()->SetSaveQuestion([&](const std::string& q) {
        asked.push_back(q);
        return 7; // No: discard the edit
    });

    // A relative name is resolved in the second process's folder.
    EXPECT_EQ(SecondStart(gui.dir(), {"a.odx"}), 0);
    EXPECT_EQ(gui.shell().Document().PathName(), gui.path("a.odx"));
    EXPECT_EQ(gui.view()->GetUrlBase(), "http://a/");
    EXPECT_TRUE(asked.empty()) << "nothing was modified";
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "Ordinex.ini"));

    // An edited job is offered for saving first.
    gui.view()->SetUrlBase("http://edited/");
    gui.shell().Document().SetModifiedFlag(true);
    ASSERT_TRUE(gui.shell().Document().IsModified());
    EXPECT_EQ(SecondStart(elsewhere.path(), {gui.path("b.odx")}), 0);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "a.odx への変更を保存しますか?");
    EXPECT_EQ(gui.view()->GetUrlBase(), "http://b/");
    EXPECT_EQ(ReadFile(gui.path("a.odx")), "[UrlFolder]\nUrlBaseText=http://a/\n") << "No keeps the file";

    // Without a file only the window comes to the front.
    gui.frame()->Iconize(true);
    PumpFor(100);
    EXPECT_EQ(SecondStart(elsewhere.path(), {}), 0);
    EXPECT_FALSE(gui.frame()->IsIconized());
    EXPECT_EQ(gui.shell().Document().PathName(), gui.path("b.odx"));
    EXPECT_TRUE(gui.prompter.messages.empty()) << gui.prompter.messages.front();
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "Ordinex.ini")) << "the second start wrote nothing";
}

TEST(HandOff, AJobHandedOverDuringARunOpensAfterIt) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    WriteFile(gui.path("later.odx"), "[UrlFolder]\nUrlBaseText=http://later/\n");
    gui.app().running = true;
    gui.shell().TakeHandOff(gui.path("later.odx"));
    EXPECT_EQ(gui.shell().PendingHandOffs(), 1u);
    EXPECT_EQ(gui.shell().Document().PathName(), "");
    gui.app().running = false;
    PumpFor(500);
    EXPECT_EQ(gui.shell().PendingHandOffs(), 0u);
    EXPECT_EQ(gui.view()->GetUrlBase(), "http://later/");
}

TEST(HandOff, AJobThatCannotBeReadIsReportedAndTheWindowStays) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    EXPECT_EQ(SecondStart(gui.dir(), {"missing.odx"}), 0) << "handed over; the window reports it";
    ASSERT_EQ(gui.prompter.messages.size(), 1u);
    EXPECT_NE(gui.prompter.messages[0].find("missing.odx"), std::string::npos) << gui.prompter.messages[0];
    EXPECT_NE(gui.frame(), nullptr);
}

// --help and --version need no display and no instance lock; a usage error
// goes to standard error with status 2 and starts nothing.
TEST(CommandLine, HelpVersionAndUsageErrorsOfTheDesktopProgram) {
    TempDir dir;
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string outStart;
        std::string errPart;
    };
    const std::vector<Case> cases = {
        {{"--version"}, 0, "ordinex 1.", ""},
        {{"--help"}, 0, "使い方: ordinex", ""},
        {{"job.odx", "-h"}, 0, "使い方: ordinex", ""},
        {{"--bogus"}, 2, "", "不明なオプション: --bogus"},
        {{"a.odx", "b.odx"}, 2, "", "ジョブファイルは1つだけ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        std::vector<std::string> argv{ORDINEX_GUI_PATH};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const ProcessResult r = RunProcess(argv, dir.path(), {"DISPLAY=", "WAYLAND_DISPLAY="}, 30);
        EXPECT_EQ(r.exitCode, c.status) << r.err;
        EXPECT_EQ(r.out.rfind(c.outStart, 0), 0u) << r.out;
        if (c.errPart.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
            EXPECT_NE(r.err.find("使い方: ordinex"), std::string::npos) << r.err;
            EXPECT_EQ(r.out, "");
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "Ordinex.ini"));
}

} // namespace
} // namespace ordinex::test
