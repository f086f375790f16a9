// The built-in browser as a module of its own: the real program starts
// without the web engine (and without a GL driver), loads the module when
// the browser is first opened, and offers the desktop's browser when the
// module cannot be loaded.
#include "app/ordinex_app.h"
#include "gui/browser/browser_module.h"
#include "gui/mainwnd/main_frame.h"
#include "gui_support.h"
#include "process_windows.h"
#include "test_servers.h"
#include "ui/command_ids.h"
#include "ui/frame_texts.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace ordinex::test {
namespace {

// The desktop program in a process of its own, in dir, with the prompts
// written to dir/stderr.txt; command is carried out once it has started.
class Program {
public:
    Program(const std::string& dir, const std::vector<std::string>& args, int command = 0) : dir_(dir) {
        chmod(runtime_.path().c_str(), 0700);
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(dir.c_str()) != 0 || !freopen("stderr.txt", "w", stderr))
                _exit(126);
            setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
            setenv("ORDINEX_TEST_PROMPTS", "1", 1);
            if (command)
                setenv("ORDINEX_AUTOCOMMAND", std::to_string(command).c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(ORDINEX_GUI_PATH)};
            for (const auto& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(ORDINEX_GUI_PATH, argv.data());
            _exit(127);
        }
    }
    ~Program() {
        if (pid_ > 0)
            End();
    }
    pid_t pid() const { return pid_; }
    // SIGTERM, as a desktop's logout sends it; the exit status (-1: a signal ended it).
    int End() {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Errors() const { return ReadFile(dir_ + "/stderr.txt"); }

private:
    std::string dir_;
    TempDir runtime_;
    pid_t pid_ = -1;
};

bool AnyTitle(const std::string&) {
    return true;
}

TEST(BrowserModule, TheProgramShowsItsWindowWithoutTheWebEngineOrAGlDriver) {
    TempDir dir;
    Program program(dir.path(), {});
    ASSERT_TRUE(WaitForProcessWindow(program.pid(), AnyTitle)) << program.Errors();
    for (const char* library : {"ordinex-browser.so", "libwebkit2gtk", "libjavascriptcoregtk",
                                "libwx_gtk3u_webview", "libGLX_mesa", "_dri.so"})
        EXPECT_FALSE(ProcessMaps(program.pid(), library)) << library << " is loaded at start";
    EXPECT_EQ(program.End(), 0) << program.Errors();
}

TEST(BrowserModule, TheProgramOpensTheBrowserFromItsModule) {
    TempDir site;
    WriteFile(site / "a.html", "<html><head><title>A</title></head><body>A</body></html>");
    TestServer http = TestServer::StartHttp(site.path());
    TempDir dir;
    WriteFile(dir / "job.odx", "[UrlFolder]\nUrlBaseText=" + http.url("/a.html") + "\n");
    Program program(dir.path(), {"job.odx"}, cmd::kOpenBrowser);
    const std::string address = http.url("/a.html");
    EXPECT_TRUE(WaitForProcessWindow(program.pid(), [&](const std::string& title) {
        return title.find("[Browser]") != std::string::npos && title.find(address) != std::string::npos;
    })) << program.Errors();
    EXPECT_TRUE(ProcessMaps(program.pid(), ORDINEX_BROWSER_MODULE_PATH));
    EXPECT_TRUE(ProcessMaps(program.pid(), "libwebkit2gtk"));
    EXPECT_EQ(program.End(), 0) << program.Errors();
    EXPECT_EQ(program.Errors().find("prompt:"), std::string::npos) << program.Errors();
}

// In-process: the tests link the browser, which is set aside here.
class MissingModule : public ::testing::Test {
protected:
    GuiApp gui;
    TempDir files;
    std::vector<std::string> opened;

    void SetUp() override {
        UseLinkedBrowser(nullptr);
        ASSERT_TRUE(gui.Start());
        gui.app().settings.UseWindowsRuleBrowserSetting = 0;
        gui.view()->SetUrlBase("http://127.0.0.1:9/page.html");
        gui.frame()->SetBrowserLauncher([this](const std::string& address) {
            opened.push_back(address);
            return true;
        });
    }
    void TearDown() override {
        SetBrowserModuleCandidatesForTests({});
        UseLinkedBrowser(LinkedBrowserForTests);
    }
};

TEST_F(MissingModule, TheMessageSaysWhyAndOffersTheDesktopsBrowser) {
    WriteFile(files / "text.so", "not a library\n");
    const struct {
        std::string file;
        std::string reason; // a part of the message
        int answer;
    } cases[] = {
        {files / "missing.so", "ordinex-browser.so が見つかりません (" + (files / "missing.so") + ")",
         kAnswerYes},
        {files / "text.so", files / "text.so", kAnswerNo},
        // A library, but not the browser's.
        {"/lib/x86_64-linux-gnu/libm.so.6", "Ordinexのブラウザ モジュールではありません", kAnswerYes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SetBrowserModuleCandidatesForTests({c.file});
        opened.clear();
        gui.prompter.messages.clear();
        gui.prompter.answers = {c.answer};
        gui.frame()->RunCommand(cmd::kOpenBrowser);
        ASSERT_EQ(gui.prompter.messages.size(), 1u);
        const std::string& text = gui.prompter.messages[0];
        EXPECT_EQ(text.rfind(framewin::kBrowserModuleFailed, 0), 0u) << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        EXPECT_NE(text.find(framewin::kOfferDesktopBrowser), std::string::npos) << text;
        EXPECT_EQ(opened, c.answer == kAnswerYes ? std::vector<std::string>{"http://127.0.0.1:9/page.html"}
                                                 : std::vector<std::string>{});
    }
}

} // namespace
} // namespace ordinex::test
