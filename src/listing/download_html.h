#pragma once
#include "listing/page_elements.h"

#include <cstddef>
#include <string>

namespace ordinex {

class CInternetDownloader;
class IEngineHost;

// The hidden view of link extraction: loads a page (libcurl, redirects
// followed), reads it in its character set and parses it as a browser does
// (gumbo), then hands out the address of each element of its tag table. It
// raises the navigation events through the engine's host: the busy state
// (only when no operation holds it already), the page being loaded, a
// status text, the bytes received and the end of each load. No scripts run,
// so nothing is waited for after a load.
class CDownloadHtml {
public:
    explicit CDownloadHtml(CInternetDownloader& engine) : engine_(engine) {}

    // Loads the page HttpTreeListReadingNumberSetting times and parses the
    // last load. Success also when Stop ended it (then without elements);
    // failure with the engine's errorText set.
    bool LoadPage(const std::string& address);
    // The absolute address that element index refers to, or empty: for an
    // element of the tag table whose switch is on and that has its attribute,
    // resolved against the page; never an address other than http, https or
    // ftp. HEAD, BODY and FRAMESET set the section the rows depend on, so
    // the elements are asked in order.
    std::string GetElementUrl(std::size_t index);
    static std::string ResolveUrl(const std::string& base, const std::string& link);

    // The page's address after redirects.
    const std::string& Location() const { return location_; }
    const PageElements& Elements() const { return elements_; }
    // Lets the parsed page go.
    void Release();

    std::size_t elementCount = 0;
    bool loaded = false;
    // The last HEAD, BODY or FRAMESET met; it carries over from page to page.
    std::string section;

private:
    IEngineHost& Host() const;

    CInternetDownloader& engine_;
    PageElements elements_;
    std::string location_;
    std::string base_;      // the location, or the page's <base href>
    std::string encoding_;  // the page's, when its queries are sent in it (EncodeQueryForPage)
    std::string lastValue_; // the last address resolved, and what it gave
    std::string lastUrl_;
    bool lastValueSet_ = false;
};

} // namespace ordinex
