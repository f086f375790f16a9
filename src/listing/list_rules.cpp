#include "listing/list_rules.h"

#include "platform/ini_store.h"

namespace ordinex {

namespace {
unsigned char Fold(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}
} // namespace

int CompareListText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = Fold(a[i]);
        const unsigned char y = Fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool ListCommandAvailable(ListCommand command, const ListWindowState& s) {
    switch (command) {
    case ListCommand::TreeToUrl:
        return !s.running;
    case ListCommand::Download:
        return !s.running && s.downloadableRows >= 1;
    case ListCommand::ListToUrlFolder:
    case ListCommand::ListToUrlFile:
    case ListCommand::OpenInBrowser:
        return !s.running && s.selectedRows == 1;
    case ListCommand::Reload:
        // A reload is a listing: it must not start inside a run.
        return !s.running && s.nodeSelected;
    }
    return false;
}

std::string EscapeUrlName(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        if (c == '%' || c == '#' || c == '?' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            out += '%';
            out += kHex[static_cast<unsigned char>(c) >> 4];
            out += kHex[static_cast<unsigned char>(c) & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string FtpNodeAddress(const std::string& rootAddress, const std::vector<std::string>& textsBelowRoot) {
    std::string address = rootAddress;
    if (address.empty() || address.back() != '/')
        address += '/';
    for (const std::string& text : textsBelowRoot)
        address += EscapeUrlName(text) + "/";
    return address;
}

std::string JoinRowAddress(const std::string& directory, const std::string& name, bool asUrl) {
    std::string address = directory;
    if (address.empty() || address.back() != '/')
        address += '/';
    const std::string_view rest =
        !name.empty() && name.front() == '/' ? std::string_view(name).substr(1) : name;
    return address + (asUrl ? EscapeUrlName(rest) : std::string(rest));
}

std::string ListDisplayName(std::string_view text) {
    std::string_view path = text.substr(0, text.find('?'));
    std::string_view query = text.substr(path.size());
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    // A bare host ("h" or "h/") is its own name.
    if (slash == std::string_view::npos || (slash > 0 && path[slash - 1] == '/'))
        return std::string(text);
    const std::string name = std::string(path.substr(slash + 1)) + std::string(query);
    return name.empty() ? std::string(text) : name;
}

ListViewState LoadListViewState(const IniStore& ini, const std::string& section, bool readAll) {
    ListViewState state;
    if (!readAll)
        return state;
    for (int i = 0; i < kListColumns; ++i)
        state.widths[i] = ini.GetInt(section, "Column" + std::to_string(i) + "Width", kDefaultColumnWidth);
    state.sort.column = ini.GetInt(section, "SortKeyColumn", 0);
    state.sort.descending = ini.GetInt(section, "SortOrder", 0) != 0;
    // What the file cannot say: whether the order kept was ever chosen.
    state.sort.clicked = state.sort.descending || state.sort.column != 0;
    // A hand-edited column beyond the four would index nothing.
    if (state.sort.column < 0 || state.sort.column >= kListColumns)
        state.sort.column = 0;
    return state;
}

void SaveListViewState(IniStore& ini, const std::string& section, const ListViewState& state) {
    for (int i = 0; i < kListColumns; ++i)
        ini.SetInt(section, "Column" + std::to_string(i) + "Width", state.widths[i]);
    ini.SetInt(section, "SortKeyColumn", state.sort.column);
    ini.SetInt(section, "SortOrder", state.sort.descending ? 1 : 0);
}

} // namespace ordinex
