// The settings sheet's page rules and caption wrapping, without windows.
#include "platform/caption_wrap.h"
#include "settings/setting_pages.h"

#include <gtest/gtest.h>

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

TEST(CaptionWrap, BreaksWhereJapaneseMayBreak) {
    struct Row {
        const char *name, *caption;
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
    // Every caption of the sheet comes back whole once the breaks are removed.
    for (const ProgramRow& r : ProgramRows())
        for (int width : {20, 50}) {
            std::string text = WrapCaption(r.caption, width, Units);
            std::erase(text, '\n');
            EXPECT_EQ(text, r.caption) << width;
        }
}

TEST(SettingPages, StepByStepOptionsNeedAllowOperationCheckAndWarningsFollow1036) {
    struct Row {
        bool allow, warnings, pause;
        bool warningChoices, operationOptions, pauseChoices;
    } rows[] = {
        {false, true, true, true, false, false},
        {true, false, false, false, true, false},
        {true, true, true, true, true, true},
    };
    for (const Row& r : rows) {
        ProgramSettings s;
        s.AllowOperationCheck = r.allow;
        s.ShowWarningDialogSetting = r.warnings;
        s.PauseForConfirm = r.pause;
        const Enabling e = ProgramPageModel(s).ControlEnabling();
        for (int id : {1049, 1037, 1038, 1039})
            EXPECT_EQ(e.at(id), r.warningChoices) << r.allow << r.warnings << r.pause << " " << id;
        for (int id : {1028, 1035, 1021})
            EXPECT_EQ(e.at(id), r.operationOptions) << r.allow << r.warnings << r.pause << " " << id;
        for (int id : {1034, 1022, 1025, 1027})
            EXPECT_EQ(e.at(id), r.pauseChoices) << r.allow << r.warnings << r.pause << " " << id;
    }
}

TEST(SettingPages, DepthIsHeldToTheMaximumAndZeroUnchecksTheListOption) {
    struct Row {
        int max;
        const char *typed, *shown;
        bool addToList;
    } rows[] = {
        {1, "5", "1", true},  {3, "3", "3", true}, {1, "0", "0", false},
        {0, "2", "0", false}, {2, "", "", false},  {9, "3", "3", true},
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
        EXPECT_EQ(page.ControlEnabling().at(1080), r.addToList) << r.max << " " << r.typed;
    }
}

TEST(SettingPages, OkWritesTheShownPagesOnlyAsTheirControlsHoldThem) {
    for (int first : {kProgramPage, kDownloadPage, kExtractPage}) {
        ProgramSettings s;
        s.AllowOperationCheck = 1;
        s.WarningLogSetting = 5;
        s.SaveSetting = 7;
        s.FtpListSaveHowManyDirectorySetting = 150;
        s.HttpTreeListFileSizeSetting[0] = 1200000;
        s.HttpTreeListFileSizeSetting[4] = -5;
        SettingSheetModel sheet(s);
        sheet.MarkShown(first);
        EXPECT_EQ(sheet.download.CountText(1), "99") << "held within the spin button's range";
        EXPECT_EQ(sheet.extract.SizeText(0), "1,200,000");
        EXPECT_EQ(sheet.extract.SizeText(4), "0");
        sheet.program.SetChecked(1019, false);
        sheet.download.SetCountText(2, "");
        sheet.extract.SetExtension(2, " jpg ");
        sheet.extract.SetSizeText(3, "99,999,999,999");
        // The Download page's options: keep connections, the two waits, HTTPS.
        sheet.download.SetOptionChecked(1, false);
        sheet.download.SetOptionText(2, "90000");
        sheet.download.SetOptionText(3, "");
        sheet.download.SetOptionChecked(4, false);
        sheet.download.SetOptionText(8, "40");
        ProgramSettings out = s;
        sheet.Write(out);
        const bool program = first == kProgramPage, download = first == kDownloadPage,
                   extract = first == kExtractPage;
        EXPECT_EQ(out.ReadWindowSetting, program ? 0 : 1);
        EXPECT_EQ(out.WarningLogSetting, program ? 1 : 5) << "a check box writes 0 or 1";
        EXPECT_EQ(out.AllowOperationCheck, 1);
        EXPECT_EQ(out.SaveSetting, 7) << "a value outside the choices is kept until one is picked";
        EXPECT_EQ(out.FtpListSaveHowManyDirectorySetting, download ? 99 : 150);
        EXPECT_EQ(out.HttpListSaveSetting, download ? 1 : 0) << "typing a count picks the middle choice";
        EXPECT_EQ(out.GetExtensionString(2), extract ? " jpg " : "") << "stored as typed";
        EXPECT_EQ(out.HttpTreeListFileSizeSetting[3], extract ? INT32_MAX : 0)
            << "a pasted giant stays 32-bit";
        EXPECT_EQ(out.HttpTreeListFileSizeSetting[4], extract ? 0 : -5);
        EXPECT_EQ(out.KeepConnectionSetting, download ? 0 : 1);
        EXPECT_EQ(out.ConnectTimeoutSetting, download ? 86400 : 30) << "held to a day";
        EXPECT_EQ(out.IdleTimeoutSetting, download ? 0 : 60) << "an empty box is no limit";
        EXPECT_EQ(out.UseHttpsSetting, download ? 0 : 1);
        EXPECT_EQ(out.ParallelTransfersSetting, download ? 16 : 1) << "held to sixteen";
    }
}

} // namespace
