// Runs with several files in flight: never more connections than asked,
// every file whole, blocks reported in run order, warnings and Stop as in a
// run of one file at a time, and "(n)" names that never collide.
#include "app/ordinex_app.h"
#include "recorded_app.h"
#include "recording_ui.h"
#include "test_servers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

using namespace ordinex;
using namespace ordinex::test;
namespace fs = std::filesystem;

namespace {

class ParallelRunTest : public ::testing::Test, protected RecordedApp {
protected:
    TempDir out;
    TestServer http = TestServer::StartHttp();
    Job job;

    void SetUp() override {
        job.urlBase = http.url("");
        job.folderBase = out.path();
        job.folderExpansion = "f*.bin";
    }
    // Files 1..count of url + "*" (the range's value replaces the star).
    COrdinexApp::RunSummary Series(const std::string& url, int count, int parallel) {
        job.urlExpansion = url;
        job.ranges[0] = {1, "1", std::to_string(count)};
        app.settings.ParallelTransfersSetting = parallel;
        return app.RunSeries(job);
    }
    int Peak() {
        const auto r = RunProcess({"/usr/bin/curl", "-s", http.url("/stats/peak")}, out.path());
        return std::stoi(r.out.empty() ? "0" : r.out);
    }
    static std::string Busy(int k) {
        const std::string text = "busy " + std::to_string(k);
        return text + std::string(64 - text.size(), '.');
    }
    // The addresses the status area named, each once, in the order shown.
    std::vector<std::string> Targets() const {
        std::vector<std::string> t;
        for (const auto& s : view.Line("1007"))
            if (!s.empty())
                t.push_back(s);
        return t;
    }
};

TEST_F(ParallelRunTest, NeverMoreConnectionsThanAskedAndEveryFileWhole) {
    for (int parallel : {1, 4}) {
        SCOPED_TRACE(parallel);
        fs::remove_all(out / "");
        fs::create_directories(out.path());
        const auto summary = Series("busy/150/*", 12, parallel);
        EXPECT_TRUE(summary.Complete());
        EXPECT_EQ(summary.done, 12);
        for (int k = 1; k <= 12; ++k)
            EXPECT_EQ(ReadFile(out / ("f" + std::to_string(k) + ".bin")), Busy(k));
        const int peak = Peak();
        EXPECT_LE(peak, parallel);
        if (parallel > 1) {
            EXPECT_GE(peak, 2) << "files really were in flight together";
        }
        EXPECT_EQ(view.FileProgress().back(), "12 / 12 Files");
        EXPECT_EQ(view.line1006, "全ファイルダウンロード完了");
    }
}

// A fast server answers the next file on a connection before the run has
// looked behind the last answer there: that answer is no stray one.
TEST_F(ParallelRunTest, AFastServerNeverLooksLikeOneSendingStrayAnswers) {
    TempDir site;
    for (int k = 1; k <= 600; ++k)
        WriteFile(site / ("f" + std::to_string(k) + ".bin"), std::to_string(k));
    TestServer nginx = TestServer::StartNginx(site.path(), "0");
    job.urlBase = nginx.url("/");
    const auto summary = Series("f*.bin", 600, 4);
    EXPECT_EQ(summary.done, 600) << view.line1006;
    EXPECT_EQ(ReadFile(out / "f599.bin"), "599");
}

// A destination folder taken away during a run fails only the files under
// way at that moment, honestly, and the next file makes it again.
TEST_F(ParallelRunTest, AFolderTakenAwayDuringTheRunIsMadeAgain) {
    for (int parallel : {1, 2}) {
        SCOPED_TRACE(parallel);
        const std::string folder = out / ("sub" + std::to_string(parallel));
        job.folderBase = folder;
        bool removed = false;
        pump.onPump = [&](int) {
            if (!removed && fs::exists(folder + "/f1.bin")) {
                removed = true;
                fs::remove_all(folder);
            }
        };
        const auto summary = Series("busy/100/*", 4, parallel);
        pump.onPump = nullptr;
        EXPECT_TRUE(removed);
        EXPECT_EQ(summary.done + summary.failed, 4);
        EXPECT_LE(summary.failed, parallel) << "only files already under way when it went";
        EXPECT_EQ(ReadFile(folder + "/f4.bin"), Busy(4));
    }
}

TEST_F(ParallelRunTest, BlocksAreReportedInRunOrderEachWhole) {
    // A Link-list run whose first file is the slowest: the others finish
    // first and wait for it in memory.
    std::vector<std::string> urls;
    for (int k = 1; k <= 6; ++k)
        urls.push_back(http.url("/busy/" + std::to_string(k == 1 ? 600 : 100) + "/" + std::to_string(k)));
    app.settings.ParallelTransfersSetting = 3;
    const auto summary = app.FetchLinkAddresses(job, urls);
    EXPECT_EQ(summary.done, 6);
    EXPECT_EQ(ReadFile(out / "6"), Busy(6));
    EXPECT_LE(Peak(), 3);
    const auto targets = Targets();
    ASSERT_EQ(targets.size(), 6u);
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(targets[k - 1], urls[k - 1] + " を");
    // Between one file's address and the next, only that file's own lines.
    std::string current;
    int completions = 0;
    for (const auto& e : view.events) {
        if (e.rfind("1007:http", 0) == 0) {
            current = e.substr(5, e.size() - 5 - std::string(" を").size());
        } else if (e.rfind("1006:", 0) == 0 && e.find(" のダウンロード完了") != std::string::npos) {
            EXPECT_EQ(e.substr(5, e.find(" のダウンロード完了") - 5), current) << e;
            ++completions;
        }
    }
    EXPECT_EQ(completions, 6);
}

TEST_F(ParallelRunTest, AFailingFileInTheMiddleWarnsOnceEitherAnswer) {
    for (int answer : {kAnswerNo, kAnswerYes}) {
        SCOPED_TRACE(answer);
        fs::remove_all(out / "");
        fs::create_directories(out.path());
        prompter.asked.clear();
        prompter.answers = {answer};
        // While the warning is open the files in flight (4 and 5, and 6
        // unless 1 and 2 were reported in one round) arrive, as the
        // dialog's loop keeps them going, and no other one starts.
        bool inFlightArrived = false, nextStarted = true;
        prompter.onWarning = [&](const std::string&) {
            const auto arrived = [&] {
                for (int k = 4; k <= 5; ++k)
                    if (!fs::exists(out / std::to_string(k)))
                        return false;
                return true;
            };
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!arrived() && std::chrono::steady_clock::now() < until) {
                prompter.DoWorkWhileOpen();
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            inFlightArrived = arrived();
            for (int i = 0; i < 80; ++i) {
                prompter.DoWorkWhileOpen();
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            nextStarted = fs::exists(out / "7") || fs::exists(out / "8");
        };
        // File 3 of 8 is missing on the server; the others take a while.
        std::vector<std::string> urls;
        for (int k = 1; k <= 8; ++k)
            urls.push_back(
                k == 3 ? http.url("/status/404")
                       // 1 and 2 are done long before the files after the failed one
                       : http.url("/busy/" + std::string(k < 3 ? "100/" : "600/") + std::to_string(k)));
        app.settings.ParallelTransfersSetting = 4;
        const auto summary = app.FetchLinkAddresses(job, urls);
        std::vector<std::string> warnings;
        for (const auto& a : prompter.asked)
            if (a.rfind("dialog:", 0) == 0)
                warnings.push_back(a);
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_TRUE(inFlightArrived);
        EXPECT_FALSE(nextStarted);
        EXPECT_NE(warnings[0].find("404"), std::string::npos) << warnings[0];
        EXPECT_EQ(summary.failed, 1);
        EXPECT_FALSE(fs::exists(out / "404"));
        if (answer == kAnswerNo) {
            EXPECT_EQ(summary.done, 7);
            continue;
        }
        EXPECT_EQ(summary.done + summary.stopped, 7);
        EXPECT_GE(summary.done, 2) << "the files before it were reported first";
        EXPECT_GE(summary.stopped, 1) << "the run ended with it";
        for (int k = 4; k <= 8; ++k)
            if (fs::exists(out / std::to_string(k))) {
                EXPECT_EQ(ReadFile(out / std::to_string(k)), Busy(k)) << "whole or not there";
            }
    }
}

TEST_F(ParallelRunTest, StopEndsEveryTransferInFlightPromptly) {
    job.urlExpansion = "slow/20000*";
    job.ranges[0] = {1, "1", "8"};
    app.settings.ParallelTransfersSetting = 4;
    std::chrono::steady_clock::time_point pressed{};
    std::string byteLine;
    pump.onPump = [&](int) {
        if (pressed == std::chrono::steady_clock::time_point{} && view.line1013.rfind("0 byte", 0) != 0 &&
            view.byteBarShown) {
            pressed = std::chrono::steady_clock::now();
            byteLine = view.line1013;
            app.RequestStop();
        }
    };
    const auto summary = app.RunSeries(job);
    const auto took = std::chrono::steady_clock::now() - pressed;
    EXPECT_LT(took, std::chrono::seconds(2)) << "ends promptly";
    EXPECT_EQ(summary.done, 0);
    EXPECT_EQ(summary.stopped, 8);
    // The bar is the files in flight: their bytes of their sizes.
    long long position = 0, range = 0;
    ASSERT_EQ(std::sscanf(byteLine.c_str() + byteLine.rfind('['), "[%lld/%lld]", &position, &range), 2)
        << byteLine;
    EXPECT_GT(range, 0) << byteLine;
    EXPECT_LE(range, 4 * 200008) << byteLine;
    EXPECT_LE(position, range) << byteLine;
    int parts = 0;
    for (int k = 1; k <= 8; ++k) {
        EXPECT_FALSE(fs::exists(out / ("f" + std::to_string(k) + ".bin")));
        parts += fs::exists(out / (".f" + std::to_string(k) + ".bin.part")) ? 1 : 0;
    }
    EXPECT_GE(parts, 1) << "what arrived stays for the next attempt";
    EXPECT_LE(parts, 4);
    EXPECT_EQ(app.engine.KeptConnections(), 0u);
}

TEST_F(ParallelRunTest, NumberedNamesNeverCollide) {
    // Six files to one name: the first free "(n)" of each is decided in run
    // order, counting the names of files still in flight.
    for (bool existing : {false, true}) {
        SCOPED_TRACE(existing);
        fs::remove_all(out / "");
        fs::create_directories(out.path());
        if (existing)
            WriteFile(out / "same.bin", "old");
        job.folderExpansion = "same.bin";
        app.settings.SaveSetting = 2;
        const auto summary = Series("busy/100/*", 6, 4);
        EXPECT_EQ(summary.done, 6);
        const std::string first = existing ? "same(1).bin" : "same.bin";
        EXPECT_EQ(ReadFile(out / first), Busy(1));
        for (int k = 2; k <= 6; ++k)
            EXPECT_EQ(ReadFile(out / ("same(" + std::to_string(k - (existing ? 0 : 1)) + ").bin")), Busy(k));
        if (existing) {
            EXPECT_EQ(ReadFile(out / "same.bin"), "old");
        }
    }
}

} // namespace
