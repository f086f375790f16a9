#include "test_servers.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace ordinex::test {

namespace {

constexpr int kStartTimeoutMs = 15000;

// Reads the first line the child writes, within the time limit.
std::string ReadLine(int fd) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (line.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        char buffer[64];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<size_t>(n));
    }
    return line;
}

} // namespace

TestServer TestServer::StartHttp(const std::string& rootDir) {
    return rootDir.empty() ? Start("http_server.py", "http", {})
                           : Start("http_server.py", "http", {"--root", rootDir});
}

TestServer TestServer::StartHttps(const std::string& certDir, const std::string& certName,
                                  const std::string& rootDir) {
    std::vector<std::string> args{"--tls", certDir, "--cert", certName};
    if (!rootDir.empty())
        args.insert(args.end(), {"--root", rootDir});
    return Start("http_server.py", "https", args);
}

TestServer TestServer::StartFtp(const std::string& rootDir, const std::string& option) {
    std::vector<std::string> args{rootDir};
    for (std::size_t at = 0; at < option.size();) {
        const std::size_t space = std::min(option.find(' ', at), option.size());
        if (space > at)
            args.push_back(option.substr(at, space - at));
        at = space + 1;
    }
    return Start("ftp_server.py", "ftp", args);
}

TestServer TestServer::StartNginx(const std::string& rootDir, const std::string& rate) {
    return Start("nginx_server.py", "http", {rootDir, rate});
}

TestServer TestServer::Start(const std::string& script, const std::string& scheme,
                             const std::vector<std::string>& args) {
    const std::string path = std::string(ORDINEX_TEST_SERVERS_DIR) + "/" + script;
    int out[2];
    if (pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        // The server ends with the test process, even when that crashes.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<const char*> argv{"/usr/bin/python3", path.c_str()};
        for (const std::string& arg : args)
            argv.push_back(arg.c_str());
        argv.push_back(nullptr);
        execv(argv[0], const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(out[1]);
    const std::string line = ReadLine(out[0]);
    close(out[0]);
    int port = 0;
    try {
        port = std::stoi(line);
    } catch (const std::exception&) {
    }
    TestServer server(pid, port, scheme);
    if (port <= 0)
        throw std::runtime_error(script + " did not start");
    return server;
}

TestServer::TestServer(TestServer&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), port_(other.port_), scheme_(std::move(other.scheme_)) {}

TestServer& TestServer::operator=(TestServer&& other) noexcept {
    if (this != &other) {
        Stop();
        pid_ = std::exchange(other.pid_, -1);
        port_ = other.port_;
        scheme_ = std::move(other.scheme_);
    }
    return *this;
}

TestServer::~TestServer() {
    Stop();
}

void TestServer::Stop() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) != 0) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string TestServer::url(const std::string& path) const {
    return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
}

} // namespace ordinex::test
