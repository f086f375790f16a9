#include "platform/caption_wrap.h"

#include <vector>

namespace ordinex {

namespace {

// One character: its bytes in the caption and its code point.
struct Glyph {
    std::size_t begin, end;
    char32_t code;
};

std::vector<Glyph> Glyphs(std::string_view text) {
    std::vector<Glyph> glyphs;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t len = lead < 0x80           ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 1;
        if (i + len > text.size())
            len = 1;
        char32_t code = len == 1 ? lead : lead & (0xFF >> (len + 1));
        for (std::size_t k = 1; k < len; ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        glyphs.push_back({i, i + len, code});
        i += len;
    }
    return glyphs;
}

bool IsWordPart(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') || c == U'.' ||
           c == U'/' || c == U':' || c == U'_' || c == U'-' || c == U'<' || c == U'>' || c == U'&' ||
           c == U'\\';
}

// A katakana word (loan words such as "チェック") stays on one line.
bool IsKatakana(char32_t c) {
    return (c >= 0x30A0 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F);
}

bool IsClosing(char32_t c) {
    switch (c) {
    case U')':
    case U'）':
    case U'、':
    case U'。':
    case U'，':
    case U'．':
    case U'」':
    case U'』':
    case U'”':
    case U',':
    case U'"':
    case U'!':
    case U'?':
    case U'ー':
    case U' ':
    case U'　':
    case U'ぁ':
    case U'ぃ':
    case U'ぅ':
    case U'ぇ':
    case U'ぉ':
    case U'っ':
    case U'ゃ':
    case U'ゅ':
    case U'ょ':
    case U'ァ':
    case U'ィ':
    case U'ゥ':
    case U'ェ':
    case U'ォ':
    case U'ッ':
    case U'ャ':
    case U'ュ':
    case U'ョ':
        return true;
    default:
        return false;
    }
}

bool IsOpening(char32_t c) {
    return c == U'(' || c == U'（' || c == U'「' || c == U'『' || c == U'“';
}

// Whether a line may end after glyph a and the next begin with glyph b.
bool CanBreak(char32_t a, char32_t b) {
    if ((IsWordPart(a) && IsWordPart(b)) || (IsKatakana(a) && IsKatakana(b)))
        return false;
    if (IsClosing(b) || IsOpening(a))
        return false;
    // "”" opens a quotation in some captions: keep it with what follows.
    if (a == U'”' && b != U' ' && b != U')')
        return false;
    return true;
}

bool IsPreferred(char32_t a, char32_t b) {
    return a == U' ' || a == U'　' || a == U'、' || a == U'。' || b == U'(' || b == U'（';
}

} // namespace

std::string WrapCaption(std::string_view caption, int maxWidth, const TextWidth& width) {
    if (caption.empty() || caption.find('\n') != std::string_view::npos || width(caption) <= maxWidth)
        return std::string(caption);
    const std::vector<Glyph> glyphs = Glyphs(caption);
    std::string out;
    std::size_t lineStart = 0; // glyph index
    while (lineStart < glyphs.size()) {
        const std::string_view rest = caption.substr(glyphs[lineStart].begin);
        if (width(rest) <= maxWidth) {
            out += rest;
            break;
        }
        // The longest prefix that fits, then the best break point within it.
        std::size_t fit = lineStart + 1;
        while (fit < glyphs.size() &&
               width(caption.substr(glyphs[lineStart].begin, glyphs[fit].end - glyphs[lineStart].begin)) <=
                   maxWidth)
            ++fit;
        std::size_t chosen = 0, preferred = 0;
        for (std::size_t k = lineStart + 1; k <= fit && k < glyphs.size(); ++k) {
            if (!CanBreak(glyphs[k - 1].code, glyphs[k].code))
                continue;
            chosen = k;
            if (IsPreferred(glyphs[k - 1].code, glyphs[k].code))
                preferred = k;
        }
        if (preferred && (preferred - lineStart) * 2 >= fit - lineStart)
            chosen = preferred;
        if (!chosen) {
            // Nothing breakable fits: the piece overflows up to its first break.
            chosen = fit;
            while (chosen < glyphs.size() && !CanBreak(glyphs[chosen - 1].code, glyphs[chosen].code))
                ++chosen;
        }
        out += caption.substr(glyphs[lineStart].begin, glyphs[chosen - 1].end - glyphs[lineStart].begin);
        if (chosen < glyphs.size())
            out += '\n';
        lineStart = chosen;
    }
    return out;
}

} // namespace ordinex
