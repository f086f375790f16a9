#pragma once
#include <cstdint>
#include <string>

namespace ordinex {

// An absolute URL split into the parts the engine works with.
struct CrackedUrl {
    uint32_t serviceType = 0; // kService* of internet_downloader.h
    std::string scheme;       // lower-case
    std::string host;
    std::string path; // begins with "/"; the query is kept, the fragment dropped
    uint16_t port = 0; // the URL's port, or the scheme's default
    std::string user;
    std::string password;
};

// Splits an absolute URL with libcurl's URL parser. Text without a scheme,
// or without a host where the scheme needs one, does not crack.
bool CrackUrl(const std::string& text, CrackedUrl& out);

uint32_t ServiceTypeOfScheme(const std::string& scheme);

} // namespace ordinex
