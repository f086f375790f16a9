// Starts a program on the current X display and reports how long it took to
// map its first window, its resident memory a second after the start (or at
// the map, when that came later) and how many shared libraries it had mapped
// by then. The program is then sent SIGTERM and waited for.
//
//   ordinex_start_probe [--timeout-ms N] -- PROGRAM [ARG...]
//
// Prints one line: map_ms=<ms> rss_kib=<KiB> libraries=<count>. Exit status 1
// when the program ended or mapped nothing within the timeout.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

long ResidentKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Distinct files named *.so or *.so.N among the process's mappings.
size_t SharedLibraries(pid_t pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> files;
    std::string line;
    while (std::getline(maps, line)) {
        const size_t slash = line.find('/');
        if (slash == std::string::npos)
            continue;
        const std::string path = line.substr(slash);
        const std::string name = path.substr(path.rfind('/') + 1);
        if (name.find(".so") != std::string::npos)
            files.insert(path);
    }
    return files.size();
}

bool Exited(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

void End(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (Exited(pid))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    int timeoutMs = 20000;
    int first = 1;
    while (first < argc && std::strcmp(argv[first], "--") != 0) {
        if (std::strcmp(argv[first], "--timeout-ms") == 0 && first + 1 < argc) {
            timeoutMs = std::atoi(argv[first + 1]);
            first += 2;
        } else {
            std::fprintf(stderr, "usage: %s [--timeout-ms N] -- PROGRAM [ARG...]\n", argv[0]);
            return 2;
        }
    }
    if (first + 1 >= argc) {
        std::fprintf(stderr, "usage: %s [--timeout-ms N] -- PROGRAM [ARG...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "start_probe: no X display\n");
        return 1;
    }
    // Top-level windows are children of the root; without a window manager
    // their MapNotify arrives here as the server maps them.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[first + 1], argv + first + 1);
        _exit(127);
    }
    const Clock::time_point deadline = start + std::chrono::milliseconds(timeoutMs);
    Clock::time_point mapped{};
    bool seen = false;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    while (!seen && Clock::now() < deadline) {
        while (!seen && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect) {
                mapped = Clock::now();
                seen = true;
            }
        }
        if (seen)
            break;
        if (Exited(pid)) {
            std::fprintf(stderr, "start_probe: the program ended before mapping a window\n");
            return 1;
        }
        poll(&fd, 1, 20);
    }
    if (!seen) {
        std::fprintf(stderr, "start_probe: no window within %d ms\n", timeoutMs);
        End(pid);
        return 1;
    }
    const Clock::time_point sample = std::max(start + std::chrono::seconds(1), mapped);
    std::this_thread::sleep_until(sample);
    const long rss = ResidentKib(pid);
    const size_t libraries = SharedLibraries(pid);
    End(pid);
    const double ms = std::chrono::duration<double, std::milli>(mapped - start).count();
    std::printf("map_ms=%.1f rss_kib=%ld libraries=%zu\n", ms, rss, libraries);
    XCloseDisplay(display);
    return 0;
}
