#include "app/ordinex_app.h"
#include "runs/series_preview.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace ordinex;
using namespace ordinex::test;

namespace {

Job MakeJob(const std::string& url, const std::string& folder,
            const std::vector<std::pair<int, RangeFields>>& ranges) {
    Job job;
    job.urlBase = url;
    job.folderBase = folder;
    for (const auto& [k, r] : ranges)
        job.ranges[k] = r;
    return job;
}

// Every row, taken by position, is the combination the run's odometer
// reaches at that step: widths that grow, letters that carry into a second
// letter, signs, upper case, and a ticked range used nowhere.
TEST(SeriesPreview, RowsAreTheRunsCombinations) {
    const Job job = MakeJob("http://h/*/?/#", "/dl/$-*.x",
                            {{0, {1, "8", "12"}},
                             {1, {1, "ab", "y"}},
                             {2, {1, "-2", "1"}},
                             {3, {1, "Y", "AB"}},
                             {4, {1, "1", "9"}}});
    COrdinexApp app;
    ASSERT_TRUE(app.PrepareRun(job));
    const SeriesPreview preview(job, app.settings);
    ASSERT_TRUE(preview.Ok()) << preview.Error();
    ASSERT_EQ(preview.Count(), 5 * 4 * 4 * 4);
    int64_t row = 0;
    do {
        ASSERT_LT(row, preview.Count());
        ASSERT_EQ(preview.Url(row), app.ReplacePlaceholders(app.urlTemplate)) << row;
        ASSERT_EQ(preview.Destination(row), app.ReplacePlaceholders(app.folderTemplate)) << row;
        ++row;
    } while (!app.AdvanceRanges());
    EXPECT_EQ(row, preview.Count());
}

// A million combinations: the count and the rows at both ends come at once,
// without the list being built.
TEST(SeriesPreview, MillionCombinationsByPosition) {
    const Job job =
        MakeJob("http://h/v*/p?.jpg", "/dl/v*/p?.jpg", {{0, {1, "0001", "1000"}}, {1, {1, "001", "1000"}}});
    const SeriesPreview preview(job, ProgramSettings{});
    ASSERT_EQ(preview.Count(), 1000000);
    EXPECT_EQ(preview.Url(0), "http://h/v0001/p001.jpg");
    EXPECT_EQ(preview.Url(1000), "http://h/v0001/p002.jpg");
    EXPECT_EQ(preview.Url(999999), "http://h/v1000/p1000.jpg");
    EXPECT_EQ(preview.Destination(999999), "/dl/v1000/p1000.jpg");
    EXPECT_EQ(CombinationCountText(job, ProgramSettings{}), "全 1,000,000 ファイル");
}

TEST(SeriesPreview, CountTextNamesARangeThatCannotBeUsed) {
    const Job job = MakeJob("http://h/*.jpg", "/dl/*.jpg", {{0, {1, "A", "c"}}});
    const SeriesPreview preview(job, ProgramSettings{});
    EXPECT_FALSE(preview.Ok());
    EXPECT_EQ(preview.Count(), 0);
    EXPECT_EQ(CombinationCountText(job, ProgramSettings{}), kRangeStartEndMixedMessage);
    // No range at all: one file.
    EXPECT_EQ(CombinationCountText(MakeJob("http://h/a.jpg", "/dl/a.jpg", {}), ProgramSettings{}),
              "全 1 ファイル");
}

TEST(SeriesPreview, ExistingTargetsUnderThePolicy) {
    TempDir dir;
    WriteFile(dir / "a.jpg", "x");
    EXPECT_EQ(SeriesPreview::ExistingText(dir / "b.jpg", 1), "");
    EXPECT_EQ(SeriesPreview::ExistingText(dir / "a.jpg", 0), "既存: スキップ");
    EXPECT_EQ(SeriesPreview::ExistingText(dir / "a.jpg", 1), "既存: 上書き");
    EXPECT_EQ(SeriesPreview::ExistingText(dir / "a.jpg", 2), "既存: (n) を付けて保存");
}

} // namespace
