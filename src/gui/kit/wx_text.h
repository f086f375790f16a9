#pragma once
#include <wx/string.h>

#include <string>

namespace ordinex {

// Every text of the program is UTF-8; windows take wxString.
inline wxString ToWx(const std::string& utf8) {
    return wxString::FromUTF8(utf8.data(), utf8.size());
}
inline std::string FromWx(const wxString& text) {
    const wxScopedCharBuffer buffer = text.utf8_str();
    return std::string(buffer.data(), buffer.length());
}

} // namespace ordinex
