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

#if defined(__x86_64__) && defined(__linux__)
#define ORDINEX_FIBER_ASM 1
// Saves the callee-saved registers and the floating-point control words on
// the current stack, stores its pointer at *save and continues on the stack
// at load (as left by an earlier switch, or as a new fiber's stack is laid
// out below).
extern "C" void ordinex_fiber_switch(void** save, void* load);
// A new fiber's first switch returns here: r12 holds the fiber, r13 where it starts.
extern "C" void ordinex_fiber_trampoline();
asm(R"(
    .text
    .globl ordinex_fiber_switch
    .type ordinex_fiber_switch, @function
ordinex_fiber_switch:
    pushq %rbp
    pushq %rbx
    pushq %r12
    pushq %r13
    pushq %r14
    pushq %r15
    subq $16, %rsp
    stmxcsr 8(%rsp)
    fnstcw 12(%rsp)
    movq %rsp, (%rdi)
    movq %rsi, %rsp
    ldmxcsr 8(%rsp)
    fldcw 12(%rsp)
    addq $16, %rsp
    popq %r15
    popq %r14
    popq %r13
    popq %r12
    popq %rbx
    popq %rbp
    ret
    .size ordinex_fiber_switch, .-ordinex_fiber_switch

    .globl ordinex_fiber_trampoline
    .type ordinex_fiber_trampoline, @function
ordinex_fiber_trampoline:
    movq %r12, %rdi
    andq $-16, %rsp
    callq *%r13
    ud2
    .size ordinex_fiber_trampoline, .-ordinex_fiber_trampoline
    .section .note.GNU-stack, "", @progbits
    .text
)");
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
    context_.uc_stack.ss_sp = static_cast<char*>(memory) + page;
    context_.uc_stack.ss_size = stackBytes_;
#ifdef ORDINEX_FIBER_ASM
    // The stack as ordinex_fiber_switch leaves it: control words, six
    // registers (r12: the fiber, r13: where it starts), the return address.
    auto* top = reinterpret_cast<std::uint64_t*>(static_cast<char*>(memory) + mapped_);
    std::uint64_t* sp = top - 10;
    std::uint32_t mxcsr = 0;
    std::uint16_t fpucw = 0;
    asm volatile("stmxcsr %0" : "=m"(mxcsr));
    asm volatile("fnstcw %0" : "=m"(fpucw));
    sp[0] = 0;
    sp[1] = static_cast<std::uint64_t>(mxcsr) | (static_cast<std::uint64_t>(fpucw) << 32);
    sp[2] = 0;                                              // r15
    sp[3] = 0;                                              // r14
    sp[4] = reinterpret_cast<std::uint64_t>(&Fiber::Start); // r13
    sp[5] = reinterpret_cast<std::uint64_t>(this);          // r12
    sp[6] = 0;                                              // rbx
    sp[7] = 0;                                              // rbp
    sp[8] = reinterpret_cast<std::uint64_t>(&ordinex_fiber_trampoline);
    sp_ = sp;
#else
    if (::getcontext(&context_) != 0) {
        ::munmap(stack_, mapped_);
        stack_ = nullptr;
        return;
    }
    context_.uc_link = nullptr;
    const auto self = reinterpret_cast<std::uintptr_t>(this);
    makecontext(&context_, reinterpret_cast<void (*)()>(&Fiber::Entry), 2,
                static_cast<unsigned int>(self >> 32), static_cast<unsigned int>(self & 0xffffffffu));
#endif
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
    Start(reinterpret_cast<Fiber*>((static_cast<std::uintptr_t>(high) << 32) | low));
}

void Fiber::Start(Fiber* self) {
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
#ifdef ORDINEX_FIBER_ASM
    ordinex_fiber_switch(&callerSp_, sp_);
#else
    ::swapcontext(&caller_, &context_);
#endif
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
#ifdef ORDINEX_FIBER_ASM
    ordinex_fiber_switch(&sp_, callerSp_);
#else
    ::swapcontext(&context_, &caller_);
#endif
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
