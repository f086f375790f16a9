#include "net/internet_downloader.h"
#include "net/response_watch.h"
#include "platform/text_helpers.h"
#include "settings/program_settings.h"

namespace ordinex {

namespace {

// A row's extension text as compared: without any "." and in lower case.
std::string RowExtension(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '.')
            continue;
        out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return out;
}

} // namespace

bool CInternetDownloader::PassesListFilter(const ProgramSettings& settings, const std::string& name,
                                           const std::string& sizeText) {
    const std::string extension = ExtensionOf(name);
    std::string digits;
    for (char c : sizeText)
        if (c != ',')
            digits += c;
    const int64_t size = LeadingDecimal(digits);
    // The boxes say "KB以上": a minimum in kilobytes.
    auto largeEnough = [&](int row) {
        return size >= int64_t{settings.HttpTreeListFileSizeSetting[row]} * 1024;
    };

    if (settings.HttpTreeListExtensionOptionSetting[0] != 0)
        return largeEnough(0);
    for (int row = 1; row < kExtensionRows; ++row) {
        if (settings.HttpTreeListExtensionOptionSetting[row] != 0 &&
            RowExtension(settings.GetExtensionString(row)) == extension && largeEnough(row))
            return true;
    }
    return false;
}

} // namespace ordinex
