#include "platform/fiber.h"

#include <cstdint>
#include <exception>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORDINEX_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ORDINEX_ASAN 1
#endif
#ifdef ORDINEX_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace ordinex {

namespace {
thread_local Fiber* current = nullptr;
}

Fiber::Fiber(std::function<void()> body, std::size_t stackBytes) : body_(std::move(body)) {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    stackBytes_ = (stackBytes + page - 1) / page * page;
    // One page below the stack stays inaccessible, so that an overflow
    // faults instead of writing over other memory.
    mapped_ = stackBytes_ + page;
    void* memory =
        ::mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED)
        return;
    ::mprotect(memory, page, PROT_NONE);
    stack_ = memory;
    if (::getcontext(&context_) != 0) {
        ::munmap(stack_, mapped_);
        stack_ = nullptr;
        return;
    }
    context_.uc_stack.ss_sp = static_cast<char*>(memory) + page;
    context_.uc_stack.ss_size = stackBytes_;
    context_.uc_link = nullptr;
    const auto self = reinterpret_cast<std::uintptr_t>(this);
    makecontext(&context_, reinterpret_cast<void (*)()>(&Fiber::Entry), 2,
                static_cast<unsigned int>(self >> 32), static_cast<unsigned int>(self & 0xffffffffu));
}

Fiber::~Fiber() {
    // A fiber that never ended is simply dropped with its stack; its body
    // holds nothing that needs unwinding by then (the run waits for every
    // fiber to end).
    if (stack_)
        ::munmap(stack_, mapped_);
}

Fiber* Fiber::Current() {
    return current;
}

void Fiber::Entry(unsigned int high, unsigned int low) {
    auto* self = reinterpret_cast<Fiber*>((static_cast<std::uintptr_t>(high) << 32) | low);
#ifdef ORDINEX_ASAN
    __sanitizer_finish_switch_fiber(nullptr, &self->callerBottom_, &self->callerSize_);
#endif
    try {
        self->body_();
    } catch (...) {
        // Nothing may unwind off the fiber's stack.
        std::terminate();
    }
    self->done_ = true;
    self->SwitchOut(true);
}

void Fiber::Resume() {
    if (!stack_ || done_ || current)
        return;
    started_ = true;
    SwitchIn();
}

void Fiber::SwitchIn() {
    current = this;
#ifdef ORDINEX_ASAN
    __sanitizer_start_switch_fiber(&fakeStack_, static_cast<char*>(context_.uc_stack.ss_sp),
                                   context_.uc_stack.ss_size);
#endif
    ::swapcontext(&caller_, &context_);
#ifdef ORDINEX_ASAN
    __sanitizer_finish_switch_fiber(fakeStack_, nullptr, nullptr);
#endif
    current = nullptr;
}

void Fiber::SwitchOut(bool ending) {
#ifdef ORDINEX_ASAN
    void* fake = nullptr;
    __sanitizer_start_switch_fiber(ending ? nullptr : &fake, callerBottom_, callerSize_);
#endif
    ::swapcontext(&context_, &caller_);
#ifdef ORDINEX_ASAN
    __sanitizer_finish_switch_fiber(fake, &callerBottom_, &callerSize_);
#endif
    (void)ending;
}

void Fiber::Yield() {
    if (current)
        current->SwitchOut(false);
}

} // namespace ordinex
