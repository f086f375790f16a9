#include "listing/html_charset.h"

#include "listing/markup_pieces.h"
#include "platform/ascii_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace ordinex {

namespace {

// How far into the page a <meta> declaration is looked for.
constexpr std::size_t kPrescanBytes = 4096;

// The value after "charset=" in a Content-Type text, unquoted; empty when absent.
std::string CharsetParameter(std::string_view text) {
    const std::string lower = AsciiLowerText(text);
    std::size_t at = 0;
    while ((at = lower.find("charset", at)) != std::string::npos) {
        std::size_t i = at + 7;
        while (i < text.size() && IsHtmlBlank(text[i]))
            ++i;
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && IsHtmlBlank(text[i]))
                ++i;
            if (i < text.size() && (text[i] == '"' || text[i] == '\''))
                return std::string(ReadQuoted(text, i));
            std::size_t end = i;
            while (end < text.size() && !IsHtmlBlank(text[end]) && text[end] != ';')
                ++end;
            return std::string(text.substr(i, end - i));
        }
        at += 7;
    }
    return {};
}

// The next attribute of a tag from text[i] on, its name in lower case; i
// moves past it. False at the tag's end.
bool NextAttribute(std::string_view text, std::size_t& i, std::string& name, std::string& value) {
    while (i < text.size() && (IsHtmlBlank(text[i]) || text[i] == '/'))
        ++i;
    if (i >= text.size() || text[i] == '>')
        return false;
    const TagAttribute attribute = ReadTagAttribute(text, i);
    name = AsciiLowerText(attribute.name);
    value = std::string(attribute.value);
    return true;
}

// The charset of the first <meta> that declares one, outside comments.
std::string MetaCharset(std::string_view page) {
    const std::string_view text = page.substr(0, kPrescanBytes);
    std::size_t i = 0;
    while ((i = text.find('<', i)) != std::string_view::npos) {
        const std::string_view rest = text.substr(i);
        if (rest.substr(0, 4) == "<!--") {
            const std::size_t end = text.find("-->", i + 4);
            if (end == std::string_view::npos)
                return {};
            i = end + 3;
            continue;
        }
        if (StartsWithNoCase(rest, "<meta") && rest.size() > 5 && (IsHtmlBlank(rest[5]) || rest[5] == '/')) {
            i += 5;
            std::string name, value, charset, httpEquiv, content;
            while (NextAttribute(text, i, name, value)) {
                if (name == "charset" && charset.empty())
                    charset = value;
                else if (name == "http-equiv")
                    httpEquiv = AsciiLowerText(value);
                else if (name == "content")
                    content = value;
            }
            if (!charset.empty())
                return charset;
            if (httpEquiv == "content-type") {
                std::string fromContent = CharsetParameter(content);
                if (!fromContent.empty())
                    return fromContent;
            }
            continue;
        }
        ++i;
    }
    return {};
}

// The converter's name for a label; empty for UTF-8 (nothing to convert).
std::string ConverterName(const std::string& label, bool fromMeta) {
    const std::string l = AsciiLowerText(TrimHtmlBlanks(label));
    auto any = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (l == n)
                return true;
        return false;
    };
    if (l.empty() || any({"utf-8", "utf8", "unicode-1-1-utf-8", "x-unicode20utf8"}))
        return {};
    // Browsers read every Shift_JIS label as Microsoft's extended table.
    if (any({"shift_jis", "shift-jis", "sjis", "x-sjis", "ms_kanji", "csshiftjis", "windows-31j", "cp932",
             "ms932"}))
        return "CP932";
    if (any({"euc-jp", "eucjp", "x-euc-jp", "cseucpkdfmtjapanese"}))
        return "EUC-JP-MS";
    if (any({"iso-2022-jp", "csiso2022jp"}))
        return "ISO-2022-JP";
    if (any({"iso-8859-1", "latin1", "l1", "us-ascii", "ascii", "windows-1252", "cp1252", "x-cp1252"}))
        return "CP1252";
    // A page that could be read far enough to find its <meta> is no UTF-16 page.
    if (fromMeta && l.compare(0, 6, "utf-16") == 0)
        return {};
    std::string upper = l;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// Converts with iconv; a byte that does not convert becomes U+FFFD, or ends
// the conversion with false when strict. False when the converter is unknown.
bool Convert(std::string_view in, const std::string& from, std::string& out, bool strict) {
    iconv_t cd = iconv_open("UTF-8", from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.clear();
    out.reserve(in.size() + in.size() / 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[64 * 1024];
    bool clean = true;
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, sizeof buffer - dstLeft);
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        clean = false;
        if (strict)
            break;
        out += "\xEF\xBF\xBD";
        if (errno == EINVAL)
            break; // a sequence cut off at the end
        ++src;
        --srcLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Flush a stateful encoding's return to its initial state.
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, sizeof buffer - dstLeft);
    iconv_close(cd);
    return clean || !strict;
}

// One character from UTF-8 into the encoding; false when it has no such character.
bool ConvertFromUtf8(std::string_view character, const std::string& to, std::string& out) {
    iconv_t cd = iconv_open(to.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char buffer[32];
    char* src = const_cast<char*>(character.data());
    std::size_t srcLeft = character.size();
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1) && srcLeft == 0;
    // A stateful encoding returns to its initial state at the end.
    ok = ok && iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (ok)
        out.assign(buffer, sizeof buffer - dstLeft);
    return ok;
}

