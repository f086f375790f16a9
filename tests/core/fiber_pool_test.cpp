// Fibers that yield in the middle of their work come back to it with every
// value intact, and the pool runs many tasks on at most its limit of them.
#include "platform/fiber_pool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace ordinex;

namespace {

TEST(FiberPool, TasksInterleaveAndKeepTheirValuesAcrossYields) {
    FiberPool pool(3);
    std::vector<std::string> trace;
    std::vector<double> sums(5, 0.0);
    int started = 0;
    // Five tasks on three fibers: the last two wait for a free one.
    auto task = [&](int k) {
        return [&, k] {
            double sum = 0.5 * k; // kept in registers and on the stack across the yields
            const std::string name = "t" + std::to_string(k);
            for (int step = 0; step < 3; ++step) {
                trace.push_back(name + ":" + std::to_string(step));
                sum += std::sqrt(2.0) * (step + 1);
                Fiber::Yield();
            }
            sums[k] = sum;
        };
    };
    while (started < 3)
        ASSERT_TRUE(pool.Start(task(started++)));
    EXPECT_FALSE(pool.Start(task(99))) << "no fourth fiber beyond the limit";
    EXPECT_EQ(pool.Busy(), 3u);
    EXPECT_EQ(trace, (std::vector<std::string>{"t0:0", "t1:0", "t2:0"})) << "each ran to its first yield";
    while (pool.Busy() > 0 || started < 5) {
        pool.ResumeBusy();
        while (started < 5 && pool.Start(task(started)))
            ++started;
    }
    EXPECT_EQ(trace.size(), 15u);
    EXPECT_EQ(trace[3], "t0:1") << "round by round, in start order";
    for (int k = 0; k < 5; ++k)
        EXPECT_DOUBLE_EQ(sums[k], 0.5 * k + std::sqrt(2.0) * 6) << k;
    EXPECT_EQ(Fiber::Current(), nullptr);
}

} // namespace
