#pragma once
// The workers of CInternetDownloader::RunConcurrently (inside the engine only).
#include "net/engine_host.h"
#include "net/internet_downloader.h"
#include "platform/fiber_pool.h"

#include <memory>
#include <vector>

namespace ordinex {

// A worker's host: its lines go straight to the engine's host; pumping is
// the loop's, once per round for all workers.
class WorkerHost final : public IEngineHost {
public:
    explicit WorkerHost(IEngineHost& host) : host_(host) {}
    IEngineHost& Wrapped() const { return host_; }
    void SetStatus(const std::string& text) override { host_.SetStatus(text); }
    void SetStatus2(const std::string& text) override { host_.SetStatus2(text); }
    void SetTransferText(const std::string& text) override { host_.SetTransferText(text); }
    void SetByteProgress(const std::string&, int64_t, int64_t) override {}
    void ShowTreeTarget(const std::string&) override {}
    void PumpOneMessage() override {}
    bool StopRequested() const override { return host_.StopRequested(); }
    const ProgramSettings& Settings() const override { return host_.Settings(); }

private:
    IEngineHost& host_;
};

struct CInternetDownloader::ConcurrentWorkers {
    ConcurrentWorkers(IEngineHost& wrapped, std::size_t parallel) : host(wrapped), pool(parallel) {}
    WorkerHost host;
    std::vector<std::unique_ptr<CInternetDownloader>> engines;
    FiberPool pool; // last, so that the fibers end before the engines they use go
};

} // namespace ordinex
