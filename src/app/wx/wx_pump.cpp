#include "app/wx/wx_pump.h"

#include <wx/app.h>

namespace ordinex {

void WxMessagePump::PumpOneMessage() {
    if (wxTheApp && wxTheApp->Pending())
        wxTheApp->Dispatch();
}

void WxMessagePump::DrainMessages() {
    while (wxTheApp && wxTheApp->Pending())
        wxTheApp->Dispatch();
}

} // namespace ordinex
