#include "process_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace ordinex::test {

namespace {

// One property of a window as bytes; empty when it has none.
std::string Property(Display* display, Window window, Atom name, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, name, 0, 4096, False, type, &actualType, &format, &count, &after,
                           &data) != Success ||
        !data)
        return {};
    std::string bytes;
    // Xlib hands format-32 items over as longs.
    if (actualType == type)
        bytes.assign(reinterpret_cast<char*>(data), count * (format == 32 ? sizeof(long) : format / 8));
    XFree(data);
    return bytes;
}

void Collect(Display* display, Window window, pid_t pid, int depth, std::vector<std::string>& titles) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    const Atom nameAtom = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        const std::string owner = Property(display, children[i], pidAtom, XA_CARDINAL);
        // Format 32 properties come as longs.
        if (owner.size() >= sizeof(long) && *reinterpret_cast<const long*>(owner.data()) == pid)
            titles.push_back(Property(display, children[i], nameAtom, utf8));
        else if (depth < 2) // inside a window manager's frame
            Collect(display, children[i], pid, depth + 1, titles);
    }
    if (children)
        XFree(children);
}

} // namespace

std::vector<std::string> ProcessWindowTitles(pid_t pid) {
    std::vector<std::string> titles;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return titles;
    Collect(display, DefaultRootWindow(display), pid, 0, titles);
    XCloseDisplay(display);
    return titles;
}

bool WaitForProcessWindow(pid_t pid, const std::function<bool(const std::string&)>& match, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        for (const std::string& title : ProcessWindowTitles(pid))
            if (match(title))
                return true;
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid)
            return false; // it ended
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool ProcessMaps(pid_t pid, const std::string& part) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

} // namespace ordinex::test
