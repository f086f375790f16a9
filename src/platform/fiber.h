#pragma once
#include <cstddef>
#include <functional>
#include <ucontext.h>

namespace ordinex {

// A body of work with a stack of its own, run on the calling thread: it runs
// until it yields or ends, and goes on where it left off when resumed. The
// files of a parallel run each keep their one-after-the-other code this way
// while a single loop on the user-interface thread drives all of them.
class Fiber {
public:
    explicit Fiber(std::function<void()> body, std::size_t stackBytes = kDefaultStackBytes);
    ~Fiber();
    Fiber(const Fiber&) = delete;
    Fiber& operator=(const Fiber&) = delete;

    // Whether the stack could be made; a fiber without one never runs.
    bool Valid() const { return stack_ != nullptr; }
    // Runs the body until it yields or ends. Not from inside a fiber.
    void Resume();
    bool Done() const { return done_; }
    // From inside a fiber: back to the one that resumed it.
    static void Yield();
    // The fiber running now, or null on the thread's own stack.
    static Fiber* Current();

    static constexpr std::size_t kDefaultStackBytes = 512 * 1024;

private:
    static void Entry(unsigned int high, unsigned int low);
    static void Start(Fiber* self);
    void SwitchIn();
    void SwitchOut(bool ending);

    std::function<void()> body_;
    void* stack_ = nullptr;
    std::size_t mapped_ = 0;
    std::size_t stackBytes_ = 0;
    bool started_ = false;
    bool done_ = false;
    // Where each side's registers were left: on x86-64 a switch of our own
    // (swapcontext would also save and restore the signal mask, a system
    // call at every switch), elsewhere the ucontext functions.
    void* sp_ = nullptr;
    void* callerSp_ = nullptr;
    ucontext_t context_{};
    ucontext_t caller_{};
    // The address sanitizer's view of the stacks being switched.
    void* fakeStack_ = nullptr;
    const void* callerBottom_ = nullptr;
    std::size_t callerSize_ = 0;
};

} // namespace ordinex
