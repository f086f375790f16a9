// What a run leaves for the user to act on: the result line, the report of
// the files that did not complete, a retry of exactly those, the
// failed-list file of ordinex-cli, and the progress texts.
#include "app/ordinex_app.h"
#include "recorded_app.h"
#include "recording_ui.h"
#include "runs/progress_meter.h"
#include "runs/run_report.h"
#include "test_servers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;
using Outcome = RunReportRow::Outcome;

TEST(RunReportTexts, ResultLinesElapsedTimesAndFailedListLines) {
    RunReport report;
    report.summary = {true, 3, 3, 3, 0, 0, 0};
    report.bytes = 1234567;
    report.seconds = 42.4;
    EXPECT_EQ(RunResultLine(report), "ダウンロード完了: 3 ファイル (1,234,567 バイト, 経過 0:42)");
    report.summary = {true, 5, 4, 2, 1, 1, 1};
    report.seconds = 3725;
    EXPECT_EQ(RunResultLine(report), "ダウンロード終了: 完了 2、失敗 1、スキップ 1、中止 1 (全 5 ファイル) "
                                     "(1,234,567 バイト, 経過 1:02:05)");
    const struct {
        double seconds;
        const char* text;
    } times[] = {{0, "0:00"}, {0.4, "0:00"}, {59.6, "1:00"}, {61, "1:01"}, {3600, "1:00:00"}, {-3, "0:00"}};
    for (const auto& t : times)
        EXPECT_EQ(ElapsedText(t.seconds), t.text) << t.seconds;
    EXPECT_EQ(FailedListLine({Outcome::Failed, "http://u:pw@h/a\tb", "/dl/a\nb", "なし\r"}),
              "failed\thttp://u:****@h/a b\t/dl/a b\tなし \n");
    EXPECT_EQ(
        FailedListLine({Outcome::Skipped, "ftp://h/x", "/d/x", "保存先にファイルが存在します"}).substr(0, 8),
        "skipped\t");
}

TEST(ProgressMeter, PercentSpeedAndTimeLeftOfTheFileAndTheRun) {
    using namespace std::chrono_literals;
    ProgressMeter meter;
    const auto t0 = ProgressMeter::Clock::time_point{} + 1h;
    meter.StartRun(4, t0);
    meter.StartFile(t0);
    // A resumed file: its first report already holds 1 MiB that does not count as speed.
    meter.FileProgress(1 << 20, 4 << 20, t0);
    meter.FileProgress(2 << 20, 4 << 20, t0 + 1s);
    ProgressDetail d = meter.Detail(t0 + 1s);
    EXPECT_EQ(d.file, "50% 1.0 MB/s 残り 0:02");
    EXPECT_EQ(d.run, "0 / 4 ファイル 1.0 MB/s");
    EXPECT_EQ(d.percent, 12);
    meter.FileDone(3 << 20, 1);
    meter.StartFile(t0 + 3s);
    meter.FileProgress(0, 0, t0 + 3s); // size unknown
    d = meter.Detail(t0 + 3s);
    EXPECT_EQ(d.file, "");
    EXPECT_EQ(d.run, "1 / 4 ファイル 1.0 MB/s");
    EXPECT_EQ(d.percent, 25);
    meter.FileProgress(512 * 1024, 0, t0 + 4s);
    EXPECT_EQ(meter.Detail(t0 + 4s).file, "512 KB/s");
    EXPECT_EQ(meter.RunBytes(), 3 << 20);
    EXPECT_DOUBLE_EQ(meter.Seconds(t0 + 4s), 4.0);
    EXPECT_EQ(SpeedText(12), "12 B/s");
}

// A series with a file the server does not have, one already on disk, and
// the rest fetched: the report has exactly the rows that did not complete,
// the result line shows every run, and a retry fetches only the failed one.
class RunReportSeries : public ::testing::Test, protected RecordedApp {
protected:
    TempDir www;
    TempDir out;
    TestServer http = TestServer::StartHttp(www.path());
    Job job;

    void SetUp() override {
        app.settings.SaveSetting = 0;
        job.urlBase = http.url("");
        job.urlExpansion = "f*.bin";
        job.folderBase = out.path();
        job.folderExpansion = "*.bin";
        job.ranges[0] = {1, "1", "4"};
        for (const char* n : {"1", "2", "4"})
            WriteFile(www / (std::string("f") + n + ".bin"), std::string(100, n[0]));
        WriteFile(out / "2.bin", "kept");
    }
};

