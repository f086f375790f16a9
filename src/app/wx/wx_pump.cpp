#include "app/wx/wx_pump.h"

#include <wx/app.h>

namespace ordinex {

void WxMessagePump::PumpOneMessage() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastCheck_ < kCheckInterval)
        return;
    lastCheck_ = now;
    if (wxTheApp && wxTheApp->Pending())
        wxTheApp->Dispatch();
}

void WxMessagePump::DrainMessages() {
    while (wxTheApp && wxTheApp->Pending())
        wxTheApp->Dispatch();
    lastCheck_ = std::chrono::steady_clock::now();
}

} // namespace ordinex
