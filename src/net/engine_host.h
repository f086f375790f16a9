#pragma once
#include "platform/ui_hooks.h"

#include <cstdint>
#include <string>

namespace ordinex {

struct ProgramSettings;

// What the transfer engine needs of the application: the status writers, the
// message pump, the stop request and the settings. The application object
// implements it; engine tests may use a recorder.
class IEngineHost {
public:
    virtual ~IEngineHost() = default;
    virtual void SetStatus(const std::string& text) = 0;       // line 1006
    virtual void SetStatus2(const std::string& text) = 0;      // line 1011
    virtual void SetTransferText(const std::string& text) = 0; // line 1019 and the log
    virtual void SetByteProgress(const std::string& text, int64_t range, int64_t position) = 0;
    virtual void ShowTreeTarget(const std::string& address) = 0;
    virtual void PumpOneMessage() = 0;
    virtual bool StopRequested() const = 0;
    virtual const ProgramSettings& Settings() const = 0;

    // The page loads of the link extraction. Without an application behind
    // the host they show nothing.
    // Lines 1007 and 1008: the page being loaded (and where to), logged.
    virtual void ShowLoadTarget(const std::string& /*address*/, const std::string& /*destination*/) {}
    // Enter and leave the busy state; Busy tells whether an operation holds it.
    virtual void BeginBusy() {}
    virtual void EndBusy() {}
    virtual bool Busy() const { return false; }
    // A page of a listing that could not be read (below the first of a
    // walk) or was read only in part: said on line 1019 and in the log, not
    // in a dialog, so that a site of broken links does not keep the user
    // answering. The caller counts them (CInternetDownloader::linkTroubles).
    virtual void ReportPageTrouble(const std::string& text) { SetTransferText(text); }
};

} // namespace ordinex
