#include "platform/ini_store.h"
#include "settings/frame_placement.h"
#include "settings/program_settings.h"
#include "settings/recent_files.h"

#include <gtest/gtest.h>

using namespace ordinex;

namespace {

std::vector<std::string> KeysOf(const std::string& text, const std::string& section) {
    std::vector<std::string> keys;
    std::string current;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto end = text.find('\n', pos);
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line[0] == '[')
            current = line.substr(1, line.size() - 2);
        else if (current == section && line.find('=') != std::string::npos)
            keys.push_back(line.substr(0, line.find('=')));
    }
    return keys;
}

TEST(ProgramSettings, DefaultsFromAnEmptyFile) {
    IniStore ini;
    ProgramSettings s;
    s.SaveSetting = 0;
    s.ReadWindowSetting = 0;
    LoadProgramSettings(ini, s);
    EXPECT_EQ(s.ReadWindowSetting, 1);
    EXPECT_EQ(s.SaveSetting, 2);
    EXPECT_EQ(s.ShowWarningDialogSetting, 1);
    EXPECT_EQ(s.WarningLogSetting, 0);
    EXPECT_EQ(s.UseHttpsSetting, 1);
    EXPECT_EQ(s.HttpTreeListExtensionOptionSetting[0], 1);
    EXPECT_EQ(s.HttpTreeListExtensionOptionSetting[5], 0);
    EXPECT_EQ(s.HttpTreeListReadingNumberSetting, 1);
    EXPECT_EQ(s.HttpTreeListNextChoseMaxNumberSetting, 1);
    EXPECT_EQ(s.GetExtensionString(11), "");
}

TEST(ProgramSettings, WritesEveryKeyInOrderButAllowOperationCheck) {
    IniStore ini;
    ProgramSettings s;
    s.AllowOperationCheck = 1;
    SaveProgramSettings(ini, s);
    const std::string text = ini.Serialize();
    const auto program = KeysOf(text, "Program");
    ASSERT_EQ(program.size(), 22u);
    EXPECT_EQ(program.front(), "ReadWindowSetting");
    EXPECT_EQ(program.back(), "PauseByWarning");
    EXPECT_EQ(KeysOf(text, "Download"),
              (std::vector<std::string>{"NotSave0ByteFileSetting", "SaveSetting", "FtpListSaveSetting",
                                        "FtpListSaveHowManyDirectorySetting", "HttpListSaveSetting",
                                        "HttpListSaveHowManyDirectorySetting", "ConnectTimeoutSetting",
                                        "IdleTimeoutSetting", "KeepConnectionSetting", "UseHttpsSetting",
                                        "ResumeSetting", "FtpPassiveSetting", "FtpNameCharsetSetting",
                                        "ParallelTransfersSetting"}));
    const auto tool = KeysOf(text, "Tool");
    ASSERT_EQ(tool.size(), 1u + 2u + 33u + 9u + 3u);
    EXPECT_EQ(tool[0], "HttpTreeListReadingNumberSetting");
    EXPECT_EQ(tool[1], "HttpTreeListExtensionOptionSetting0");
    EXPECT_EQ(tool[2], "HttpTreeListFileSizeSetting0");
    EXPECT_EQ(tool[3], "HttpTreeListExtensionOptionSetting1");
    EXPECT_EQ(tool[4], "HttpTreeListExtensionOptionSetting1String");
    EXPECT_EQ(tool[5], "HttpTreeListFileSizeSetting1");
    EXPECT_EQ(tool[35], "HttpTreeListFileSizeSetting11");
    EXPECT_EQ(tool[36], "HttpTreeListTabMetaSetting");
    EXPECT_EQ(tool[44], "HttpTreeListTabAppletSetting");
    EXPECT_EQ(tool.back(), "HttpListNextChoseAddListSetting");
}

TEST(ProgramSettings, HandEditedAllowOperationCheckSurvivesSaving) {
    IniStore ini;
    ini.Parse("[Program]\nAllowOperationCheck=1\nSaveSetting=9\n");
    ProgramSettings s;
    LoadProgramSettings(ini, s);
    EXPECT_EQ(s.AllowOperationCheck, 1);
    s.AllowOperationCheck = 0;
    SaveProgramSettings(ini, s);
    EXPECT_EQ(ini.GetInt("Program", "AllowOperationCheck", 0), 1);
}

