#include "job/job_file.h"
#include "platform/ini_store.h"
#include "settings/program_settings.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ordinex;
using ordinex::test::ReadFile;
using ordinex::test::TempDir;
using ordinex::test::WriteFile;

namespace {

Job SampleJob() {
    Job job;
    job.urlBase = " http://host/img ";
    job.urlExpansion = "*.jpg";
    job.userName = "user";
    job.password = " secret ";
    job.folderBase = "/tmp/dl";
    job.folderExpansion = "*.jpg";
    job.ranges[0] = {1, "001", "010 "};
    job.ranges[1] = {0, "a", "c"};
    return job;
}

TEST(JobFile, RoundTripTrimsTheSixTextsAndKeepsRangeTexts) {
    TempDir dir;
    ProgramSettings settings;
    const std::string path = dir / "job.odx";
    ASSERT_TRUE(WriteJobFile(path, SampleJob(), settings).ok());
    Job back;
    ASSERT_TRUE(ReadJobFile(path, back, settings).ok());
    EXPECT_EQ(back.urlBase, "http://host/img");
    EXPECT_EQ(back.password, "secret");
    EXPECT_EQ(back.ranges[0], (RangeFields{1, "001", "010 "}));
    EXPECT_EQ(back.ranges[1], (RangeFields{0, "a", "c"}));
    EXPECT_EQ(back.ranges[5], RangeFields{});
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.find("[UrlFolder]\nUrlBaseText=http://host/img\nUrlExpansionText=*.jpg\n"), 0u);
    EXPECT_NE(text.find("AccessPasswordText=secret\n"), std::string::npos) << "stored in clear";
    EXPECT_NE(text.find("[Ordinseq]\nWildCard1Check=1\nWildCard1Start=001\nWildCard1End=010 \n"),
              std::string::npos);
    EXPECT_NE(text.find("AllowOperationCheck=0\n[Download]"), std::string::npos);
    EXPECT_NE(text.find("IdleTimeoutSetting=60\nKeepConnectionSetting=1\nUseHttpsSetting=1\nResumeSetting="
                        "1\nFtpPassiveSetting=1\n"
                        "FtpNameCharsetSetting=UTF-8\nParallelTransfersSetting=1\n[Tool]"),
              std::string::npos);
}

TEST(JobFile, SavingReplacesTheWholeFile) {
    TempDir dir;
    ProgramSettings settings;
    const std::string path = dir / "job.odx";
    WriteFile(path, "[Foreign]\nx=1\n[UrlFolder]\nUrlBaseText=old\nExtra=1\n");
    ASSERT_TRUE(WriteJobFile(path, SampleJob(), settings).ok());
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.find("Foreign"), std::string::npos);
    EXPECT_EQ(text.find("Extra"), std::string::npos);
}

TEST(JobFile, LongTextsComeBackCutTo259Bytes) {
    TempDir dir;
    ProgramSettings settings;
    Job job;
    job.urlBase = "http://host/" + std::string(288, 'x');
    ASSERT_TRUE(WriteJobFile(dir / "j.odx", job, settings).ok());
    EXPECT_NE(ReadFile(dir / "j.odx").find(job.urlBase), std::string::npos) << "saved whole";
    Job back;
    ASSERT_TRUE(ReadJobFile(dir / "j.odx", back, settings).ok());
    EXPECT_EQ(back.urlBase, job.urlBase.substr(0, 259));
}

TEST(JobFile, FlagsAreOnOnlyForExactlyOne) {
    TempDir dir;
    WriteFile(dir / "j.odx",
              "[Ordinseq]\nWildCard1Check=1\nWildCard2Check=2\nWildCard3Check= 1\nWildCard4Check=on\n");
    ProgramSettings settings;
    Job job;
    ASSERT_TRUE(ReadJobFile(dir / "j.odx", job, settings).ok());
    EXPECT_EQ(job.ranges[0].check, 1);
    EXPECT_EQ(job.ranges[1].check, 0);
    EXPECT_EQ(job.ranges[2].check, 0);
    EXPECT_EQ(job.ranges[3].check, 0);
}

TEST(JobFile, OnlyUrlFolderOpensWithEmptyRanges) {
    TempDir dir;
    WriteFile(dir / "j.odx", "[UrlFolder]\nUrlBaseText=http://h/\n");
    ProgramSettings settings;
    Job job;
    job.ranges[2] = {1, "x", "y"};
    ASSERT_TRUE(ReadJobFile(dir / "j.odx", job, settings).ok());
    EXPECT_EQ(job.urlBase, "http://h/");
    for (const auto& r : job.ranges)
        EXPECT_EQ(r, RangeFields{});
}

TEST(JobFile, EmptyMissingAndFolderPathsFail) {
    TempDir dir;
    ProgramSettings settings;
    Job job;
    WriteFile(dir / "empty.odx", "");
    EXPECT_EQ(ReadJobFile(dir / "empty.odx", job, settings).status, JobFileResult::Status::Empty);
    const auto missing = ReadJobFile(dir / "none.odx", job, settings);
    EXPECT_EQ(missing.status, JobFileResult::Status::Failed);
    EXPECT_EQ(missing.message, (dir / "none.odx") + " が見つかりませんでした。");
    const auto badPath = ReadJobFile(dir / "nofolder/x.odx", job, settings);
    EXPECT_EQ(badPath.message, (dir / "nofolder/x.odx") + " には無効なﾊﾟｽが含まれています。");
    EXPECT_EQ(ReadJobFile(dir.path(), job, settings).status, JobFileResult::Status::Failed);
}

