#include "listing/markup_pieces.h"

#include "platform/ascii_text.h"

#include <cstring>
#include <unordered_set>
#include <vector>

namespace ordinex {

namespace {

// Elements whose content is text up to their own end tag.
bool IsRawText(std::string_view name) {
    static const std::unordered_set<std::string_view> names = {"script",  "style",    "xmp",      "iframe",
                                                               "noembed", "noframes", "textarea", "title"};
    return names.count(name) != 0;
}

// Elements that add no depth: void ones, those the parser closes when the
// next of their kind (or of their group) opens, and the document's frame.
bool AddsNoDepth(std::string_view name) {
    static const std::unordered_set<std::string_view> names = {
        "area",     "base",     "br",       "col",    "embed", "hr",    "img",     "image", "input",
        "link",     "meta",     "param",    "source", "track", "wbr",   "basefont", "bgsound", "frame",
        "keygen",   "isindex",  "p",        "li",     "dt",    "dd",    "option",  "optgroup", "tr",
        "td",       "th",       "tbody",    "thead",  "tfoot", "colgroup", "caption", "rb", "rt",
        "rtc",      "rp",       "a",        "nobr",   "button", "form", "html",    "head",  "body"};
    return names.count(name) != 0;
}

std::size_t NameEnd(std::string_view t, std::size_t i) {
    while (i < t.size() && !IsHtmlBlank(t[i]) && t[i] != '/' && t[i] != '>')
        ++i;
    return i;
}

std::string LowerName(std::string_view t, std::size_t from, std::size_t to) {
    return AsciiLowerText(t.substr(from, to - from));
}

// The parser checks each attribute of a tag against all before it: a tag
// with very many costs time with their square. No real tag has this many.
constexpr int kMaxAttributes = 1000;

struct TagScan {
    std::size_t end = 0; // the position after the tag's ">" (or the end of the text)
    bool selfClosing = false;
    // The attributes past kMaxAttributes, up to the tag's ">" or "/>"; empty when none.
    std::size_t cutFrom = 0;
    std::size_t cutTo = 0;
};

// Skips a tag's attributes from i.
TagScan SkipTag(std::string_view t, std::size_t i) {
    TagScan scan;
    int attributes = 0;
    auto ending = [&](std::size_t at, std::size_t end) {
        if (attributes > kMaxAttributes)
            scan.cutTo = at;
        scan.end = end;
        return scan;
    };
    for (;;) {
        while (i < t.size() && IsHtmlBlank(t[i]))
            ++i;
        if (i >= t.size())
            return ending(t.size(), t.size());
        if (t[i] == '>')
            return ending(i, i + 1);
        if (t[i] == '/') {
            if (i + 1 < t.size() && t[i + 1] == '>') {
                scan.selfClosing = true;
                return ending(i, i + 2);
            }
            ++i;
            continue;
        }
        if (++attributes == kMaxAttributes + 1)
            scan.cutFrom = i;
        ReadTagAttribute(t, i);
    }
}

// The position of "</name" (any case) followed by a blank, "/" or ">", from i on; npos when none.
std::size_t FindEndTag(std::string_view t, std::size_t i, std::string_view name) {
    while ((i = t.find("</", i)) != std::string_view::npos) {
        const std::size_t after = i + 2 + name.size();
        bool match = after <= t.size();
        for (std::size_t k = 0; match && k < name.size(); ++k)
            match = AsciiLower(t[i + 2 + k]) == name[k];
        if (match && (after == t.size() || IsHtmlBlank(t[after]) || t[after] == '/' || t[after] == '>'))
            return i;
        i += 2;
    }
    return std::string_view::npos;
}

std::size_t After(std::string_view t, std::size_t found, std::size_t length) {
    return found == std::string_view::npos ? t.size() : found + length;
}

} // namespace

std::string_view ReadQuoted(std::string_view text, std::size_t& i) {
    const char quote = text[i++];
    const std::size_t end = text.find(quote, i);
    const std::string_view quoted =
        text.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
    i = end == std::string_view::npos ? text.size() : end + 1;
    return quoted;
}

TagAttribute ReadTagAttribute(std::string_view text, std::size_t& i) {
    TagAttribute a;
    const std::size_t start = i;
    while (i < text.size() && !IsHtmlBlank(text[i]) && text[i] != '/' && text[i] != '>' &&
           (text[i] != '=' || i == start))
        ++i;
    a.name = text.substr(start, i - start);
    while (i < text.size() && IsHtmlBlank(text[i]))
        ++i;
    if (i >= text.size() || text[i] != '=')
        return a;
    ++i;
    while (i < text.size() && IsHtmlBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        a.value = ReadQuoted(text, i);
    } else {
        const std::size_t valueStart = i;
        while (i < text.size() && !IsHtmlBlank(text[i]) && text[i] != '>')
            ++i;
        a.value = text.substr(valueStart, i - valueStart);
    }
    return a;
}

bool MarkupPieces::Next(std::string_view& piece) {
    const std::string_view t = text_;
    if (pos_ >= t.size())
        return false;
    const std::size_t start = pos_;
    // Changes to the piece, in the order of their places: text taken out
    // (attributes past the bound) and end tags put in (the depth cap).
    struct Edit {
        std::size_t at;
        std::size_t drop;
        std::string insert;
    };
    std::vector<Edit> edits;
    auto scanTag = [&](std::size_t from) {
        const TagScan scan = SkipTag(t, from);
        if (scan.cutTo > scan.cutFrom)
            edits.push_back({scan.cutFrom, scan.cutTo - scan.cutFrom, {}});
        return scan;
    };
    int depth = 0;
    int foreign = 0; // inside svg or math, where "/>" closes any element
    flattened_ = false;
    std::size_t i = start;
    while (i < t.size()) {
        const void* lt = std::memchr(t.data() + i, '<', t.size() - i);
        if (!lt) {
            i = t.size();
            break;
        }
        i = static_cast<std::size_t>(static_cast<const char*>(lt) - t.data());
        if (i - start >= pieceBytes_ && i > start)
            break;
        const std::string_view rest = t.substr(i);
        if (rest.substr(0, 4) == "<!--") {
            if (rest.substr(4, 1) == ">")
                i += 5;
            else if (rest.substr(4, 2) == "->")
                i += 6;
            else
                i = After(t, t.find("-->", i + 4), 3);
            continue;
        }
        if (rest.size() < 2) {
            ++i;
            continue;
        }
        if (rest[1] == '!' || rest[1] == '?') {
            i = After(t, t.find('>', i + 2), 1);
            continue;
        }
        if (rest[1] == '/') {
            if (rest.size() > 2 && IsAsciiAlpha(rest[2])) {
                const std::size_t nameEnd = NameEnd(t, i + 2);
                const std::string name = LowerName(t, i + 2, nameEnd);
                i = scanTag(nameEnd).end;
                if ((name == "svg" || name == "math") && foreign > 0)
                    --foreign;
                if (!AddsNoDepth(name) && !IsRawText(name) && depth > 0)
                    --depth;
            } else {
                i = rest.substr(2, 1) == ">" ? i + 3 : After(t, t.find('>', i + 2), 1);
            }
            continue;
        }
        if (!IsAsciiAlpha(rest[1])) {
            ++i;
            continue;
        }
        const std::size_t nameEnd = NameEnd(t, i + 1);
        const std::string name = LowerName(t, i + 1, nameEnd);
        const TagScan tag = scanTag(nameEnd);
        const bool selfClosing = tag.selfClosing;
        const std::size_t tagEnd = tag.end;
        i = tagEnd;
        if (foreign == 0 && name == "plaintext") {
            i = t.size(); // the rest of the page is text
            break;
        }
        if (foreign == 0 && IsRawText(name)) {
            const std::size_t end = FindEndTag(t, i, name);
            if (end == std::string_view::npos) {
                i = t.size();
                break;
            }
            i = scanTag(end + 2 + name.size()).end;
            continue;
        }
        if (name == "svg" || name == "math") {
            if (!selfClosing)
                ++foreign;
            continue;
        }
        if (AddsNoDepth(name) || (selfClosing && foreign > 0))
            continue;
        if (++depth > depthCap_) {
            edits.push_back({tagEnd, 0, "</" + name + ">"});
            flattened_ = true;
            --depth;
        }
    }
    pos_ = i;
    if (edits.empty()) {
        piece = t.substr(start, i - start);
        return true;
    }
    rewritten_.clear();
    rewritten_.reserve(i - start + edits.size() * 8);
    std::size_t from = start;
    for (const Edit& e : edits) {
        rewritten_.append(t.substr(from, e.at - from));
        rewritten_ += e.insert;
        from = e.at + e.drop;
    }
    rewritten_.append(t.substr(from, i - from));
    piece = rewritten_;
    return true;
}

} // namespace ordinex
