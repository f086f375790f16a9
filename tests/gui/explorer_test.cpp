// "Explorer..." hands the FTP address to the desktop; where the desktop has
// no application for ftp:// addresses it says so and offers the FTP tree
// window. In-process with the desktop's answers scripted, and through the
// real program with a desktop set up by the test.
#include "app/ordinex_app.h"
#include "gui/listwnd/ftp_panes.h"
#include "gui/listwnd/ftp_tree_frame.h"
#include "gui_support.h"
#include "test_servers.h"
#include "ui/command_ids.h"

#include <gtest/gtest.h>
#include <wx/app.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;

TEST(Explorer, WhereTheDesktopCannotOpenItTheFtpTreeIsOffered) {
    TempDir root;
    fs::create_directories(root.path() + "/pub/img");
    WriteFile(root.path() + "/pub/a.bin", "abc");
    TestServer server = TestServer::StartFtp(root.path());
    const std::string hostOnly = "ftp://127.0.0.1/pub/"; // the file manager's address has no port
    struct Row {
        DesktopLaunch launch;
        int answer;
        std::string message; // empty: none
        bool treeOpened;
    } rows[] = {
        {{DesktopLaunch::Outcome::Opened, ""}, kAnswerYes, "", false},
        {{DesktopLaunch::Outcome::NoHandler, ""},
         kAnswerYes,
         "Explorerが開けません: " + hostOnly +
             "\nこのデスクトップには ftp:// のアドレスを開くアプリケーションが登録されていません。\n\n"
             "FTPツリー&リスト ビューで開きますか?",
         true},
        {{DesktopLaunch::Outcome::NoHandler, ""}, kAnswerNo, "*", false},
        {{DesktopLaunch::Outcome::Failed, "Failed to execute child process"},
         kAnswerYes,
         "Explorerが開けません: " + hostOnly +
             "\nFailed to execute child process\n\nFTPツリー&リスト ビューで開きますか?",
         true},
    };
    for (const Row& r : rows) {
        GuiApp gui;
        ASSERT_TRUE(gui.Start());
        gui.view()->SetUrlBase(server.url("/pub/"));
        std::vector<std::string> handed;
        gui.frame()->SetDesktopOpener([&](const std::string& address) {
            handed.push_back(address);
            return r.launch;
        });
        gui.prompter.answers = {r.answer};
        gui.frame()->RunCommand(cmd::kOpenExplorer);
        EXPECT_EQ(handed, std::vector<std::string>{hostOnly});
        if (r.message.empty()) {
            EXPECT_TRUE(gui.prompter.messages.empty());
        } else {
            ASSERT_EQ(gui.prompter.messages.size(), 1u);
            if (r.message != "*") {
                EXPECT_EQ(gui.prompter.messages[0], r.message);
            }
        }
        CFtpTreeFrame* tree = CFtpTreeFrame::Current();
        EXPECT_EQ(tree != nullptr, r.treeOpened);
        if (tree) {
            // On the URL base as "FTP Tree..." opens it: port and all.
            EXPECT_EQ(tree->Tree()->SelectedAddress(), server.url("/pub/"));
            EXPECT_EQ(tree->List()->RowCount(), 2u);
            EXPECT_FALSE(gui.app().running);
        }
    }
}

// The real program, with the command carried out at start, prompts answered
// by their default button, and a desktop of the test's own: its folders of
// applications and settings are those given (empty: none registered).
class ProgramWithDesktop {
public:
    ProgramWithDesktop() {
        chmod(runtime_.path().c_str(), 0700);
        for (const char* d : {"data", "config"})
            fs::create_directories(desktop_ / d);
    }
    const std::string& dir() const { return dir_.path(); }
    std::string DesktopPath(const std::string& name) const { return desktop_ / name; }
    // Starts the program, waits until done() holds (at most ten seconds),
    // then ends it as a closed window would.
    void Run(const std::function<bool()>& done) {
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(dir_.path().c_str()) != 0 || !freopen("stderr.txt", "w", stderr))
                _exit(126);
            setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
            setenv("XDG_DATA_HOME", (desktop_ / "data").c_str(), 1);
            setenv("XDG_DATA_DIRS", (desktop_ / "data").c_str(), 1);
            setenv("XDG_CONFIG_HOME", (desktop_ / "config").c_str(), 1);
            setenv("XDG_CONFIG_DIRS", (desktop_ / "config").c_str(), 1);
            setenv("ORDINEX_TEST_PROMPTS", "1", 1);
            setenv("ORDINEX_AUTOCOMMAND", std::to_string(cmd::kOpenExplorer).c_str(), 1);
            execl(ORDINEX_GUI_PATH, ORDINEX_GUI_PATH, static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 200 && !done(); ++i)
            usleep(50'000);
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        exitedCleanly_ = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    bool ExitedCleanly() const { return exitedCleanly_; }
    std::string Errors() const { return ReadFile(dir_ / "stderr.txt"); }

private:
    TempDir dir_;
    TempDir runtime_;
    TempDir desktop_;
    bool exitedCleanly_ = false;
};

TEST(Explorer, TheProgramTellsADesktopWithoutAnFtpApplicationFromOneWithIt) {
    TempDir root;
    fs::create_directories(root.path() + "/pub");
    TestServer server = TestServer::StartFtp(root.path());
    {
        // Nothing registered: the offer is taken (its default), and the FTP
        // window opens; it keeps its place in the settings at exit.
        ProgramWithDesktop program;
        WriteFile(program.dir() + "/Ordinex.ini", "[UrlFolder]\nUrlBaseText=" + server.url("/pub/") + "\n");
        program.Run([&] { return program.Errors().find("prompt: Explorer") != std::string::npos; });
        const std::string errors = program.Errors();
        EXPECT_NE(
            errors.find("prompt: Explorerが開けません: ftp://127.0.0.1/pub/\n"
                        "このデスクトップには ftp:// のアドレスを開くアプリケーションが登録されていません。"),
            std::string::npos)
            << errors;
        EXPECT_TRUE(program.ExitedCleanly());
        EXPECT_NE(ReadFile(program.dir() + "/Ordinex.ini").find("[FtpTreeWindow]"), std::string::npos);
    }
    {
        // An application registered for ftp:// receives the address; nothing is asked.
        ProgramWithDesktop program;
        const std::string opened = program.dir() + "/opened.txt";
        const std::string handler = program.DesktopPath("handler.sh");
        WriteFile(handler, "#!/bin/sh\necho \"$1\" > '" + opened + "'\n");
        chmod(handler.c_str(), 0755);
        fs::create_directories(program.DesktopPath("data/applications"));
        WriteFile(program.DesktopPath("data/applications/ordinex-test-ftp.desktop"),
                  "[Desktop Entry]\nType=Application\nName=FTP test\nExec=" + handler +
                      " %u\nMimeType=x-scheme-handler/ftp;\n");
        WriteFile(program.DesktopPath("config/mimeapps.list"),
                  "[Default Applications]\nx-scheme-handler/ftp=ordinex-test-ftp.desktop\n");
        WriteFile(program.dir() + "/Ordinex.ini", "[UrlFolder]\nUrlBaseText=http://127.0.0.1/pub/\n");
        program.Run([&] { return fs::exists(opened) && !ReadFile(opened).empty(); });
        EXPECT_EQ(ReadFile(opened), "ftp://127.0.0.1/pub/\n");
        EXPECT_EQ(program.Errors().find("prompt:"), std::string::npos) << program.Errors();
    }
}

} // namespace
} // namespace ordinex::test
