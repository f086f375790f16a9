#pragma once
#include "runs/ui_hooks.h"

namespace ordinex {

// The wx event loop as the runs' message pump. Dispatch() alone blocks when
// nothing is pending, so it is only called after Pending().
class WxMessagePump : public IMessagePump {
public:
    void PumpOneMessage() override;
    void DrainMessages() override;
};

} // namespace ordinex
