#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ordinex {

// Follows the response lines libcurl hands to the header callback: the HTTP
// status line and headers of each response (redirects are followed, so only
// the last response counts), or the FTP server's replies. Tells which session
// status reports each line raises.
class ResponseWatch {
public:
    explicit ResponseWatch(bool ftp) : ftp_(ftp) {}

    // One line with its line end. Appends the status codes it raises to codes;
    // returns true for the FTP reply that completes the login.
    bool OnLine(std::string_view line, std::vector<int>& codes);

    // HTTP, of the latest response.
    long statusCode = 0;
    std::string contentLength; // the header's text, empty when absent
    std::string contentType;
    std::string lastModified;
    std::string etag;
    std::string contentRange;  // of a partial answer: "bytes FIRST-LAST/TOTAL"
    bool finalHeaders = false; // the headers of the response that is delivered are complete
    std::string location;      // the Location header's text
    // The answer leaves its connection open for the next request: HTTP/1.1
    // (or 1.0 with keep-alive), no "Connection: close", and a body whose end
    // the headers tell.
    bool keepsConnection() const { return persistent_ && (hasLength_ || chunked_); }
    bool redirecting = false; // the headers just completed are those of a redirect that is followed

    // FTP. A new control connection begins with the server's greeting; a
    // kept one goes on with replies to the next commands.
    void ExpectGreeting() {
        greetingDue_ = true;
        loggedIn = false;
    }
    bool loggedIn = false;
    int lastReplyCode = 0;
    // The size in the last "213 N" reply, -1 when none came. Only a transfer
    // that sends SIZE and no MDTM (whose reply is a 213 as well) may use it.
    int64_t sizeReply = -1;
    // The refusal (4xx, 5xx) that no later reply has made up for, without its
    // line end; the goodbye to QUIT does not count.
    std::string refusal;

private:
    bool OnHttpLine(std::string_view line, std::vector<int>& codes);
    bool OnFtpLine(std::string_view line, std::vector<int>& codes);

    bool ftp_;
    bool hasLocation_ = false;
    bool persistent_ = false;
    bool hasLength_ = false;
    bool chunked_ = false;
    bool greetingDue_ = false;
    bool greeted_ = false;
};

// The leading decimal digits of a header text as a number; 0 when there are none.
int64_t LeadingDecimal(std::string_view text);

} // namespace ordinex