// The code point of one UTF-8 character (U+FFFD for a broken one).
uint32_t CodePoint(std::string_view c) {
    const auto b = static_cast<unsigned char>(c[0]);
    const std::size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (len != c.size() || len == 1)
        return 0xFFFD;
    uint32_t cp = b & (0x7F >> len);
    for (std::size_t k = 1; k < len; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(c[k]) & 0x3F);
    return cp;
}

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        if (b < 0x80)
            len = 1;
        else if (b >= 0xC2 && b <= 0xDF)
            len = 2;
        else if (b >= 0xE0 && b <= 0xEF)
            len = 3;
        else if (b >= 0xF0 && b <= 0xF4)
            len = 4;
        else
            return false;
        if (i + len > s.size())
            return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += len;
    }
    return true;
}

// How much a decoding of an undeclared page reads like Japanese text. Kana
// count for it; half-width katakana letters too, but not the half-width
// punctuation "｡｢｣､･", which is what the lead bytes of EUC-JP's kana and
// symbol rows become when EUC-JP is read as Shift_JIS.
long JapaneseScore(std::string_view utf8) {
    long score = 0;
    for (std::size_t i = 0; i + 2 < utf8.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        if (b0 != 0xE3 && b0 != 0xEF)
            continue;
        const uint32_t cp = ((b0 & 0x0Fu) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6) |
                            (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
        if ((cp >= 0x3041 && cp <= 0x30FF) || (cp >= 0xFF66 && cp <= 0xFF9F))
            ++score;
        else if (cp >= 0xFF61 && cp <= 0xFF65)
            --score;
        i += 2;
    }
    return score;
}

} // namespace

std::string DeclaredCharset(std::string_view contentType, std::string_view page) {
    std::string label = CharsetParameter(contentType);
    return label.empty() ? MetaCharset(page) : label;
}

std::string PageTextToUtf8(std::string page, std::string_view contentType, std::string* encoding) {
    std::string out;
    std::string used;
    if (!encoding)
        encoding = &used;
    encoding->clear();
    const std::string_view text(page);
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        return page.substr(3);
    if (text.substr(0, 2) == "\xFF\xFE")
        return Convert(text.substr(2), "UTF-16LE", out, false) ? out : page;
    if (text.substr(0, 2) == "\xFE\xFF")
        return Convert(text.substr(2), "UTF-16BE", out, false) ? out : page;

    const std::string header = CharsetParameter(contentType);
    const std::string label = header.empty() ? MetaCharset(text) : header;
    if (!label.empty()) {
        const std::string from = ConverterName(label, header.empty());
        if (from.empty() || !Convert(text, from, out, false))
            return page;
        // A page in UTF-16 sends its addresses in UTF-8, as browsers do.
        if (from.compare(0, 6, "UTF-16") != 0)
            *encoding = from;
        return out;
    }
    if (IsValidUtf8(text))
        return page;
    // Both readings may pass without a fault: EUC-JP text nearly always
    // reads as Shift_JIS (half-width katakana and kanji), and Shift_JIS text
    // of half-width katakana alone reads as EUC-JP kanji. The reading that
    // looks more like Japanese wins; EUC-JP when they tie.
    std::string sjis;
    const bool euc = Convert(text, "EUC-JP-MS", out, true);
    const bool cp932 = Convert(text, "CP932", sjis, true);
    if (cp932 && (!euc || JapaneseScore(sjis) > JapaneseScore(out))) {
        *encoding = "CP932";
        return sjis;
    }
    if (euc) {
        *encoding = "EUC-JP-MS";
        return out;
    }
    return page;
}

std::string EncodeQueryForPage(const std::string& url, const std::string& encoding) {
    if (encoding.empty())
        return url;
    const std::size_t question = url.find('?');
    if (question == std::string::npos)
        return url;
    const std::size_t end = std::min(url.find('#', question), url.size());
    static constexpr char kHex[] = "0123456789ABCDEF";
    // The bytes a browser escapes in a query (a stateful encoding's shifts
    // leave printable ASCII, which stays as it is).
    auto escape = [&](std::string& to, std::string_view bytes) {
        for (char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            if (b > 0x20 && b < 0x7F && std::string_view("\"#<>'").find(c) == std::string_view::npos) {
                to += c;
                continue;
            }
            to += '%';
            to += kHex[b >> 4];
            to += kHex[b & 15];
        }
    };
    std::string out = url.substr(0, question + 1);
    std::size_t i = question + 1;
    while (i < end) {
        if (static_cast<unsigned char>(url[i]) < 0x80) {
            out += url[i++];
            continue;
        }
        // One character at a time, so that one the encoding lacks is written
        // as a character reference, as browsers send it.
        std::size_t len = 1;
        while (i + len < end && (static_cast<unsigned char>(url[i + len]) & 0xC0) == 0x80)
            ++len;
        const std::string_view character(url.data() + i, len);
        std::string converted;
        if (ConvertFromUtf8(character, encoding, converted))
            escape(out, converted);
        else
            out += "%26%23" + std::to_string(CodePoint(character)) + "%3B";
        i += len;
    }
    return out + url.substr(end);
}

} // namespace ordinex
