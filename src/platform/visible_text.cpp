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

// Characters that show nothing themselves but change what is shown around
// them: C1 controls (escape sequences on terminals), the bidirectional
// overrides, embeddings and isolates that turn "txt.exe" around, zero-width
// characters and the line and paragraph separators.
bool ActsUnseen(uint32_t cp) {
    return (cp >= 0x80 && cp <= 0x9F) || cp == 0xAD || cp == 0x061C || cp == 0x180E ||
           (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202E) ||
           (cp >= 0x2060 && cp <= 0x2064) || (cp >= 0x2066 && cp <= 0x206F) || cp == 0xFEFF ||
           (cp >= 0xFFF9 && cp <= 0xFFFB) || cp == 0xE0001 || (cp >= 0xE0020 && cp <= 0xE007F);
}

struct Sequence {
    std::size_t length = 0; // 0: no well-formed UTF-8 sequence starts here
    uint32_t cp = 0;
};

Sequence ReadSequence(std::string_view text, std::size_t i) {
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
        return {};
    }
    if (i + len > text.size())
        return {};
    for (std::size_t k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if ((c & 0xC0) != 0x80)
            return {};
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return {};
    return {len, cp};
}

} // namespace

std::string VisibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    // What needs no escape goes over in runs, as one copy each.
    std::size_t clean = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b >= 0x20 && b < 0x7F) {
            ++i;
            continue;
        }
        // Kana, CJK and the private use area (lead bytes E3 to EC and EE):
        // nothing there acts unseen, only the form is checked.
        if (((b >= 0xE3 && b <= 0xEC) || b == 0xEE) && i + 2 < text.size() &&
            (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80 &&
            (static_cast<unsigned char>(text[i + 2]) & 0xC0) == 0x80) {
            i += 3;
            continue;
        }
        const Sequence s = b >= 0x80 ? ReadSequence(text, i) : Sequence{};
        if (s.length != 0 && !ActsUnseen(s.cp)) {
            i += s.length;
            continue;
        }
        out.append(text, clean, i - clean);
        // Every byte of an unseen character is written out.
        const std::size_t length = s.length == 0 ? 1 : s.length;
        for (std::size_t k = 0; k < length; ++k)
            AppendEscape(out, static_cast<unsigned char>(text[i + k]));
        i += length;
        clean = i;
    }
    out.append(text, clean, text.size() - clean);
    return out;
}

} // namespace ordinex
