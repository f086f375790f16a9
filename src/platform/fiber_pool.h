#pragma once
#include "platform/fiber.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace ordinex {

// Up to `limit` fibers that each run one task after another, so that a run
// of many short tasks (a file, a probe) makes a stack once per fiber and
// not once per task: making one, and the fresh pages under it, cost more
// than a small transfer on a fast link.
class FiberPool {
public:
    explicit FiberPool(std::size_t limit) : limit_(limit) {}
    // A fiber still in a task is dropped with its stack, as Fiber's is.
    ~FiberPool();
    FiberPool(const FiberPool&) = delete;
    FiberPool& operator=(const FiberPool&) = delete;

    std::size_t Limit() const { return limit_; }
    // Runs task on a free fiber (made when fewer than the limit exist) until
    // it first yields or ends. False, with task not run, when no fiber is
    // free and none can be made.
    bool Start(std::function<void()> task);
    // Resumes every fiber that is in a task, once.
    void ResumeBusy();
    std::size_t Busy() const;

private:
    struct Worker {
        std::unique_ptr<Fiber> fiber;
        std::function<void()> task;
        bool busy = false;
        bool quit = false;
    };
    std::size_t limit_;
    std::vector<std::unique_ptr<Worker>> workers_;
};

} // namespace ordinex
