#include "platform/text_encoding.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace ordinex {

namespace {

// Length of the valid UTF-8 sequence starting at s[i], or 0 when it is not one.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80)
        return 1;
    std::size_t len;
    uint32_t cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

bool ConvertFromCp932(std::string_view text, std::string& out) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string input(text);
    out.assign(input.size() * 3 + 4, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0)
        return false;
    out.resize(out.size() - outLeft);
    return true;
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = SequenceLength(text, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::string ToValidUtf8(std::string_view text) {
    if (IsValidUtf8(text))
        return std::string(text);
    std::string converted;
    if (ConvertFromCp932(text, converted) && IsValidUtf8(converted))
        return converted;
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = SequenceLength(text, i);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::string CutAtCharBoundary(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(text.substr(0, cut));
}

} // namespace ordinex

namespace ordinex {

namespace {
// Length of the control character at i: 1 for C0 and DEL, 2 for a C1
// character in UTF-8 (C2 80..C2 9F), 0 for anything else.
std::size_t ControlLength(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F)
        return 1;
    if (c == 0xC2 && i + 1 < text.size()) {
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if (next >= 0x80 && next <= 0x9F)
            return 2;
    }
    return 0;
}
} // namespace

bool HasControlChars(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (ControlLength(text, i) != 0)
            return true;
    return false;
}

std::string ReplaceControlChars(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = ControlLength(text, i);
        if (n == 0) {
            out += text[i++];
        } else {
            out += '?';
            i += n;
        }
    }
    return out;
}

namespace {

const char* IconvName(const std::string& charset) {
    // CP932 and EUC-JP as the servers write them: with the vendor extensions.
    if (charset == "Shift_JIS")
        return "CP932";
    if (charset == "EUC-JP")
        return "EUC-JP";
    return nullptr;
}

// The whole text converted, or nothing when any of it does not convert.
bool ConvertWhole(std::string_view text, const char* from, const char* to, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string result(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* dst = result.data();
    std::size_t outLeft = result.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0)
        return false;
    result.resize(result.size() - outLeft);
    out = std::move(result);
    return true;
}

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

std::string FromCharset(std::string_view bytes, const std::string& charset) {
    const char* name = IconvName(charset);
    std::string out;
    if (name && !IsAscii(bytes) && ConvertWhole(bytes, name, "UTF-8", out))
        return out;
    return std::string(bytes);
}

std::string ToCharset(std::string_view utf8, const std::string& charset) {
    const char* name = IconvName(charset);
    std::string out;
    if (name && !IsAscii(utf8) && IsValidUtf8(utf8) && ConvertWhole(utf8, "UTF-8", name, out))
        return out;
    return std::string(utf8);
}

} // namespace ordinex
