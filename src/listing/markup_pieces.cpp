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
        "area",   "base",    "br",    "col",    "embed",  "hr",       "img",      "image",    "input",
        "link",   "meta",    "param", "source", "track",  "wbr",      "basefont", "bgsound",  "frame",
        "keygen", "isindex", "p",     "li",     "dt",     "dd",       "option",   "optgroup", "tr",
        "td",     "th",      "tbody", "thead",  "tfoot",  "colgroup", "caption",  "rb",       "rt",
        "rtc",    "rp",      "a",     "nobr",   "button", "form",     "html",     "head",     "body"};
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
    edits_.clear();
    depth_ = 0;
    foreign_ = 0;
    flattened_ = false;
    std::size_t i = start;
    // A "<" that starts no markup is text, and so is what follows it: that
    // is never compacted ("<" and "x" would make a tag).
    bool afterMarkup = true;
    while (i < t.size()) {
        const void* lt = std::memchr(t.data() + i, '<', t.size() - i);
        const std::size_t textEnd =
            lt ? static_cast<std::size_t>(static_cast<const char*>(lt) - t.data()) : t.size();
        if (compactText_ && afterMarkup)
            CompactText(i, textEnd);
        if (!lt) {
            i = t.size();
            break;
        }
        i = textEnd;
        if (i - start >= pieceBytes_ && i > start)
            break;
        const std::size_t next = PastMarkup(i);
        afterMarkup = next > i + 1;
        i = next;
    }
    pos_ = i;
    piece = Assemble(start, i);
    return true;
}

std::size_t MarkupPieces::PastMarkup(std::size_t i) {
    const std::string_view t = text_;
    const std::string_view rest = t.substr(i);
    if (rest.substr(0, 4) == "<!--") {
        if (rest.substr(4, 1) == ">")
            return i + 5;
        if (rest.substr(4, 2) == "->")
            return i + 6;
        return After(t, t.find("-->", i + 4), 3);
    }
    if (rest.size() < 2)
        return i + 1;
    if (rest[1] == '!' || rest[1] == '?')
        return After(t, t.find('>', i + 2), 1);
    if (rest[1] == '/')
        return PastEndTag(i);
    if (!IsAsciiAlpha(rest[1]))
        return i + 1;
    return PastStartTag(i);
}

std::size_t MarkupPieces::PastEndTag(std::size_t i) {
    const std::string_view t = text_;
    if (i + 2 >= t.size() || !IsAsciiAlpha(t[i + 2]))
        return t.substr(i + 2, 1) == ">" ? i + 3 : After(t, t.find('>', i + 2), 1);
    const std::size_t nameEnd = NameEnd(t, i + 2);
    const std::string name = LowerName(t, i + 2, nameEnd);
    const std::size_t end = ScanTag(nameEnd).end;
    if ((name == "svg" || name == "math") && foreign_ > 0)
        --foreign_;
    if (!AddsNoDepth(name) && !IsRawText(name) && depth_ > 0)
        --depth_;
    return end;
}

std::size_t MarkupPieces::PastStartTag(std::size_t i) {
    const std::string_view t = text_;
    const std::size_t nameEnd = NameEnd(t, i + 1);
    const std::string name = LowerName(t, i + 1, nameEnd);
    const TagScan tag = ScanTag(nameEnd);
    if (foreign_ == 0 && name == "plaintext")
        return t.size(); // the rest of the page is text
    if (foreign_ == 0 && IsRawText(name)) {
        const std::size_t end = FindEndTag(t, tag.end, name);
        return end == std::string_view::npos ? t.size() : ScanTag(end + 2 + name.size()).end;
    }
    if (name == "svg" || name == "math") {
        if (!tag.selfClosing)
            ++foreign_;
        return tag.end;
    }
    if (AddsNoDepth(name) || (tag.selfClosing && foreign_ > 0))
        return tag.end;
    if (++depth_ > depthCap_) {
        edits_.push_back({tag.end, 0, "</" + name + ">"});
        flattened_ = true;
        --depth_;
    }
    return tag.end;
}

void MarkupPieces::CompactText(std::size_t from, std::size_t to) {
    // Short runs (a link's words, the blanks between tags) cost the parser
    // little; svg and math may hold CDATA sections, whose end a run can hold.
    constexpr std::size_t kShortest = 16;
    if (to - from < kShortest || foreign_ > 0)
        return;
    bool visible = false;
    for (std::size_t k = from; k < to; ++k) {
        const char c = text_[k];
        if (c == '&' || c == '\0')
            return;
        visible = visible || !IsHtmlBlank(c);
    }
    if (visible)
        edits_.push_back({from, to - from, "x"});
}

TagScan MarkupPieces::ScanTag(std::size_t from) {
    const TagScan scan = SkipTag(text_, from);
    if (scan.cutTo > scan.cutFrom)
        edits_.push_back({scan.cutFrom, scan.cutTo - scan.cutFrom, {}});
    return scan;
}

std::string_view MarkupPieces::Assemble(std::size_t start, std::size_t end) {
    const std::string_view t = text_;
    if (edits_.empty())
        return t.substr(start, end - start);
    rewritten_.clear();
    rewritten_.reserve(end - start + edits_.size() * 8);
    std::size_t from = start;
    for (const Edit& e : edits_) {
        rewritten_.append(t.substr(from, e.at - from));
        rewritten_ += e.insert;
        from = e.at + e.drop;
    }
    rewritten_.append(t.substr(from, end - from));
    return rewritten_;
}

} // namespace ordinex
