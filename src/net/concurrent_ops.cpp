#include "net/internet_downloader.h"
#include "platform/fiber.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace ordinex {

namespace {

constexpr int kPollMilliseconds = 15;

// A worker's host: its lines go straight to the engine's host; pumping is
// the loop's, once per round for all workers.
class WorkerHost final : public IEngineHost {
public:
    explicit WorkerHost(IEngineHost& host) : host_(host) {}
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

} // namespace

void CInternetDownloader::RunConcurrently(
    std::size_t count, std::size_t parallel,
    const std::function<void(CInternetDownloader& worker, std::size_t i)>& work) {
    // A step-by-step pause would open its question on a worker's stack: the
    // pauses keep everything one after the other.
    const bool pauses = Host().Settings().PauseForConfirm != 0;
    if (parallel <= 1 || count <= 1 || pauses || Fiber::Current() || connections_.Driven()) {
        for (std::size_t i = 0; i < count && !Host().StopRequested(); ++i)
            work(*this, i);
        return;
    }
    Batch batch(*this);
    WorkerHost host(Host());
    std::size_t next = 0;
    struct Worker {
        std::unique_ptr<CInternetDownloader> engine;
        std::unique_ptr<Fiber> fiber;
    };
    std::vector<Worker> workers;
    for (std::size_t w = 0; w < std::min(parallel, count); ++w) {
        Worker worker;
        worker.engine = std::make_unique<CInternetDownloader>(&host, *this);
        worker.engine->userName = userName;
        worker.engine->password = password;
        CInternetDownloader* engine = worker.engine.get();
        // Each worker takes the next item until none is left or Stop is asked for.
        worker.fiber = std::make_unique<Fiber>([&, engine] {
            while (next < count && !host.StopRequested())
                work(*engine, next++);
        });
        if (!worker.fiber->Valid())
            break;
        workers.push_back(std::move(worker));
    }
    if (workers.empty()) {
        for (std::size_t i = 0; i < count && !Host().StopRequested(); ++i)
            work(*this, i);
        return;
    }
    connections_.SetDriven(true, static_cast<int>(workers.size()));
    for (;;) {
        bool running = false;
        connections_.Drive();
        for (Worker& worker : workers) {
            worker.fiber->Resume();
            running = running || !worker.fiber->Done();
        }
        if (!running)
            break;
        Host().PumpOneMessage();
        connections_.WaitForActivity(kPollMilliseconds);
    }
    connections_.SetDriven(false);
}

} // namespace ordinex
