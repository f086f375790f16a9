#include "platform/visible_text.h"

#include <cstdint>

namespace ordinex {

namespace {

void AppendEscape(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
}

// The length of the well-formed UTF-8 sequence at text[i], or 0.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t len = 0;
    uint32_t min = 0;
    uint32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2, min = 0x80, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3, min = 0x800, cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, min = 0x10000, cp = b & 0x07;
    } else {
        return 0;
    }
    if (i + len > text.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if ((c & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    // C1 control characters act on terminals as escape sequences do.
    if (cp >= 0x80 && cp <= 0x9F)
        return 0;
    return len;
}

} // namespace

std::string VisibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        // Printable ASCII goes over in runs.
        std::size_t run = i;
        while (run < text.size() && static_cast<unsigned char>(text[run]) >= 0x20 &&
               static_cast<unsigned char>(text[run]) < 0x7F)
            ++run;
        if (run > i) {
            out.append(text, i, run - i);
            i = run;
            continue;
        }
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t len = b >= 0x80 ? SequenceLength(text, i) : 0;
        if (len == 0) {
            // For a C1 character every byte of its sequence is written out.
            const bool c1 = b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                            static_cast<unsigned char>(text[i + 1]) <= 0x9F;
            const std::size_t bytes = c1 ? 2 : 1;
            for (std::size_t k = 0; k < bytes; ++k)
                AppendEscape(out, static_cast<unsigned char>(text[i + k]));
            i += bytes;
            continue;
        }
        out.append(text, i, len);
        i += len;
    }
    return out;
}

} // namespace ordinex
