#pragma once
#include "platform/ui_hooks.h"

#include <chrono>

namespace ordinex {

// The wx event loop as the runs' message pump. Dispatch() alone blocks when
// nothing is pending, so it is only called after Pending().
class WxMessagePump : public IMessagePump {
public:
    // Asking the toolkit whether anything is pending polls all its sources
    // (a system call and locks, some 10 µs); a run of small files would ask
    // thousands of times a second. Within this interval of the last question
    // the answer is taken to be no: input, timers and painting still wait no
    // longer than this.
    static constexpr std::chrono::milliseconds kCheckInterval{4};

    // A stream of input (a held key) does not keep the drain going longer.
    static constexpr std::chrono::milliseconds kDrainLimit{250};

    void PumpOneMessage() override;
    void DrainMessages() override;

private:
    std::chrono::steady_clock::time_point lastCheck_{};
};

} // namespace ordinex
