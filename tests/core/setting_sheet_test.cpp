// The settings sheet's page rules and caption wrapping, without windows.
#include "platform/caption_wrap.h"
#include "settings/setting_pages.h"

#include <gtest/gtest.h>

#include <set>

using namespace ordinex;
using namespace ordinex::sheet;

namespace {

// Latin characters are one unit wide, every other character two.
int Units(std::string_view text) {
    int w = 0;
    for (unsigned char c : text)
        w += c < 0x80 ? 1 : (c & 0xC0) == 0xC0 ? 2 : 0;
    return w;
}

std::string Unwrapped(std::string text) {
    std::erase(text, '\n');
    return text;
}

TEST(CaptionWrap, BreaksWhereJapaneseMayBreak) {
    struct Row {
        const char* name;
        const char* caption;
        int width;
        const char* wrapped;
    } rows[] = {
        {"fits", "起動時に復元する", 16, "起動時に復元する"},
        {"between kanji and kana", "起動時に前回終了時の位置", 10, "起動時に前\n回終了時の\n位置"},
        {"not before a comma", "起動時に、前回", 8, "起動時\nに、前回"},
        {"katakana word kept", "ダイアログを表示", 8, "ダイアログ\nを表示"},
        {"latin word kept", "ログOrdinex.logを記録", 12, "ログ\nOrdinex.log\nを記録"},
        {"prefers a space late in the line", "確認する (以下は有効)", 16, "確認する \n(以下は有効)"},
        {"prefers before a bracket", "表示する(無効な場合)", 14, "表示する\n(無効な場合)"},
        {"overlong word on its own line", "あhttp://example.org/aい", 8, "あ\nhttp://example.org/a\nい"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(WrapCaption(r.caption, r.width, Units), r.wrapped) << r.name;
}

TEST(CaptionWrap, EverySheetCaptionComesBackWholeAndWithinWidth) {
    std::vector<std::string> captions;
    for (const ProgramRow& r : ProgramRows())
        captions.push_back(r.caption);
    for (const Label& l : ExtractLabels())
        captions.push_back(l.text);
    for (const ChoiceGroup& g : DownloadChoiceGroups())
        for (const Label& c : g.choices)
            captions.push_back(c.text);
    for (const std::string& caption : captions)
        for (int width : {20, 40, 60, 80}) {
            const std::string wrapped = WrapCaption(caption, width, Units);
            EXPECT_EQ(Unwrapped(wrapped), caption) << width;
            std::size_t start = 0;
            while (start <= wrapped.size()) {
                const std::size_t end = std::min(wrapped.find('\n', start), wrapped.size());
                const std::string line = wrapped.substr(start, end - start);
                // Only a piece that cannot break may overflow: none of these has one that long.
                EXPECT_LE(Units(line), width + 1) << line;
                start = end + 1;
            }
        }
}

TEST(ProgramPage, WarningAndStepByStepOptionsFollowTheirSwitches) {
    struct Row {
        bool allow, warnings, pause;
        bool warningChoices, operationOptions, pauseChoices;
    } rows[] = {
        {false, true, false, true, false, false},  {false, false, true, false, false, false},
        {true, true, false, true, true, false},    {true, false, true, false, true, true},
    };
    for (const Row& r : rows) {
        ProgramSettings s;
        s.AllowOperationCheck = r.allow;
        s.ShowWarningDialogSetting = r.warnings;
        s.PauseForConfirm = r.pause;
        const Enabling e = ProgramPageModel(s).ControlEnabling();
        const auto trace = testing::Message() << "allow " << r.allow << " warnings " << r.warnings << " pause " << r.pause;
        for (int id : {1049, 1037, 1038, 1039})
            EXPECT_EQ(e.at(id), r.warningChoices) << trace << " id " << id;
        for (int id : {1028, 1035, 1021})
            EXPECT_EQ(e.at(id), r.operationOptions) << trace << " id " << id;
        for (int id : {1034, 1022, 1025, 1027})
            EXPECT_EQ(e.at(id), r.pauseChoices) << trace << " id " << id;
    }
    // A click re-decides at once.
    ProgramSettings s;
    s.AllowOperationCheck = 1;
    ProgramPageModel page(s);
    page.SetChecked(1021, true);
    page.SetChecked(1036, false);
    EXPECT_TRUE(page.ControlEnabling().at(1034));
    EXPECT_FALSE(page.ControlEnabling().at(1038));
}

TEST(ProgramPage, WritesTheTwentyTwoFlagsAsZeroOrOne) {
    ProgramSettings s;
    s.WarningLogSetting = 5; // any non-zero value is on
    s.AllowOperationCheck = 1;
    ProgramPageModel page(s);
    EXPECT_TRUE(page.Checked(1040));
    page.SetChecked(1019, false);
    page.SetChecked(1056, true);
    ProgramSettings out = s;
    page.Write(out);
    EXPECT_EQ(out.ReadWindowSetting, 0);
    EXPECT_EQ(out.UseWindowsRuleBrowserSetting, 1);
    EXPECT_EQ(out.WarningLogSetting, 1);
    EXPECT_EQ(out.AllowOperationCheck, 1) << "not the page's to change";
    std::set<int> keys;
    for (const ProgramRow& r : ProgramRows())
        if (r.key)
            keys.insert(r.id);
    EXPECT_EQ(keys.size(), 22u);
}

TEST(DownloadPage, TypingACountSelectsTheMiddleChoiceOfItsGroupOnly) {
    ProgramSettings s;
    s.SaveSetting = 0;
    s.FtpListSaveSetting = 2;
    s.HttpListSaveSetting = 0;
    DownloadPageModel page(s);
    page.SetCountText(1, "5");
    EXPECT_EQ(page.Choice(1), 1);
    EXPECT_EQ(page.Choice(0), 0);
    EXPECT_EQ(page.Choice(2), 0);
    page.SetCountText(2, "");
    ProgramSettings out;
    page.Write(out);
    EXPECT_EQ(out.FtpListSaveSetting, 1);
    EXPECT_EQ(out.FtpListSaveHowManyDirectorySetting, 5);
    EXPECT_EQ(out.HttpListSaveSetting, 1);
    EXPECT_EQ(out.HttpListSaveHowManyDirectorySetting, 0) << "an empty box counts as 0";
    EXPECT_EQ(out.SaveSetting, 0);
}

TEST(DownloadPage, StoredValuesOutsideTheControlsRanges) {
    ProgramSettings s;
    s.SaveSetting = 7;
    s.FtpListSaveHowManyDirectorySetting = 150;
    s.HttpListSaveHowManyDirectorySetting = -3;
    s.NotSave0ByteFileSetting = 9;
    DownloadPageModel page(s);
    EXPECT_EQ(page.CountText(1), "99") << "held within the spin button's range";
    EXPECT_EQ(page.CountText(2), "0");
    EXPECT_TRUE(page.OptionChecked(0));
    ProgramSettings out;
    page.Write(out);
    EXPECT_EQ(out.SaveSetting, 7) << "kept until the user picks a choice";
    EXPECT_EQ(out.NotSave0ByteFileSetting, 1);
    page.SetChoice(0, 1);
    page.Write(out);
    EXPECT_EQ(out.SaveSetting, 1);
}

TEST(ExtractPage, AllExtensionsRowAndRowChecksDecideTheBoxes) {
    ProgramSettings s;
    s.HttpTreeListExtensionOptionSetting[3] = 1;
    ExtractPageModel page(s); // row 0 is checked by default
    Enabling e = page.ControlEnabling();
    for (int id : {1084, 1120, 1086})
        EXPECT_TRUE(e.at(id)) << id;
    for (int id : {1115, 1092, 1116, 1119, 1118, 1126, 1094, 1127, 1166, 1104, 1170})
        EXPECT_FALSE(e.at(id)) << id;

    page.SetRowChecked(0, false);
    e = page.ControlEnabling();
    for (int id : {1084, 1120, 1086, 1092, 1116, 1119, 1118, 1104})
        EXPECT_FALSE(e.at(id)) << id;
    for (int id : {1115, 1166, 1126, 1094, 1127, 1130, 1129})
        EXPECT_TRUE(e.at(id)) << "row 3 is checked; every row's check box opens: " << id;
}

TEST(ExtractPage, DepthIsHeldToTheMaximumAndZeroUnchecksTheListOption) {
    struct Row {
        int max;
        const char* typed;
        const char* shown;
        bool addToList, addEnabled;
    } rows[] = {
        {1, "5", "1", true, true}, {3, "3", "3", true, true}, {1, "0", "0", false, false},
        {0, "2", "0", false, false}, {2, "", "", false, false}, {9, "3", "3", true, true},
    };
    for (const Row& r : rows) {
        ProgramSettings s;
        s.HttpTreeListNextChoseMaxNumberSetting = r.max;
        s.HttpListNextChoseSetting = 1;
        s.HttpListNextChoseAddListSetting = 1;
        ExtractPageModel page(s);
        page.SetDepthText(r.typed);
        EXPECT_EQ(page.DepthText(), r.shown) << r.max << " " << r.typed;
        EXPECT_EQ(page.AddToList(), r.addToList) << r.max << " " << r.typed;
        EXPECT_EQ(page.ControlEnabling().at(1080), r.addEnabled) << r.max << " " << r.typed;
    }
    ProgramSettings s;
    s.HttpListNextChoseSetting = 0;
    s.HttpListNextChoseAddListSetting = 1;
    EXPECT_FALSE(ExtractPageModel(s).AddToList()) << "a depth of 0 unchecks it from the start";
}

TEST(ExtractPage, WritesRowsTagsAndDepth) {
    ProgramSettings s;
    s.HttpTreeListFileSizeSetting[0] = 1200000;
    s.HttpTreeListFileSizeSetting[4] = -5;
    s.HttpListNextChoseSetting = 2;
    ExtractPageModel page(s);
    EXPECT_EQ(page.SizeText(0), "1,200,000");
    EXPECT_EQ(page.SizeText(4), "0");
    page.SetRowChecked(2, true);
    page.SetExtension(2, " jpg ");
    page.SetSizeText(2, "12,345");
    page.SetSizeText(3, "");
    page.SetTagChecked(0, false);
    ProgramSettings out;
    page.Write(out);
    EXPECT_EQ(out.HttpTreeListExtensionOptionSetting[2], 1);
    EXPECT_EQ(out.GetExtensionString(2), " jpg ") << "stored as typed";
    EXPECT_EQ(out.HttpTreeListFileSizeSetting[0], 1200000);
    EXPECT_EQ(out.HttpTreeListFileSizeSetting[2], 12345);
    EXPECT_EQ(out.HttpTreeListFileSizeSetting[3], 0);
    EXPECT_EQ(out.HttpTreeListTabMetaSetting, 0);
    EXPECT_EQ(out.HttpTreeListTabAppletSetting, 1);
    EXPECT_EQ(out.HttpListNextChoseSetting, 2);
    page.SetSizeText(1, "99,999,999,999");
    page.Write(out);
    EXPECT_EQ(out.HttpTreeListFileSizeSetting[1], INT32_MAX) << "a pasted giant stays a 32-bit count";
}

TEST(SettingSheet, OnlyPagesThatWereShownWrite) {
    ProgramSettings s;
    s.AllowOperationCheck = 1;
    for (int first : {kProgramPage, kDownloadPage, kExtractPage}) {
        SettingSheetModel sheet(s);
        sheet.MarkShown(first);
        sheet.program.SetChecked(1019, false);
        sheet.download.SetChoice(0, 0);
        sheet.extract.SetRowChecked(0, false);
        ProgramSettings out = s;
        sheet.Write(out);
        EXPECT_EQ(out.ReadWindowSetting, first == kProgramPage ? 0 : 1) << first;
        EXPECT_EQ(out.SaveSetting, first == kDownloadPage ? 0 : 2) << first;
        EXPECT_EQ(out.HttpTreeListExtensionOptionSetting[0], first == kExtractPage ? 0 : 1) << first;
    }
}

} // namespace
