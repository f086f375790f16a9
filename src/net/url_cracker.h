#pragma once
#include "platform/text_helpers.h" // PercentDecode

#include <cstdint>
#include <string>

namespace ordinex {

// An absolute URL split into the parts the engine works with.
struct CrackedUrl {
    uint32_t serviceType = 0; // kService* of internet_downloader.h
    std::string scheme;       // lower-case
    std::string host;
    std::string path;  // begins with "/"; the query is kept, the fragment dropped
    uint16_t port = 0; // the URL's port, or the scheme's default
    std::string user;
    std::string password;
};

// Splits an absolute URL with libcurl's URL parser. Text without a scheme,
// or without a host where the scheme needs one, does not crack; schemes of
// the service table that take no host ("mailto:x@y") crack with an empty host.
bool CrackUrl(const std::string& text, CrackedUrl& out);
// The two readings CrackUrl makes: the common plain address ("http://",
// "https://" or "ftp://", a host name or dotted address, a port, a path
// without escapes, query or dot segments) without libcurl, false for
// anything else; and libcurl's, for every text. Where the first reads a
// text, both give the same parts.
bool CrackPlainUrl(const std::string& text, CrackedUrl& out);
bool CrackUrlWithLibcurl(const std::string& text, CrackedUrl& out);

uint32_t ServiceTypeOfScheme(const std::string& scheme);

// The URL as libcurl should be given it: blanks and bytes above 127 are
// %-encoded, existing %-escapes kept. Empty when the text does not crack.
std::string TransferUrl(const std::string& text);

// TransferUrl for an FTP server that writes its names in charset (see
// ToCharset): each path segment, its escapes decoded, is written in that
// charset and escaped again, so that the server is asked for its own bytes.
std::string TransferUrlInCharset(const std::string& text, const std::string& charset);

// The URL with its path replaced (query and fragment dropped), keeping the
// scheme, user, password, host and port as written. Empty when it does not crack.
std::string UrlWithPath(const std::string& text, const std::string& path);

} // namespace ordinex
