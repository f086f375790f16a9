// Job files, the settings file and destinations that are hostile or odd:
// nothing waits forever, nothing outside the intended file is touched.
#include "app/ordinex_app.h"
#include "job/job_file.h"
#include "platform/ini_store.h"
#include "recording_ui.h"
#include "settings/program_settings.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace ordinex;
using namespace ordinex::test;
namespace fs = std::filesystem;

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(JobFileSafety, ControlCharactersInTheJobTextsAreRefused) {
    TempDir dir;
    const struct {
        std::string line;
        const char* key;
    } cases[] = {
        {std::string("FolderBaseText=/tmp/a\0b", 23), "FolderBaseText"},
        {"FolderExpansionText=x\x1b[2J.jpg", "FolderExpansionText"},
        {"UrlBaseText=http://h/\x07", "UrlBaseText"},
        {"AccessPasswordText=pw\x01x", "AccessPasswordText"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string path = dir / "job.odx";
        WriteFile(path, "[UrlFolder]\n" + c.line + "\n");
        Job job;
        job.urlBase = "untouched";
        ProgramSettings settings;
        const JobFileResult result = ReadJobFile(path, job, settings);
        EXPECT_EQ(result.status, JobFileResult::Status::Failed);
        EXPECT_EQ(result.message,
                  path + " の " + c.key + " に制御文字が含まれているため、このジョブは使えません。");
        EXPECT_EQ(job.urlBase, "untouched");
    }
}

TEST(JobFileSafety, FifoOrDeviceIsReportedWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir / "pipe.odx").c_str(), 0600), 0);
    for (const std::string& path : {dir / "pipe.odx", std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        Job job;
        ProgramSettings settings;
        const JobFileResult result = ReadJobFile(path, job, settings);
        EXPECT_EQ(result.status, JobFileResult::Status::Failed);
        EXPECT_EQ(result.message, path + " は通常のファイルではないため、読み込めません。");
    }
}

TEST(JobFileSafety, HugeFileIsNotRead) {
    TempDir dir;
    const std::string path = dir / "huge.odx";
    { std::ofstream(path) << "[UrlFolder]\n"; }
    std::filesystem::resize_file(path, (16 << 20) + 1);
    Job job;
    ProgramSettings settings;
    EXPECT_EQ(ReadJobFile(path, job, settings).message, path + " は大きすぎるため、読み込めません。");
}

TEST(JobFileSafety, SavingKeepsLinksRefusesReadOnlyFilesAndHidesThePassword) {
    TempDir dir;
    Job job;
    job.password = "pw";
    ProgramSettings settings;

    // A new file is the owner's alone.
    ASSERT_TRUE(WriteJobFile(dir / "new.odx", job, settings).ok());
    EXPECT_EQ(ModeOf(dir / "new.odx"), 0600u);
    // An existing file loses what is looser than 0600 and keeps what is stricter.
    WriteFile(dir / "loose.odx", "x");
    chmod((dir / "loose.odx").c_str(), 0644);
    ASSERT_TRUE(WriteJobFile(dir / "loose.odx", job, settings).ok());
    EXPECT_EQ(ModeOf(dir / "loose.odx"), 0600u);
    WriteFile(dir / "strict.odx", "x");
    chmod((dir / "strict.odx").c_str(), 0200);
    ASSERT_TRUE(WriteJobFile(dir / "strict.odx", job, settings).ok());
    EXPECT_EQ(ModeOf(dir / "strict.odx"), 0200u);

    // A link stays a link; its target (even one not there yet) gets the job.
    fs::create_directory(dir / "real");
    fs::create_symlink("real/target.odx", dir / "link.odx");
    ASSERT_TRUE(WriteJobFile(dir / "link.odx", job, settings).ok());
    ASSERT_TRUE(WriteJobFile(dir / "link.odx", job, settings).ok());
    EXPECT_TRUE(fs::is_symlink(dir / "link.odx"));
    EXPECT_NE(ReadFile(dir / "real/target.odx").find("AccessPasswordText=pw\n"), std::string::npos);

    // A read-only file is refused, not replaced.
    WriteFile(dir / "ro.odx", "keep me");
    chmod((dir / "ro.odx").c_str(), 0444);
    const JobFileResult result = WriteJobFile(dir / "ro.odx", job, settings);
    EXPECT_EQ(result.message, (dir / "ro.odx") + " へのｱｸｾｽは拒否されました。");
    EXPECT_EQ(ReadFile(dir / "ro.odx"), "keep me");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 6) << "no temporary left";
}

TEST(SettingsFileSafety, FifoOrFolderAsOrdinexIniGetsAMessageAndIsLeftAlone) {
    TempDir dir;
    ScopedCwd cwd(dir.path());
    for (bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "fifo" : "folder");
        fs::remove_all(dir / "Ordinex.ini");
        if (fifo)
            ASSERT_EQ(mkfifo((dir / "Ordinex.ini").c_str(), 0600), 0);
        else
            fs::create_directory(dir / "Ordinex.ini");
        COrdinexApp app;
        ScriptedPrompter prompter;
        app.SetPrompter(&prompter);
        app.LoadSettingsFromCurrentDirectory();
        ASSERT_EQ(prompter.asked.size(), 1u);
        EXPECT_EQ(prompter.asked[0],
                  "box:" + (dir / "Ordinex.ini") +
                      " は通常のファイルではないため、読み込めません。既定の設定で起動します。");
        EXPECT_EQ(app.settings.SaveSetting, 2);
        app.MarkStartupComplete();
        app.ExitCore();
        EXPECT_EQ(fifo, fs::is_fifo(dir / "Ordinex.ini")) << "never replaced at exit";
    }
}

TEST(SettingsFileSafety, SettingsFileIsWrittenWithModeSixHundred) {
    TempDir dir;
    IniStore ini;
    ini.SetString("UrlFolder", "AccessPasswordText", "pw");
    ASSERT_TRUE(ini.Save(dir / "Ordinex.ini"));
    EXPECT_EQ(ModeOf(dir / "Ordinex.ini"), 0600u);
}

TEST(Destinations, ControlCharactersAndExhaustedNamesAreInvalidTargets) {
    TempDir dir;
    COrdinexApp app;
    app.folderTemplate = dir / "a\x1b[2Jb/f.jpg";
    app.targetValid = true;
    app.ComposeDestinationPath();
    EXPECT_FALSE(app.targetValid);
    EXPECT_EQ(app.targetError, (dir / "a?[2Jb/f.jpg") + "がファイル名として正しくありません");
    EXPECT_FALSE(fs::exists(dir / "a\x1b[2Jb")) << "no folder is made for it";

    WriteFile(dir / "f.jpg", "");
    for (int n = 1; n <= COrdinexApp::kMaxUniqueNameTries; ++n)
        WriteFile(dir / ("f(" + std::to_string(n) + ").jpg"), "");
    EXPECT_EQ(COrdinexApp::MakeUniqueFileName(dir / "f.jpg"), "");
    app.folderTemplate = dir / "f.jpg";
    app.targetValid = true;
    app.ComposeDestinationPath();
    EXPECT_FALSE(app.targetValid);
}

} // namespace
