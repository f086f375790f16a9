#pragma once
#include "runs/ui_hooks.h"

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
};

} // namespace ordinex
