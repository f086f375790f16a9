#include "app/ordinex_app.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace ordinex;
using namespace ordinex::test;

namespace {

// Each test gets its own runtime folder for the instance lock and its own
// working folder for the settings file and the log.
class StartupTest : public ::testing::Test {
protected:
    TempDir runtime;
    TempDir work;
    std::string previousRuntime;

    void SetUp() override {
        if (const char* r = std::getenv("XDG_RUNTIME_DIR"))
            previousRuntime = r;
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    }
    void TearDown() override {
        if (previousRuntime.empty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", previousRuntime.c_str(), 1);
    }
};

TEST_F(StartupTest, FirstStartCreatesLogAndWritesSettingsAtExit) {
    ScopedCwd cwd(work.path());
    COrdinexApp app;
    ASSERT_EQ(app.InitCore().result, COrdinexApp::StartResult::Started);
    EXPECT_EQ(app.productName, "Ordinex");
    EXPECT_EQ(app.startDirectory, std::filesystem::current_path().string());
    EXPECT_TRUE(std::filesystem::exists(work / "Ordinex.log"));
    EXPECT_EQ(app.settings.SaveSetting, 2);
    app.MarkStartupComplete();
    app.settings.PauseForConfirm = 0;
    app.ExitCore();
    const std::string ini = ReadFile(work / "Ordinex.ini");
    EXPECT_NE(ini.find("[Program]\nReadWindowSetting=1\n"), std::string::npos);
    EXPECT_EQ(ini.find("AllowOperationCheck"), std::string::npos);
    EXPECT_NE(ini.find("[Tool]"), std::string::npos);
}

TEST_F(StartupTest, SecondInstanceIsRefusedAndTouchesNothing) {
    ScopedCwd cwd(work.path());
    WriteFile(work / "Ordinex.ini", "[Program]\nSaveSetting=1\n");
    WriteFile(work / "Ordinex.log", "first instance's log\n");
    COrdinexApp first;
    ASSERT_EQ(first.InitCore().result, COrdinexApp::StartResult::Started);
    first.MarkStartupComplete();
    first.settings.WarningLogSetting = 1;
    first.WriteLog("written by the first");

    COrdinexApp second;
    const auto outcome = second.InitCore();
    EXPECT_EQ(outcome.result, COrdinexApp::StartResult::AlreadyRunning);
    EXPECT_EQ(outcome.message, "既に起動しています");
    second.ExitCore();
    EXPECT_EQ(ReadFile(work / "Ordinex.ini"), "[Program]\nSaveSetting=1\n");
    EXPECT_EQ(ReadFile(work / "Ordinex.log"), "written by the first\n");

    first.ExitCore();
    COrdinexApp third; // the lock was released at exit
    EXPECT_EQ(third.InitCore().result, COrdinexApp::StartResult::Started);
    third.ExitCore();
}

TEST_F(StartupTest, NothingIsSavedBeforeStartupCompletesOrAfterAFatalExit) {
    ScopedCwd cwd(work.path());
    {
        COrdinexApp app;
        ASSERT_EQ(app.InitCore().result, COrdinexApp::StartResult::Started);
        app.ExitCore();
    }
    EXPECT_FALSE(std::filesystem::exists(work / "Ordinex.ini"));
    {
        COrdinexApp app;
        ASSERT_EQ(app.InitCore().result, COrdinexApp::StartResult::Started);
        app.MarkStartupComplete();
        app.MarkFatalExit();
        app.ExitCore();
    }
    EXPECT_FALSE(std::filesystem::exists(work / "Ordinex.ini"));
}

TEST_F(StartupTest, HandEditedKeysAndForeignSectionsSurvive) {
    ScopedCwd cwd(work.path());
    WriteFile(work / "Ordinex.ini",
              "[Program]\nAllowOperationCheck=1\nPauseForConfirm=1\n[Mine]\nkeep=yes\n");
    COrdinexApp app;
    ASSERT_EQ(app.InitCore().result, COrdinexApp::StartResult::Started);
    EXPECT_EQ(app.settings.AllowOperationCheck, 1);
    app.MarkStartupComplete();
    app.settings.PauseForConfirm = 0; // as the pause prompt's "switch off" answer does
    app.ExitCore();
    const std::string ini = ReadFile(work / "Ordinex.ini");
    EXPECT_NE(ini.find("AllowOperationCheck=1\nPauseForConfirm=0\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[Mine]\nkeep=yes\n"), std::string::npos);
}

TEST_F(StartupTest, LockFailureIsFatal) {
    setenv("XDG_RUNTIME_DIR", (work / "no/such/folder").c_str(), 1);
    ScopedCwd cwd(work.path());
    COrdinexApp app;
    const auto outcome = app.InitCore();
    EXPECT_EQ(outcome.result, COrdinexApp::StartResult::Fatal);
    EXPECT_EQ(outcome.message, "ミューテックスオブジェクトの作成失敗");
}

} // namespace