TEST_F(RunReportSeries, RowsForWhatDidNotCompleteAndARetryOfTheFailed) {
    const auto summary = app.RunSeries(job);
    EXPECT_EQ(summary.done, 2);
    const RunReport& report = app.LastRunReport();
    ASSERT_EQ(report.rows.size(), 2u);
    EXPECT_EQ(report.rows[0].outcome, Outcome::Skipped);
    EXPECT_EQ(report.rows[0].destination, out / "2.bin");
    EXPECT_EQ(report.rows[1].outcome, Outcome::Failed);
    EXPECT_EQ(report.rows[1].url, http.url("/f3.bin"));
    EXPECT_EQ(report.rows[1].destination, out / "3.bin");
    EXPECT_EQ(report.rows[1].reason, "要求されたURLが見つかりません(404)");
    EXPECT_EQ(report.bytes, 200);
    EXPECT_EQ(
        view.runResult.rfind(
            "ダウンロード終了: 完了 2、失敗 1、スキップ 1、中止 0 (全 4 ファイル) (200 バイト, 経過 ", 0),
        0u)
        << view.runResult;
    EXPECT_EQ(view.ended, view.runResult);

    // The missing file appears; a retry fetches it and only it.
    WriteFile(www / "f3.bin", "three");
    const auto retried = app.RetryLastRun();
    EXPECT_EQ(retried.total, 1);
    EXPECT_EQ(retried.done, 1);
    EXPECT_EQ(ReadFile(out / "3.bin"), "three");
    EXPECT_EQ(ReadFile(out / "2.bin"), "kept");
    EXPECT_TRUE(app.LastRunReport().rows.empty());
    EXPECT_EQ(view.runResult.rfind("ダウンロード完了: 1 ファイル (5 バイト, 経過 0:0", 0), 0u)
        << view.runResult;
    EXPECT_EQ(app.RetryLastRun().total, 0) << "nothing left to retry";
}

TEST_F(RunReportSeries, TheLogNamesEveryFailedFileAndWhenRunsBeganAndEnded) {
    TempDir cwd;
    ScopedCwd in(cwd.path());
    app.settings.WarningLogSetting = 1;
    ASSERT_TRUE(app.OpenLog(cwd / "Ordinex.log"));
    app.RunSeries(job);
    app.CloseLog();
    const std::string log = ReadFile(cwd / "Ordinex.log");
    const std::regex started("ダウンロード開始 \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\n");
    const std::regex ended(
        "ダウンロード終了 \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d: ダウンロード終了: 完了 2");
    EXPECT_TRUE(std::regex_search(log, started)) << log;
    EXPECT_TRUE(std::regex_search(log, ended)) << log;
    EXPECT_NE(log.find("失敗: " + http.url("/f3.bin") + " → " + out / "3.bin" +
                       ": 要求されたURLが見つかりません(404)"),
              std::string::npos)
        << log;
}

TEST_F(RunReportSeries, OrdinexCliWritesTheFailedList) {
    TempDir cwd;
    WriteFile(cwd / "job.odx", "[UrlFolder]\nUrlBaseText=" + http.url("") +
                                   "\nUrlExpansionText=f*.bin\nFolderBaseText=" + out.path() +
                                   "\nFolderExpansionText=*.bin\n[Ordinseq]\nWildCard1Check=1\n"
                                   "WildCard1Start=1\nWildCard1End=4\n[Program]\nReadProgramSettingByOpen=1\n"
                                   "[Download]\nSaveSetting=0\n");
    auto r = RunProcess({ORDINEX_CLI_PATH, "run", "--failed-list", cwd / "failed.txt", cwd / "job.odx"},
                        cwd.path());
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(ReadFile(cwd / "failed.txt"), "skipped\t" + http.url("/f2.bin") + "\t" + out / "2.bin" +
                                                "\t保存先にファイルが存在します\nfailed\t" +
                                                http.url("/f3.bin") + "\t" + out / "3.bin" +
                                                "\t要求されたURLが見つかりません(404)\n");
    // fetch takes the flag too; a complete run leaves an empty list.
    r = RunProcess({ORDINEX_CLI_PATH, "fetch", "--failed-list", cwd / "fetched.txt", cwd / "job.odx",
                    http.url("/f1.bin")},
                   cwd.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(cwd / "fetched.txt"), "");
    // A list that cannot be written is bad input.
    r = RunProcess({ORDINEX_CLI_PATH, "run", "--failed-list", cwd / "missing/failed.txt", cwd / "job.odx"},
                   cwd.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("missing/failed.txt"), std::string::npos) << r.err;
    r = RunProcess({ORDINEX_CLI_PATH, "run", "--failed-list"}, cwd.path());
    EXPECT_EQ(r.exitCode, 2);
    // -j takes 1 to 16 files in flight, before or after the list's flag.
    for (const char* bad : {"0", "17", "x", "", "4x", "-1"}) {
        r = RunProcess({ORDINEX_CLI_PATH, "run", "-j", bad, cwd / "job.odx"}, cwd.path());
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_NE(r.err.find("-j には 1 から 16 までの数を指定してください"), std::string::npos) << r.err;
    }
    r = RunProcess({ORDINEX_CLI_PATH, "fetch", "-j", "16", "--failed-list", cwd / "fetched.txt",
                    cwd / "job.odx", http.url("/f1.bin")},
                   cwd.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

} // namespace
} // namespace ordinex::test
