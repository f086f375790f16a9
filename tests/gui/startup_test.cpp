// Start-up and shutdown: the last job and the placement across a restart,
// the single-instance rule and the command line, the latter two through the
// real program in a process of its own.
#include "app/ordinex_app.h"
#include "gui_support.h"
#include "platform/instance_lock.h"
#include "process_windows.h"
#include "test_servers.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace ordinex::test {
namespace {

using namespace form;

TEST(StartUp, TheLastJobAndPlacementSurviveARestart) {
    TempDir dir;
    ScopedCwd cwd(dir.path());
    {
        ScriptedPrompter prompter;
        CAppShell shell(&prompter);
        ASSERT_TRUE(shell.InitInstance({}));
        COrdinexView* view = shell.MainFrame()->View();
        view->SetUrlBase(" http://h/pub ");
        view->SetRangeCheck(2, true);
        view->SetRangeStart(2, "a ");
        shell.MainFrame()->SetSize(800, 431);
        shell.MainFrame()->RunCommand(cmd::kViewToolbar);
        shell.ExitInstance();
    }
    const std::string ini = ReadFile(dir / "Ordinex.ini");
    EXPECT_NE(ini.find("UrlBaseText= http://h/pub \n"), std::string::npos) << "kept as typed";
    EXPECT_NE(ini.find("WildCard3Check=1\n"), std::string::npos);
    EXPECT_NE(ini.find("Toolbar=0\n"), std::string::npos);
    EXPECT_NE(ini.find("[Window]\n"), std::string::npos);
    {
        ScriptedPrompter prompter;
        CAppShell shell(&prompter);
        ASSERT_TRUE(shell.InitInstance({}));
        COrdinexView* view = shell.MainFrame()->View();
        EXPECT_EQ(view->GetUrlBase(), "http://h/pub");
        EXPECT_EQ(view->ControlText(kUrlBase), " http://h/pub ");
        EXPECT_TRUE(view->GetRangeCheck(2));
        EXPECT_EQ(view->GetRangeStart(2), "a ");
        EXPECT_TRUE(view->Control(kRangeIds[2].start)->IsEnabled());
        EXPECT_FALSE(shell.Document().IsModified()) << "restoring is not an edit";
        EXPECT_FALSE(shell.MainFrame()->ToolbarVisible());
        EXPECT_EQ(shell.MainFrame()->GetSize().x, 800);

        // With ReadUrlFolderSetting off the job is still stored, but not restored.
        shell.App().settings.ReadUrlFolderSetting = 0;
        view->SetUrlExpansion("next");
        shell.ExitInstance();
    }
    EXPECT_NE(ReadFile(dir / "Ordinex.ini").find("UrlExpansionText=next\n"), std::string::npos);
    {
        ScriptedPrompter prompter;
        CAppShell shell(&prompter);
        ASSERT_TRUE(shell.InitInstance({}));
        EXPECT_EQ(shell.MainFrame()->View()->GetUrlExpansion(), "");
        EXPECT_EQ(shell.MainFrame()->View()->GetFolderBase(), dir.path());
        shell.ExitInstance();
    }
}

TEST(StartUp, AJobOnTheCommandLineIsOpened) {
    GuiApp gui;
    WriteFile(gui.path("job.odx"), "[UrlFolder]\nUrlBaseText=http://cmd/\n");
    ASSERT_TRUE(gui.Start({gui.path("job.odx")}));
    EXPECT_EQ(gui.view()->GetUrlBase(), "http://cmd/");
    EXPECT_EQ(gui.frame()->GetTitle(), "Ordinex - job.odx");
    EXPECT_FALSE(gui.shell().Document().IsModified());
}

TEST(StartUp, ASecondInstanceInProcessIsRefusedAndWritesNothing) {
    GuiApp first;
    ASSERT_TRUE(first.Start());
    ScriptedPrompter prompter;
    {
        CAppShell second(&prompter);
        EXPECT_FALSE(second.InitInstance({}));
    }
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], "既に起動しています");
    EXPECT_EQ(prompter.icons[0], MessageIcon::Information);
}

// Runs the program with the environment given, in dir; returns its exit
// status and what it wrote to standard error.
struct Outcome {
    int status = -1;
    std::string stderrText;
};
Outcome RunProgram(const std::string& dir, const std::vector<std::string>& args,
                   const std::string& runtimeDir) {
    const std::string errPath = dir + "/stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        if (!freopen(errPath.c_str(), "w", stderr))
            _exit(126);
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        setenv("ORDINEX_TEST_PROMPTS", "1", 1);
        std::vector<char*> argv{const_cast<char*>(ORDINEX_GUI_PATH)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(ORDINEX_GUI_PATH, argv.data());
        _exit(127);
    }
    Outcome outcome;
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.stderrText = ReadFile(errPath);
    return outcome;
}

