#include "net/response_watch.h"

#include "net/session_status.h"
#include "platform/text_encoding.h"

#include <algorithm>

namespace ordinex {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of "Name: value" when the line's name is name (any case), else nullopt-like false.
bool HeaderValue(std::string_view line, std::string_view name, std::string& value) {
    if (line.size() <= name.size() || line[name.size()] != ':')
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char a = line[i], b = name[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    // Header values reach the windows and the log: no control characters.
    value = ReplaceControlChars(Trim(line.substr(name.size() + 1)));
    return true;
}

// A token of a comma-separated header value, in any case ("Connection: Keep-Alive, Upgrade").
bool ContainsWord(std::string_view value, std::string_view word) {
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        const std::string_view token = Trim(value.substr(start, comma - start));
        if (token.size() == word.size() &&
            std::equal(token.begin(), token.end(), word.begin(),
                       [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; }))
            return true;
        start = comma + 1;
    }
    return false;
}

} // namespace

bool ResponseWatch::OnLine(std::string_view line, std::vector<int>& codes) {
    return ftp_ ? OnFtpLine(line, codes) : OnHttpLine(line, codes);
}

bool ResponseWatch::OnHttpLine(std::string_view line, std::vector<int>& codes) {
    if (finalHeaders)
        return false; // trailers after the body
    if (line.substr(0, 5) == "HTTP/") {
        const auto space = line.find(' ');
        // A status code has three digits; more of them make no code at all
        // (and must not overflow on the way).
        long code = 0;
        std::size_t digits = 0;
        for (std::size_t i = space == std::string_view::npos ? line.size() : space + 1;
             i < line.size() && IsDigit(line[i]) && digits <= 3; ++i, ++digits)
            code = code * 10 + (line[i] - '0');
        statusCode = digits == 3 ? code : 0;
        contentLength.clear();
        contentType.clear();
        lastModified.clear();
        etag.clear();
        contentRange.clear();
        location.clear();
        hasLocation_ = false;
        redirecting = false;
        persistent_ = line.substr(0, 9) == "HTTP/1.1 ";
        hasLength_ = statusCode == 204 || statusCode == 304;
        chunked_ = false;
        codes.push_back(kStatusRequestSent);
        codes.push_back(kStatusReceivingResponse);
        return false;
    }
    if (Trim(line).empty()) {
        codes.push_back(kStatusResponseReceived);
        // 1xx responses come before the real one; a redirect with a Location is followed.
        // 300 offers several places and names none as the file: it is final too.
        const bool redirect = statusCode > 300 && statusCode < 400 && hasLocation_;
        if (statusCode >= 200 && !redirect)
            finalHeaders = true;
        redirecting = redirect;
        return false;
    }
    std::string value;
    if (HeaderValue(line, "content-length", value)) {
        contentLength = value;
        hasLength_ = true;
    } else if (HeaderValue(line, "connection", value)) {
        if (ContainsWord(value, "close"))
            persistent_ = false;
        else if (ContainsWord(value, "keep-alive"))
            persistent_ = true;
    } else if (HeaderValue(line, "transfer-encoding", value))
        chunked_ = ContainsWord(value, "chunked");
    else if (HeaderValue(line, "content-type", value))
        contentType = value;
    else if (HeaderValue(line, "last-modified", value))
        lastModified = value;
    else if (HeaderValue(line, "etag", value))
        etag = value;
    else if (HeaderValue(line, "content-range", value))
        contentRange = value;
    else if (HeaderValue(line, "location", value)) {
        hasLocation_ = true;
        location = value;
    }
    return false;
}

bool ResponseWatch::OnFtpLine(std::string_view line, std::vector<int>& codes) {
    // Only the last line of a reply ("NNN text"); "NNN-" lines continue it, and
    // the made-up "Content-Length:" lines of a size query are no replies.
    const bool isReply = line.size() >= 3 && IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]) &&
                         (line.size() == 3 || line[3] == ' ' || line[3] == '\r' || line[3] == '\n');
    if (!isReply)
        return false;
    lastReplyCode = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    if (lastReplyCode == 213) {
        const std::string_view number = Trim(line.substr(3));
        const bool digits = !number.empty() && number.size() <= 18 &&
                            number.find_first_not_of("0123456789") == std::string_view::npos;
        sizeReply = digits ? LeadingDecimal(number) : -1;
    }
    if (lastReplyCode >= 400)
        refusal = ReplaceControlChars(Trim(line)); // shown as the reason of a failure
    else if (lastReplyCode != 221)
        refusal.clear();
    // One report for the command and one for its reply keep the line readable
    // (and the pauses for confirmation few) over the dozen exchanges of a transfer.
    if (greetingDue_) {
        greetingDue_ = false;
        greeted_ = true;
        codes.push_back(kStatusConnectedToServer);
        codes.push_back(kStatusResponseReceived);
        return false;
    }
    codes.push_back(kStatusSendingRequest);
    codes.push_back(kStatusResponseReceived);
    // After the greeting, the first positive completion answers USER or PASS.
    if (greeted_ && !loggedIn && lastReplyCode >= 200 && lastReplyCode < 300) {
        loggedIn = true;
        return true;
    }
    return false;
}

int64_t LeadingDecimal(std::string_view text) {
    int64_t n = 0;
    for (char c : text) {
        if (!IsDigit(c))
            break;
        if (n > (INT64_MAX - 9) / 10)
            return INT64_MAX;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace ordinex
