#include "net/concurrent_workers.h"
#include "net/internet_downloader.h"
#include "platform/fiber_pool.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace ordinex {

namespace {
constexpr int kPollMilliseconds = 15;
} // namespace

void CInternetDownloader::RunConcurrently(
    std::size_t count, std::size_t parallel,
    const std::function<void(CInternetDownloader& worker, std::size_t i)>& work) {
    // A step-by-step pause would open its question on a worker's stack: the
    // pauses keep everything one after the other.
    const bool pauses = Host().Settings().PauseForConfirm != 0;
    if (parallel <= 1 || count <= 1 || pauses || Fiber::Current() || connections_.Driven()) {
        for (std::size_t i = 0; i < count && !Host().StopRequested(); ++i)
            work(*this, i);
        return;
    }
    Batch batch(*this);
    // The workers, their engines and their stacks serve every call on this
    // engine (each page of a walk) while its host and the number stay.
    if (!concurrent_ || &concurrent_->host.Wrapped() != &Host() || concurrent_->pool.Limit() != parallel)
        concurrent_ = std::make_unique<ConcurrentWorkers>(Host(), parallel);
    ConcurrentWorkers& workers = *concurrent_;
    std::size_t next = 0;
    const std::size_t wanted = std::min(parallel, count);
    // Before the first task runs: its session must hand its transfer to the loop.
    connections_.SetDriven(true, static_cast<int>(wanted));
    for (std::size_t w = 0; w < wanted; ++w) {
        if (workers.engines.size() <= w)
            workers.engines.push_back(std::make_unique<CInternetDownloader>(&workers.host, *this));
        CInternetDownloader* engine = workers.engines[w].get();
        engine->userName = userName;
        engine->password = password;
        // Each worker takes the next item until none is left or Stop is asked for.
        if (!workers.pool.Start([&, engine] {
                while (next < count && !Host().StopRequested())
                    work(*engine, next++);
            }))
            break;
    }
    while (workers.pool.Busy() > 0) {
        connections_.Drive();
        workers.pool.ResumeBusy();
        if (workers.pool.Busy() == 0)
            break;
        Host().PumpOneMessage();
        connections_.WaitForActivity(kPollMilliseconds);
    }
    connections_.SetDriven(false);
    // Items no worker could take (no stack could be made) run here.
    for (; next < count && !Host().StopRequested(); ++next)
        work(*this, next);
}

} // namespace ordinex