TEST(JobFile, FailedSaveLeavesTheOldFileWhole) {
    TempDir dir;
    ProgramSettings settings;
    std::filesystem::create_directory(dir / "taken.odx");
    const auto result = WriteJobFile(dir / "taken.odx", SampleJob(), settings);
    EXPECT_EQ(result.status, JobFileResult::Status::Failed);
    EXPECT_EQ(result.message, (dir / "taken.odx") + " へのｱｸｾｽは拒否されました。");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.odx"));
    const auto noFolder = WriteJobFile(dir / "missing/j.odx", SampleJob(), settings);
    EXPECT_EQ(noFolder.message, (dir / "missing/j.odx") + " には無効なﾊﾟｽが含まれています。");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary left";
}

TEST(JobFile, SettingsAreTakenOverOnlyWhenTheFileSaysSo) {
    TempDir dir;
    ProgramSettings saved;
    saved.SaveSetting = 0;
    saved.WarningLogSetting = 1;
    saved.SetExtensionString(2, "png");
    saved.UseHttpsSetting = 0;
    ASSERT_TRUE(WriteJobFile(dir / "off.odx", SampleJob(), saved).ok());
    saved.ReadProgramSettingByOpen = 1;
    ASSERT_TRUE(WriteJobFile(dir / "on.odx", SampleJob(), saved).ok());

    ProgramSettings current;
    current.AllowOperationCheck = 1;
    Job job;
    ASSERT_TRUE(ReadJobFile(dir / "off.odx", job, current).ok());
    EXPECT_EQ(current.SaveSetting, 2) << "left alone";
    EXPECT_EQ(current.UseHttpsSetting, 1) << "left alone";
    ASSERT_TRUE(ReadJobFile(dir / "on.odx", job, current).ok());
    EXPECT_EQ(current.SaveSetting, 0);
    EXPECT_EQ(current.WarningLogSetting, 1);
    EXPECT_EQ(current.GetExtensionString(2), "png");
    EXPECT_EQ(current.UseHttpsSetting, 0);
    EXPECT_EQ(current.AllowOperationCheck, 1) << "never taken over";
}

TEST(JobFile, KeysMissingFromATakeOverFileComeBackAsDefaults) {
    TempDir dir;
    WriteFile(dir / "j.odx", "[Program]\nReadProgramSettingByOpen=1\nShowWarningDialogSetting=0\n"
                             "AllowOperationCheck=1\n[Tool]\nHttpTreeListNextChoseMaxNumberSetting=8\n"
                             "HttpTreeListFileSizeSetting4=12x\n");
    ProgramSettings current;
    current.SaveSetting = 0;
    current.NotSave0ByteFileSetting = 1;
    current.UseHttpsSetting = 0;
    Job job;
    ASSERT_TRUE(ReadJobFile(dir / "j.odx", job, current).ok());
    EXPECT_EQ(current.SaveSetting, 2);
    EXPECT_EQ(current.NotSave0ByteFileSetting, 0);
    EXPECT_EQ(current.UseHttpsSetting, 1) << "HTTPS unless the file turns it off";
    EXPECT_EQ(current.ShowWarningDialogSetting, 0);
    EXPECT_EQ(current.AllowOperationCheck, 0);
    EXPECT_EQ(current.HttpTreeListNextChoseMaxNumberSetting, 3);
    EXPECT_EQ(current.HttpTreeListFileSizeSetting[4], 12);
}

TEST(JobFile, ShiftJisJobFilesOpenAsJapaneseText) {
    TempDir dir;
    // FolderExpansionText = "画像" in Shift-JIS.
    WriteFile(dir / "j.odx", "[UrlFolder]\nFolderExpansionText=\x89\xe6\x91\x9c\n");
    ProgramSettings settings;
    Job job;
    ASSERT_TRUE(ReadJobFile(dir / "j.odx", job, settings).ok());
    EXPECT_EQ(job.folderExpansion, "画像");
}

TEST(LastJob, SettingsFileKeepsTextsAsTypedWithIntegerChecks) {
    IniStore ini;
    WriteJobSections(ini, SampleJob(), JobEncoding::SettingsFile);
    EXPECT_EQ(ini.GetString("UrlFolder", "UrlBaseText", ""), " http://host/img ");
    EXPECT_EQ(ini.GetString("Ordinseq", "WildCard1Check", ""), "1");
    ini.SetString("Ordinseq", "WildCard2Check", "2");
    const Job back = ReadJobSections(ini, JobEncoding::SettingsFile);
    EXPECT_EQ(back.urlBase, " http://host/img ");
    EXPECT_EQ(back.ranges[1].check, 2) << "an integer here, not a flag text";
}

} // namespace
