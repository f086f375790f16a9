#include "platform/fiber_pool.h"

#include <algorithm>

namespace ordinex {

FiberPool::~FiberPool() {
    // An idle worker leaves its loop, so that nothing stays on its stack.
    for (const auto& worker : workers_) {
        if (worker->busy)
            continue;
        worker->quit = true;
        worker->fiber->Resume();
    }
}

bool FiberPool::Start(std::function<void()> task) {
    Worker* free = nullptr;
    for (const auto& worker : workers_)
        if (!worker->busy) {
            free = worker.get();
            break;
        }
    if (!free) {
        if (workers_.size() >= limit_)
            return false;
        auto worker = std::make_unique<Worker>();
        Worker* raw = worker.get();
        worker->fiber = std::make_unique<Fiber>([raw] {
            while (!raw->quit) {
                if (raw->busy) {
                    raw->task();
                    raw->task = nullptr;
                    raw->busy = false;
                }
                Fiber::Yield();
            }
        });
        if (!worker->fiber->Valid())
            return false;
        workers_.push_back(std::move(worker));
        free = raw;
    }
    free->task = std::move(task);
    free->busy = true;
    free->fiber->Resume();
    return true;
}

void FiberPool::ResumeBusy() {
    for (const auto& worker : workers_)
        if (worker->busy)
            worker->fiber->Resume();
}

std::size_t FiberPool::Busy() const {
    return static_cast<std::size_t>(
        std::count_if(workers_.begin(), workers_.end(), [](const auto& w) { return w->busy; }));
}

} // namespace ordinex
