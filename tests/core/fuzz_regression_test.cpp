// Inputs the fuzzers once crashed on (fuzz/regressions/TARGET/*), replayed
// through the same entry points; bench/fuzz.sh explains how they get there.
#include "fuzz_bodies.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

namespace {

TEST(FuzzRegressions, EveryKeptInputPasses) {
    const std::map<std::string, std::function<void(std::string_view)>> targets = {
        {"ini", ordinex::fuzz::FuzzIni},   {"job", ordinex::fuzz::FuzzJob},
        {"url", ordinex::fuzz::FuzzUrl},   {"ftp_listing", ordinex::fuzz::FuzzFtpListing},
        {"http", ordinex::fuzz::FuzzHttp}, {"page", ordinex::fuzz::FuzzPage},
    };
    const std::filesystem::path root = std::string(ORDINEX_FUZZ_DIR) + "/regressions";
    int replayed = 0;
    for (const auto& folder : std::filesystem::directory_iterator(root)) {
        const auto target = targets.find(folder.path().filename().string());
        ASSERT_NE(target, targets.end()) << folder.path();
        for (const auto& input : std::filesystem::directory_iterator(folder.path())) {
            SCOPED_TRACE(input.path().string());
            target->second(ordinex::test::ReadFile(input.path().string()));
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0);
}

} // namespace
