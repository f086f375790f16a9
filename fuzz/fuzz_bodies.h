#pragma once
// What each fuzz target feeds its parser, shared with the regression test
// that replays the inputs the fuzzers once crashed on.
#include "app/ordinex_app.h"
#include "job/job_file.h"
#include "listing/html_charset.h"
#include "listing/link_resolve.h"
#include "listing/page_elements.h"
#include "net/ftp_list_parser.h"
#include "net/internet_downloader.h"
#include "net/listing_dates.h"
#include "net/response_watch.h"
#include "net/url_cracker.h"
#include "platform/ini_store.h"
#include "platform/text_encoding.h"
#include "platform/text_helpers.h"
#include "platform/url_test.h"
#include "platform/visible_text.h"
#include "settings/program_settings.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace ordinex::fuzz {

// A broken promise of the code under test: stop so that the fuzzer keeps the input.
inline void Check(bool condition) {
    if (!condition)
        std::abort();
}

inline std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string_view::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    lines.push_back(text.substr(start));
    return lines;
}

// Settings file: any text loads, and what is written back reads back the same.
inline void FuzzIni(std::string_view text) {
    IniStore ini;
    ini.Parse(text);
    ProgramSettings settings;
    LoadProgramSettings(ini, settings);
    SaveProgramSettings(ini, settings);
    const std::string once = ini.Serialize();
    IniStore again;
    again.Parse(once);
    Check(again.Serialize() == once);
    ProgramSettings reread;
    LoadProgramSettings(again, reread);
    for (int row = 1; row < kExtensionRows; ++row)
        Check(reread.GetExtensionString(row) == settings.GetExtensionString(row));
    Check(reread.SaveSetting == settings.SaveSetting &&
          reread.IdleTimeoutSetting == settings.IdleTimeoutSetting);
}

// Job file: any text opens or is refused with a message, and a job that
// opened saves and opens again unchanged.
inline void FuzzJob(std::string_view text) {
    Job job;
    ProgramSettings settings;
    const JobFileResult result = ReadJobText(text, "/fuzz.odx", job, settings);
    if (!result.ok()) {
        Check(!result.message.empty());
        return;
    }
    IniStore written;
    WriteJobSections(written, job, JobEncoding::JobFile);
    WriteSettingsToJob(written, settings);
    const std::string saved = written.Serialize();
    Job again;
    ProgramSettings settingsAgain;
    Check(ReadJobText(saved, "/fuzz.odx", again, settingsAgain).ok());
    IniStore rewritten;
    WriteJobSections(rewritten, again, JobEncoding::JobFile);
    WriteSettingsToJob(rewritten, settingsAgain);
    Check(rewritten.Serialize() == saved);
}

// URL cracking and every helper built on it.
inline void FuzzUrl(std::string_view text) {
    const std::string url(text);
    CrackedUrl parts;
    if (CrackUrl(url, parts))
        Check(!parts.path.empty() && parts.path.front() == '/');
    TransferUrl(url);
    UrlWithPath(url, "/a/b/");
    PercentDecode(url);
    IsUrlText(url);
    CInternetDownloader engine;
    engine.ParseUrl(url, true, true, true);
    engine.NormalizeFtpUrl(url);
    engine.NormalizeHttpUrl(url, true);
    CInternetDownloader::UrlToLocalName(url);
    const int segments = COrdinexApp::CountUrlSegments(url);
    Check(segments >= 1);
    for (int i = -1; i <= segments; ++i)
        COrdinexApp::GetUrlSegment(url, i);
    const std::string masked = MaskPasswords(url);
    Check(!HasControlChars(ReplaceControlChars(url)));
}

// FTP listing lines and their dates.
inline void FuzzFtpListing(std::string_view text) {
    std::tm today{};
    today.tm_year = 124;
    today.tm_mon = 2;
    today.tm_mday = 4;
    for (std::string_view line : Lines(text)) {
        ListedEntry entry;
        if (!ParseFtpListLine(line, entry))
            continue;
        Check(!entry.name.empty() && entry.name != "." && entry.name != ".." && entry.size >= -1);
        // The name is kept as listed; what is shown of it never is a control character.
        Check(entry.name.find('\n') == std::string::npos && !HasControlChars(VisibleText(entry.name)));
        const std::string date = FtpListDateText(entry.rawTime, today);
        Check(date.empty() || date.size() == 16);
        ListedExtension(entry.name);
    }
}

// HTTP and FTP response lines as libcurl hands them over, and HTTP dates.
inline void FuzzHttp(std::string_view text) {
    ResponseWatch http(false), ftp(true);
    std::vector<int> codes;
    for (std::string_view line : Lines(text)) {
        const std::string withEnd = std::string(line) + "\n";
        http.OnLine(withEnd, codes);
        ftp.OnLine(withEnd, codes);
        const std::string date = HttpDateText(std::string(line));
        Check(date.empty() || date.size() == 16);
        Check(LeadingDecimal(line) >= 0);
        BoundedDecimal(line, INT64_MAX);
    }
    Check(!HasControlChars(http.contentType) && !HasControlChars(ftp.refusal));
}

// A web page: any bytes in any declared character set parse into elements,
// and every address an element names resolves to a text without control
// characters whose path never climbs above the host.
inline void FuzzPage(std::string_view data) {
    static const char* const kTypes[] = {"text/html",
                                         "text/html; charset=Shift_JIS",
                                         "text/html; charset=euc-jp",
                                         "text/html; charset=iso-2022-jp",
                                         "text/html; charset=utf-16",
                                         ""};
    // The first byte picks the Content-Type the page comes with.
    const std::string type = data.empty() ? "" : kTypes[static_cast<unsigned char>(data[0]) % 6];
    const std::string text = PageTextToUtf8(std::string(data.substr(data.empty() ? 0 : 1)), type);
    PageElements elements;
    ParsePageElements(text, elements, nullptr);
    Check(elements.Count() >= 3);
    for (std::size_t i = 0; i < elements.Count(); ++i) {
        const auto address = elements.Address(i);
        if (!address)
            continue;
        const std::string url = ResolveLink("http://h/a/b/p.html?q=1", *address);
        Check(!HasControlChars(url));
        if (SchemeOf(url) != "http")
            continue;
        CrackedUrl parts;
        if (!CrackUrl(url, parts))
            continue;
        const std::string path = parts.path.substr(0, parts.path.find('?'));
        Check(path.find("/../") == std::string::npos && path.find("/./") == std::string::npos);
        Check(path.size() < 3 || path.compare(path.size() - 3, 3, "/..") != 0);
        Check(!CInternetDownloader::LinkText(url).empty());
    }
}

} // namespace ordinex::fuzz