// A choice or count out of range reads as the key's default, in the settings
// file and in a job file alike; the link depth limit is cut to 3.
TEST(ProgramSettings, ValuesOutOfRangeReadAsTheirDefaults) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
        int32_t ProgramSettings::*field;
        int32_t expected;
    } cases[] = {
        {"Download", "SaveSetting", "3", &ProgramSettings::SaveSetting, 2},
        {"Download", "SaveSetting", "-1", &ProgramSettings::SaveSetting, 2},
        {"Download", "SaveSetting", "0", &ProgramSettings::SaveSetting, 0},
        {"Download", "FtpListSaveSetting", "7", &ProgramSettings::FtpListSaveSetting, 0},
        {"Download", "HttpListSaveSetting", "-2", &ProgramSettings::HttpListSaveSetting, 0},
        {"Download", "FtpListSaveHowManyDirectorySetting", "100",
         &ProgramSettings::FtpListSaveHowManyDirectorySetting, 0},
        {"Download", "HttpListSaveHowManyDirectorySetting", "99",
         &ProgramSettings::HttpListSaveHowManyDirectorySetting, 99},
        {"Download", "ConnectTimeoutSetting", "-5", &ProgramSettings::ConnectTimeoutSetting, 30},
        {"Download", "ConnectTimeoutSetting", "0", &ProgramSettings::ConnectTimeoutSetting, 0},
        {"Download", "IdleTimeoutSetting", "99999999", &ProgramSettings::IdleTimeoutSetting, 60},
        {"Download", "ParallelTransfersSetting", "0", &ProgramSettings::ParallelTransfersSetting, 1},
        {"Download", "ParallelTransfersSetting", "17", &ProgramSettings::ParallelTransfersSetting, 1},
        {"Download", "ParallelTransfersSetting", "16", &ProgramSettings::ParallelTransfersSetting, 16},
        {"Tool", "HttpTreeListReadingNumberSetting", "0", &ProgramSettings::HttpTreeListReadingNumberSetting,
         1},
        {"Tool", "HttpTreeListNextChoseMaxNumberSetting", "9",
         &ProgramSettings::HttpTreeListNextChoseMaxNumberSetting, 3},
        {"Tool", "HttpTreeListNextChoseMaxNumberSetting", "-1",
         &ProgramSettings::HttpTreeListNextChoseMaxNumberSetting, 1},
        {"Tool", "HttpListNextChoseSetting", "4", &ProgramSettings::HttpListNextChoseSetting, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        IniStore ini;
        ini.SetString(c.section, c.key, c.value);
        ProgramSettings fromSettings;
        LoadProgramSettings(ini, fromSettings);
        EXPECT_EQ(fromSettings.*c.field, c.expected);
        ProgramSettings fromJob;
        ReadSettingsFromJob(ini, fromJob);
        EXPECT_EQ(fromJob.*c.field, c.expected);
    }
    IniStore ini;
    ini.Parse("[Tool]\nHttpTreeListFileSizeSetting4=-10\n");
    ProgramSettings s;
    LoadProgramSettings(ini, s);
    EXPECT_EQ(s.HttpTreeListFileSizeSetting[4], 0);
}

TEST(ProgramSettings, RoundTripKeepsEveryValue) {
    ProgramSettings s;
    int v = 3;
    for (auto& k : SettingKeys(s)) {
        if (k.textField)
            *k.textField = "ext" + std::to_string(v++);
        else
            *k.intField = v++ % 3; // within every key's range
    }
    IniStore ini;
    SaveProgramSettings(ini, s);
    ProgramSettings back;
    LoadProgramSettings(ini, back);
    s.ClampLoadedValues();
    auto a = SettingKeys(s);
    auto b = SettingKeys(back);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].key == "AllowOperationCheck") {
            EXPECT_EQ(*b[i].intField, 0) << "never written";
            continue;
        }
        if (a[i].textField)
            EXPECT_EQ(*a[i].textField, *b[i].textField) << a[i].key;
        else
            EXPECT_EQ(*a[i].intField, *b[i].intField) << a[i].key;
    }
}

TEST(FramePlacement, DefaultsAndTheReadWindowSwitch) {
    IniStore ini;
    EXPECT_EQ(LoadFramePlacement(ini, "Window", true), FramePlacement{});
    FramePlacement stored;
    stored.showCmd = kShowMaximized;
    stored.left = 100;
    stored.top = 50;
    stored.right = 900;
    stored.bottom = 481;
    stored.minX = -32000;
    SaveFramePlacement(ini, "Window", stored);
    EXPECT_EQ(LoadFramePlacement(ini, "window", true), stored);
    const FramePlacement limited = LoadFramePlacement(ini, "Window", false);
    EXPECT_EQ(limited.showCmd, kShowMaximized) << "the show state is still read";
    EXPECT_EQ(limited.minX, -32000);
    EXPECT_EQ(limited.left, 0);
    EXPECT_EQ(limited.right, 640);
    EXPECT_EQ(limited.bottom, 431);
    EXPECT_EQ(KeysOf(ini.Serialize(), "Window"),
              (std::vector<std::string>{"Flags", "ShowCmd", "Min_X", "Min_Y", "Max_X", "Max_Y", "Left", "Top",
                                        "Right", "Bottom"}));
}

TEST(RecentFiles, NewestFirstAtMostSixteenNoDuplicates) {
    RecentFileList list;
    for (int i = 1; i <= 20; ++i)
        list.Add("/jobs/j" + std::to_string(i) + ".odx");
    list.Add("/jobs/j10.odx");
    ASSERT_EQ(list.Entries().size(), 16u);
    EXPECT_EQ(list.Entries()[0], "/jobs/j10.odx");
    EXPECT_EQ(list.Entries()[1], "/jobs/j20.odx");
    IniStore ini;
    list.Save(ini);
    EXPECT_EQ(ini.GetString("RecentDownloadSettingFileList", "file1", ""), "/jobs/j10.odx");
    EXPECT_EQ(ini.GetString("RecentDownloadSettingFileList", "file16", ""), list.Entries()[15]);
    RecentFileList back;
    back.Load(ini);
    EXPECT_EQ(back.Entries(), list.Entries());
}

TEST(RecentFiles, MenuTextIsShortenedToThirtyCharacters) {
    EXPECT_EQ(RecentFileList::MenuText("/a/b.odx"), "/a/b.odx");
    const std::string shortened = RecentFileList::MenuText("/home/user/very/long/folder/names/here/job.odx");
    EXPECT_LE(shortened.size(), 30u);
    EXPECT_TRUE(shortened.ends_with("/job.odx")) << shortened;
    const std::string japanese =
        RecentFileList::MenuText("/ダウンロード/設定ファイル/とても長い名前のフォルダ/連番ジョブ.odx");
    EXPECT_TRUE(japanese.ends_with("連番ジョブ.odx")) << japanese;
}

} // namespace