TEST(StartUp, TheProgramRefusesASecondInstanceWithoutTouchingTheSettingsFile) {
    TempDir dir;
    TempDir runtime;
    chmod(runtime.path().c_str(), 0700);
    WriteFile(dir / "Ordinex.ini", "[Program]\nReadWindowSetting=1\n");
    // The lock of a running instance, held by this test.
    const std::string saved = getenv("XDG_RUNTIME_DIR") ? getenv("XDG_RUNTIME_DIR") : "";
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    InstanceLock lock;
    ASSERT_EQ(lock.Acquire(), InstanceLock::Result::Acquired);
    setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);

    const Outcome out = RunProgram(dir.path(), {}, runtime.path());
    EXPECT_NE(out.stderrText.find("prompt: 既に起動しています"), std::string::npos) << out.stderrText;
    EXPECT_NE(out.status, 0);
    EXPECT_EQ(ReadFile(dir / "Ordinex.ini"), "[Program]\nReadWindowSetting=1\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "Ordinex.log")) << "it stopped before opening its log";
}

TEST(StartUp, AnUnreadableJobOnTheCommandLineEndsTheProgramWithoutSaving) {
    TempDir dir;
    TempDir runtime;
    chmod(runtime.path().c_str(), 0700);
    const Outcome out = RunProgram(dir.path(), {dir / "missing.odx"}, runtime.path());
    EXPECT_EQ(out.status, 1);
    EXPECT_NE(out.stderrText.find("prompt: シェルコマンドが正常に処理されない"), std::string::npos)
        << out.stderrText;
    EXPECT_FALSE(std::filesystem::exists(dir / "Ordinex.ini"));
}

// Also run under openbox: the toolkit warns when a control is laid out
// smaller than its natural size, which a window manager's first placement
// used to provoke.
TEST(StartUp, StartsWithoutToolkitWarningsAndSavesOnTerminationSignal) {
    TempDir dir;
    TempDir runtime;
    chmod(runtime.path().c_str(), 0700);
    WriteFile(dir / "job.odx", "[UrlFolder]\nUrlBaseText=http://sig/\n");
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.path().c_str()) != 0 || !freopen("stderr.txt", "w", stderr))
            _exit(126);
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        setenv("ORDINEX_TEST_PROMPTS", "1", 1);
        execl(ORDINEX_GUI_PATH, ORDINEX_GUI_PATH, "job.odx", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Start-up has completed once the main window shows (a fixed wait after
    // the log appears was too short on a loaded machine).
    EXPECT_TRUE(WaitForProcessWindow(pid, [](const std::string&) { return true; }));
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0)
                                   << ReadFile(dir / "stderr.txt");
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string ini = ReadFile(dir / "Ordinex.ini");
    EXPECT_NE(ini.find("UrlBaseText=http://sig/\n"), std::string::npos);
    EXPECT_NE(ini.find("file1=" + (dir / "job.odx") + "\n"), std::string::npos);
    const std::string errors = ReadFile(dir / "stderr.txt");
    EXPECT_EQ(errors.find("Gtk-"), std::string::npos) << errors;
}

// SIGTERM during a download run is the system asking the program to end:
// the run stops and the program ends, with no question that nobody would
// answer (a question's default here would keep it running).
TEST(StartUp, TerminationSignalDuringARunEndsTheProgramWithoutAsking) {
    TempDir dir;
    TempDir runtime;
    chmod(runtime.path().c_str(), 0700);
    TestServer server = TestServer::StartHttp();
    WriteFile(dir / "job.odx", "[UrlFolder]\nUrlBaseText=" + server.url("/slow/") +
                                   "\nUrlExpansionText=400000*\nFolderBaseText=" + dir.path() +
                                   "/\nFolderExpansionText=f*.bin\n[Ordinseq]\nWildCard1Check=1\n"
                                   "WildCard1Start=0\nWildCard1End=1\n");
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.path().c_str()) != 0 || !freopen("stderr.txt", "w", stderr))
            _exit(126);
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        setenv("ORDINEX_TEST_PROMPTS", "1", 1);
        setenv("ORDINEX_AUTORUN", "1", 1);
        execl(ORDINEX_GUI_PATH, ORDINEX_GUI_PATH, "job.odx", static_cast<char*>(nullptr));
        _exit(127);
    }
    // The run is under way once its temporary file has data.
    const std::string part = dir / ".f0.bin.part";
    for (int i = 0; i < 200 && !(std::filesystem::exists(part) && std::filesystem::file_size(part) > 0); ++i)
        usleep(50'000);
    EXPECT_TRUE(std::filesystem::exists(part)) << "the run did not start";
    kill(pid, SIGTERM);
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 300 && ended == 0; ++i) {
        ended = waitpid(pid, &status, WNOHANG);
        if (ended == 0)
            usleep(50'000);
    }
    if (ended == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "the program did not end within 15 s of SIGTERM: " << ReadFile(dir / "stderr.txt");
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "f0.bin")) << "stopped in the first file";
    EXPECT_EQ(ReadFile(dir / "stderr.txt").find("prompt:"), std::string::npos) << "nothing was asked";
}

} // namespace
} // namespace ordinex::test
