#pragma once
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace ordinex::test {

// A test server script (tests/servers) run with /usr/bin/python3 on
// 127.0.0.1: started, asked for its port, and ended with the object.
class TestServer {
public:
    // The HTTP server; with rootDir it also serves the files below that folder.
    static TestServer StartHttp(const std::string& rootDir = "");
    // The same server over HTTPS, with a certificate that tls_certs.py makes
    // in certDir ("localhost": for 127.0.0.1; "other": for another host name),
    // signed by the authority certDir/ca.pem, which nothing trusts unless told.
    static TestServer StartHttps(const std::string& certDir, const std::string& certName = "localhost",
                                 const std::string& rootDir = "");
    // The FTP server over rootDir: user "user", password "secret", or anonymous;
    // files in rootDir/locked are listed but cannot be read. option "--slow"
    // sends data at 64 KiB a second; "--no-size" leaves SIZE unanswered;
    // several options are separated by spaces (see ftp_server.py).
    static TestServer StartFtp(const std::string& rootDir, const std::string& option = "");
    // Debian's nginx over rootDir, sending each connection rate bytes a
    // second ("200k"), logging the ranges asked for to rootDir/../nginx-access.log.
    static TestServer StartNginx(const std::string& rootDir, const std::string& rate);

    TestServer(TestServer&& other) noexcept;
    TestServer& operator=(TestServer&& other) noexcept;
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;
    ~TestServer();

    int port() const { return port_; }
    // "http://127.0.0.1:PORT" + path (or "https://...", "ftp://...").
    std::string url(const std::string& path) const;
    void Stop();

private:
    TestServer(pid_t pid, int port, std::string scheme)
        : pid_(pid), port_(port), scheme_(std::move(scheme)) {}
    static TestServer Start(const std::string& script, const std::string& scheme,
                            const std::vector<std::string>& args);

    pid_t pid_ = -1;
    int port_ = 0;
    std::string scheme_;
};

} // namespace ordinex::test
