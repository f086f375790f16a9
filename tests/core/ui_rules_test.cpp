// The window rules that need no drawing: edit filters, enabling, command
// availability, size limits, command ids and the form's geometry.
#include "ui/command_ids.h"
#include "ui/edit_filters.h"
#include "ui/form_geometry.h"
#include "ui/form_ids.h"
#include "ui/form_rules.h"
#include "ui/frame_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace ordinex {
namespace {

struct FilterRow {
    const char* name;
    const wchar_t* text;
    long selFrom, selTo;
    wchar_t ch;
    bool accepted;
};

TEST(RangeEditFilter, DecidesEachTypedCharacter) {
    const FilterRow rows[] = {
        {"digit after digits", L"12", 2, 2, L'3', true},
        {"letter after digits", L"12", 2, 2, L'a', false},
        {"upper after digits", L"12", 2, 2, L'A', false},
        {"lower after lower", L"ab", 2, 2, L'c', true},
        {"digit after lower", L"ab", 2, 2, L'1', false},
        {"upper after lower", L"ab", 2, 2, L'C', false},
        {"upper after upper", L"AB", 2, 2, L'C', true},
        {"lower after upper", L"AB", 2, 2, L'c', false},
        {"anything into empty", L"", 0, 0, L'Z', true},
        {"anything into mixed", L"a1", 2, 2, L'Q', true},
        {"select all replaces class", L"12", 0, 2, L'a', true},
        {"partial selection keeps class", L"12", 0, 1, L'a', false},
        {"sixth character", L"abcde", 5, 5, L'f', true},
        {"seventh character", L"abcdef", 6, 6, L'g', false},
        {"seventh with all selected", L"abcdef", 0, 6, L'g', true},
        {"punctuation", L"12", 2, 2, L'-', false},
        {"space", L"", 0, 0, L' ', false},
        {"full-width digit", L"", 0, 0, L'１', false},
        {"dot passes", L"abcdef", 6, 6, L'.', true},
        {"backspace passes", L"abcdef", 6, 6, 8, true},
        {"tab passes", L"12", 2, 2, 9, true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(RangeEditAccepts(r.text, r.selFrom, r.selTo, r.ch), r.accepted) << r.name;
}

TEST(GroupedNumberFilter, DecidesEachTypedCharacter) {
    const FilterRow rows[] = {
        {"digit", L"1,234", 5, 5, L'5', true},
        {"letter", L"1", 1, 1, L'a', false},
        {"comma typed", L"1", 1, 1, L',', false},
        {"minus", L"", 0, 0, L'-', false},
        {"ninth character", L"1,234,56", 8, 8, L'7', true},
        {"tenth character", L"1,234,567", 9, 9, L'8', false},
        {"tenth with all selected", L"1,234,567", 0, 9, L'8', true},
        {"backspace", L"1,234,567", 9, 9, 8, true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(GroupedNumberAccepts(r.text, r.selFrom, r.selTo, r.ch), r.accepted) << r.name;
}

TEST(GroupedNumberFilter, ReformatsAndKeepsTheCaretAfterTheDigit) {
    struct Row {
        const wchar_t* text;
        long caret;
        const wchar_t* expected;
        long expectedCaret;
        bool unchanged;
    } rows[] = {
        {L"1234", 4, L"1,234", 5, false},
        {L"1,2345", 6, L"12,345", 6, false},
        {L"", 0, L"0", 0, false},
        {L"50", 1, L"50", 1, true},
        {L"1,234", 5, L"1,234", 5, true},
        {L"007", 3, L"7", 1, false},
        {L"1,234,5678", 10, L"12,345,678", 10, false},
    };
    for (const auto& r : rows) {
        const GroupedNumberText out = ReformatGroupedNumber(r.text, r.caret);
        EXPECT_EQ(out.text, r.expected) << std::wstring(r.text);
        EXPECT_EQ(out.caret, r.expectedCaret) << std::wstring(r.text);
        EXPECT_EQ(out.unchanged, r.unchanged) << std::wstring(r.text);
    }
    EXPECT_EQ(GroupedNumberValue(L"1,200,000"), 1200000);
    EXPECT_EQ(GroupedNumberValue(L"abc"), 0);
    EXPECT_EQ(GroupedNumberValue(L"99999999999999999999999"), GroupedNumberValue(L"9999999999999999999"));
}

Job JobWith(const char* urlBase, const char* urlExpansion, const char* folderBase,
            const char* folderExpansion) {
    Job job;
    job.urlBase = urlBase;
    job.urlExpansion = urlExpansion;
    job.folderBase = folderBase;
    job.folderExpansion = folderExpansion;
    return job;
}

TEST(FormEnabling, IdleRulesFollowTheBoxes) {
    using namespace form;
    struct Row {
        const char* name;
        Job job;
        std::set<int> off; // among the URL, copy and run buttons
    } rows[] = {
        {"empty job",
         JobWith("", "", "/tmp", ""),
         {kRunSeriesButton, kBrowserButton, kExplorerButton, kFtpTreeButton, kLinkTreeButton,
          kCopyUrlButton}},
        {"blank URL base counts as empty",
         JobWith("  ", "a*.jpg", "/tmp", ""),
         {kBrowserButton, kExplorerButton, kFtpTreeButton, kLinkTreeButton}},
        {"no destination", JobWith("http://h", "a*.jpg", " ", ""), {kRunSeriesButton}},
        {"destination expansion alone", JobWith("http://h", "", "", "x"), {kCopyUrlButton}},
        {"everything", JobWith("http://h", "a*.jpg", "/tmp", "x"), {}},
    };
    for (const auto& r : rows) {
        const auto on = IdleEnabling(r.job, {});
        for (int id : {kRunSeriesButton, kBrowserButton, kExplorerButton, kFtpTreeButton, kLinkTreeButton,
                       kCopyUrlButton})
            EXPECT_EQ(on.at(id), !r.off.count(id)) << r.name << " control " << id;
        EXPECT_FALSE(on.at(kStopButton)) << r.name;
        EXPECT_FALSE(on.at(kFtpListButton)) << r.name;
        EXPECT_FALSE(on.at(kLinkListButton)) << r.name;
        EXPECT_TRUE(on.at(kUrlBase)) << r.name;
    }
    // The list runs need a selected file and a destination.
    auto on = IdleEnabling(JobWith("", "", "/tmp", ""), {true, true});
    EXPECT_TRUE(on.at(kFtpListButton));
    EXPECT_TRUE(on.at(kLinkListButton));
    on = IdleEnabling(JobWith("", "", "", ""), {true, true});
    EXPECT_FALSE(on.at(kFtpListButton));
}

TEST(FormEnabling, RangePartsFollowTheirCheckAndRunsLeaveOnlyStop) {
    using namespace form;
    Job job = JobWith("http://h", "*", "/tmp", "");
    job.ranges[2].check = 1;
    const auto on = IdleEnabling(job, {});
    for (int k = 0; k < 6; ++k) {
        const RangeIds& ids = kRangeIds[k];
        EXPECT_TRUE(on.at(ids.check));
        for (int id : {ids.label, ids.start, ids.tilde, ids.end})
            EXPECT_EQ(on.at(id), k == 2) << "range " << k + 1;
    }
    EXPECT_EQ(InputControlIds().size(), 34u);
    for (auto [id, enabled] : BusyEnabling())
        EXPECT_EQ(enabled, id == kStopButton) << id;
}

TEST(FormTexts, CopyUrlAndFolderDialogResults) {
    EXPECT_EQ(form::UrlToFolderExpansion("  a/b/x.jpg ", true), "a/b/x.jpg");
    EXPECT_EQ(form::UrlToFolderExpansion("a/b/x.jpg", false), "a/b/x.jpg");
    EXPECT_EQ(form::FolderWithSeparator("/home/u"), "/home/u/");
    EXPECT_EQ(form::FolderWithSeparator("/"), "/");
    EXPECT_EQ(frame::ExplorerTarget("http://host/pub/"), "ftp://host/pub/");
    EXPECT_EQ(frame::ExplorerTarget("ftp://srv/a/b.txt"), "ftp://srv/a/b.txt");
}

TEST(FrameRules, ExplorerFailureSaysWhyAndOffersTheFtpTree) {
    EXPECT_EQ(frame::ExplorerFailureText("ftp://host/pub/", true, ""),
              "Explorerが開けません: ftp://host/pub/\n"
              "このデスクトップには ftp:// のアドレスを開くアプリケーションが登録されていません。\n\n"
              "FTPツリー&リスト ビューで開きますか?");
    EXPECT_EQ(
        frame::ExplorerFailureText("ftp://host/\x1b[2J", false, "Failed to execute child process \x1b]0;x"),
        "Explorerが開けません: ftp://host/\\x1B[2J\nFailed to execute child process \\x1B]0;x\n\n"
        "FTPツリー&リスト ビューで開きますか?")
        << "nothing reaches the message as control characters";
    EXPECT_EQ(frame::ExplorerFailureText("ftp://host/", false, ""),
              "Explorerが開けません: ftp://host/\n\nFTPツリー&リスト ビューで開きますか?");
}

TEST(FrameRules, HeightFollowsTheFormAndWidthIsLimited) {
    struct Row {
        frame::SizeInputs in;
        int height;
    } rows[] = {
        {{80, 378, 590, false, false}, 458},
        {{54, 378, 590, false, false}, 432}, // toolbar hidden: less outside the client area
        {{80, 378, 590, true, false}, 670},
        {{80, 378, 590, false, true}, 670},
        {{25, 400, 620, true, true}, 645},
    };
    for (const auto& r : rows)
        EXPECT_EQ(frame::FrameHeight(r.in), r.height);
    EXPECT_EQ(frame::ClampWidth(100), 640);
    EXPECT_EQ(frame::ClampWidth(640), 640);
    EXPECT_EQ(frame::ClampWidth(900), 900);
    EXPECT_EQ(frame::ClampWidth(5000), 1280);
}

TEST(FrameRules, KeepOnScreenMovesUpAndLeftOnly) {
    using form::Rect;
    const Rect screen{0, 0, 1024, 768};
    struct Row {
        const char* name;
        Rect window;
        Rect placed;
    } rows[] = {
        {"inside stays", {10, 20, 640, 450}, {10, 20, 640, 450}},
        {"grown at the bottom edge", {100, 300, 640, 680}, {100, 88, 640, 680}},
        {"beyond the right edge", {700, 0, 640, 450}, {384, 0, 640, 450}},
        {"above and left of the screen", {-50, -30, 640, 450}, {0, 0, 640, 450}},
        {"taller than the screen keeps its top", {0, 200, 640, 900}, {0, 0, 640, 900}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(frame::KeepOnScreen(r.window, screen), r.placed) << r.name;
    EXPECT_EQ(frame::KeepOnScreen({0, 700, 640, 450}, {0, 24, 1024, 744}).y, 318) << "a panel at the top";
}

TEST(FrameRules, BusyAnimationCoversNothingOfTheFrame) {
    using form::Rect;
    const Rect screen{0, 0, 1024, 768};
    const Rect freeInside{700, 400, 300, 110};
    struct Row {
        const char* name;
        Rect frame;
        Rect placed;
    } rows[] = {
        {"below the lower right corner", {0, 0, 640, 600}, {490, 606, 150, 72}},
        {"right of the corner at the bottom edge", {0, 90, 640, 678}, {646, 696, 150, 72}},
        {"left of the frame at the right edge", {384, 90, 640, 678}, {228, 696, 150, 72}},
        {"above a frame at the bottom", {100, 200, 900, 568}, {850, 122, 150, 72}},
        {"a free corner of the screen", {150, 50, 720, 718}, {874, 696, 150, 72}},
        {"the form's empty corner when the frame fills the screen", {0, 0, 1024, 768}, {850, 438, 150, 72}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(frame::PlaceBusyAnimation(r.frame, screen, 150, 72, freeInside), r.placed) << r.name;
    // Nowhere free: on the screen, hiding as little as it can.
    const Rect placed = frame::PlaceBusyAnimation({0, 0, 1024, 768}, screen, 150, 72, {});
    EXPECT_TRUE(placed.x >= 0 && placed.y >= 0 && placed.right() <= 1024 && placed.bottom() <= 768);
}

TEST(FrameRules, SavedJobNamesGetTheExtensionWhenTheyHaveNone) {
    const std::pair<const char*, const char*> rows[] = {
        {"/home/u/job", "/home/u/job.odx"},
        {"/home/u/job.odx", "/home/u/job.odx"},
        {"/home/u/job.txt", "/home/u/job.txt"},
        {"/home/u/a.b/job", "/home/u/a.b/job.odx"},
    };
    for (auto [typed, saved] : rows)
        EXPECT_EQ(frame::WithJobExtension(typed), saved) << typed;
}

TEST(FrameRules, CommandAvailability) {
    frame::CommandContext idle;
    idle.job = JobWith("http://h/", "f*.jpg", "/tmp", "");
    frame::CommandContext busy = idle;
    busy.running = true;
    frame::CommandContext empty;
    empty.job = JobWith(" ", " ", "/tmp", "");
    for (int c : {cmd::kFileNew, cmd::kFileOpen, cmd::kFileSave, cmd::kFileSaveAs, cmd::kFileMru1,
                  cmd::kFileMru1 + 15, cmd::kRunSeries, cmd::kOpenBrowser, cmd::kOpenExplorer,
                  cmd::kShowFtpTree, cmd::kShowLinkTree, cmd::kCopyUrlToFolder}) {
        EXPECT_TRUE(frame::CommandAvailable(c, idle)) << c;
        EXPECT_FALSE(frame::CommandAvailable(c, busy)) << c;
    }
    EXPECT_FALSE(frame::CommandAvailable(cmd::kStop, idle));
    EXPECT_TRUE(frame::CommandAvailable(cmd::kStop, busy));
    for (int c : {cmd::kRunSeries, cmd::kOpenBrowser, cmd::kCopyUrlToFolder})
        EXPECT_FALSE(frame::CommandAvailable(c, empty)) << c;
    EXPECT_FALSE(frame::CommandAvailable(cmd::kRunFtpList, idle));
    EXPECT_FALSE(frame::CommandAvailable(cmd::kReadMe, idle));
    idle.readMeExists = true;
    EXPECT_TRUE(frame::CommandAvailable(cmd::kReadMe, idle));
    EXPECT_FALSE(frame::CommandAvailable(cmd::kHelpIndex, idle));
    for (int c : {cmd::kAppExit, cmd::kViewToolbar, cmd::kAppAbout, cmd::kSettingsProgram})
        EXPECT_TRUE(frame::CommandAvailable(c, busy)) << c;
    // The run report: once a download run has ended, and not during the next.
    EXPECT_FALSE(frame::CommandAvailable(cmd::kShowRunReport, idle));
    idle.hasRunReport = busy.hasRunReport = true;
    EXPECT_TRUE(frame::CommandAvailable(cmd::kShowRunReport, idle));
    EXPECT_FALSE(frame::CommandAvailable(cmd::kShowRunReport, busy));
}

TEST(CommandIds, MapOneToOneBelowTheToolkitLimit) {
    std::set<int> seen;
    std::vector<int> commands{cmd::kViewToolbar};
    for (int c = 57600; c <= 57700; ++c)
        commands.push_back(c);
    for (int c = 32772; c <= cmd::kShowRunReport; ++c)
        commands.push_back(c);
    for (int c : commands) {
        const int id = cmd::ToWxId(c);
        EXPECT_GT(id, 1170) << c;
        EXPECT_LT(id, 32767) << c;
        EXPECT_TRUE(seen.insert(id).second) << c;
        EXPECT_EQ(cmd::FromWxId(id), c);
    }
    EXPECT_EQ(cmd::ToWxId(1000), -1);
    EXPECT_EQ(cmd::FromWxId(1001), -1);
}

TEST(FormGeometry, OnlyRightEdgesFollowTheWidth) {
    using namespace form;
    FormMetrics m;
    const FormGeometry narrow = LayoutForm(m, 624);
    const FormGeometry wide = LayoutForm(m, 1264);
    const int M = m.margin, B = m.buttonWidth;
    for (const auto& [id, r] : narrow.rects) {
        const Rect& w = wide.rects.at(id);
        EXPECT_EQ(r.y, w.y) << id;
        EXPECT_EQ(r.h, w.h) << id;
    }
    for (int X : {624, 1264}) {
        const FormGeometry g = LayoutForm(m, X);
        for (int id : {kUrlBase, kUrlExpansion, kUserName, kPassword, kFolderBase, kFolderExpansion,
                       kUrlDisplay, kFolderDisplay}) {
            EXPECT_EQ(g.rects.at(id).right(), X - 5 * M - B) << id;
            EXPECT_EQ(g.rects.at(id).x, narrow.rects.at(id).x) << id;
        }
        for (int id : {kBrowserButton, kExplorerButton, kFtpTreeButton, kLinkTreeButton, kBrowseFolderButton,
                       kCopyUrlButton}) {
            EXPECT_EQ(g.rects.at(id).x, X - 2 * M - B) << id;
            EXPECT_EQ(g.rects.at(id).right(), X - 2 * M) << id;
        }
        for (int id : {kUrlGroup, kFolderGroup, kRangeGroup, kStatusLine, kTransferStatus, kByteProgressBar})
            EXPECT_EQ(g.rects.at(id).right(), X - g.rects.at(id).x) << id;
        for (int id : {kRunSeriesButton, kStopButton, kRangeIds[5].end, kUrlSeparator})
            EXPECT_EQ(g.rects.at(id), narrow.rects.at(id)) << id;
    }
}

TEST(FormGeometry, HeightsComeFromTheRowsAndTheStatusAreaLiesBelowTheButtons) {
    using namespace form;
    FormMetrics big;
    big.entryHeight = big.buttonHeight = 34;
    big.lineHeight = 24;
    for (const FormMetrics& m : {FormMetrics{}, big}) {
        const FormGeometry g = LayoutForm(m, 800);
        const Rect stop = g.rects.at(kStopButton);
        EXPECT_EQ(g.idleHeight, stop.bottom() + m.margin);
        EXPECT_GT(g.rects.at(kStatusRule).y, stop.bottom());
        EXPECT_EQ(g.expandedHeight, g.rects.at(kFileProgressBar).bottom() + m.margin);
        for (const auto& [id, r] : g.rects) {
            EXPECT_LE(r.right(), g.width) << id;
            const bool status = r.y >= g.idleHeight;
            EXPECT_LE(r.bottom(), status ? g.expandedHeight : g.idleHeight) << id;
            // Nothing but the range group's frame in the empty corner.
            if (id != kRangeGroup) {
                const Rect& f = g.freeCorner;
                const bool apart =
                    r.right() <= f.x || r.x >= f.right() || r.bottom() <= f.y || r.y >= f.bottom();
                EXPECT_TRUE(apart) << id;
            }
        }
        EXPECT_GE(g.freeCorner.h, 72);
    }
    // Narrower than its parts allow, the form keeps them at their size.
    const FormGeometry squeezed = LayoutForm(FormMetrics{}, 200);
    EXPECT_EQ(squeezed.width, squeezed.minimumWidth);
    EXPECT_GE(squeezed.rects.at(kUrlBase).w, FormMetrics{}.minimumBoxWidth);
    EXPECT_EQ(squeezed.freeCorner.w, 0);
}

// The texts beside the progress lines and the result's link share their
// rows without overlapping, and a wide detail never takes more than half.
TEST(FormGeometry, DetailsAndTheResultLinkSitBesideTheirLines) {
    using namespace form;
    FormMetrics m;
    m.progressDetailWidth = 260;
    m.resultLinkWidth = 40;
    for (int width : {624, 1264}) {
        const FormGeometry g = LayoutForm(m, width, /*runResult=*/true);
        for (auto [line, detail] :
             {std::pair{kByteProgressText, kByteProgressDetail},
              std::pair{kFileProgressText, kFileProgressDetail}, std::pair{kRunResultLine, kRunResultLink}}) {
            const Rect a = g.rects.at(line), b = g.rects.at(detail);
            EXPECT_EQ(a.y, b.y) << line;
            EXPECT_LT(a.right(), b.x) << line;
            EXPECT_EQ(b.right(), g.width - m.margin) << line;
        }
        EXPECT_EQ(g.rects.at(kByteProgressDetail).w, 260);
    }
    m.progressDetailWidth = 5000;
    const FormGeometry g = LayoutForm(m, 800);
    EXPECT_LE(g.rects.at(kByteProgressDetail).w, g.rects.at(kByteProgressBar).w / 2);
    // Without widths the lines keep the whole row, as before.
    const FormGeometry plain = LayoutForm(FormMetrics{}, 800, true);
    EXPECT_EQ(plain.rects.count(kByteProgressDetail), 0u);
    EXPECT_EQ(plain.rects.count(kRunResultLink), 0u);
    EXPECT_EQ(plain.rects.at(kRunResultLine).w, 800 - 2 * FormMetrics{}.margin);
}

} // namespace
} // namespace ordinex
