#include "listing/link_resolve.h"

#include "platform/ascii_text.h"

#include <vector>

namespace ordinex {

namespace {

// The length of a leading "scheme" followed by ":", or 0.
std::size_t SchemeLength(std::string_view s) {
    if (s.empty() || !IsAsciiAlpha(s[0]))
        return 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ':')
            return i;
        if (!IsAsciiAlpha(c) && !IsAsciiDigit(c) && c != '+' && c != '-' && c != '.')
            return 0;
    }
    return 0;
}

// Schemes whose addresses have a host and a path.
bool IsHierarchical(std::string_view scheme) {
    return scheme == "http" || scheme == "https" || scheme == "ftp";
}

struct Parts {
    std::string scheme; // lower case, without ":"
    std::string authority;
    bool hasAuthority = false;
    std::string path;
    std::string query;    // with its "?"
    std::string fragment; // with its "#"
};

// Path, query and fragment of the text after the authority.
void SplitTail(std::string_view rest, Parts& p) {
    const std::size_t hash = rest.find('#');
    if (hash != std::string_view::npos) {
        p.fragment = std::string(rest.substr(hash));
        rest = rest.substr(0, hash);
    }
    const std::size_t question = rest.find('?');
    if (question != std::string_view::npos) {
        p.query = std::string(rest.substr(question));
        rest = rest.substr(0, question);
    }
    p.path = std::string(rest);
}

Parts SplitAbsolute(std::string_view url) {
    Parts p;
    const std::size_t n = SchemeLength(url);
    if (n == 0)
        return p;
    p.scheme = AsciiLowerText(url.substr(0, n));
    std::string_view rest = url.substr(n + 1);
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const std::size_t end = rest.find_first_of("/?#");
        p.authority = std::string(rest.substr(0, end));
        p.hasAuthority = true;
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    }
    SplitTail(rest, p);
    return p;
}

bool IsDotSegment(std::string_view s) {
    return s == "." || EqualsNoCase(s, "%2e");
}

bool IsDoubleDotSegment(std::string_view s) {
    return s == ".." || EqualsNoCase(s, ".%2e") || EqualsNoCase(s, "%2e.") || EqualsNoCase(s, "%2e%2e");
}

// "." and ".." segments taken out of a path; ".." at the root stays there.
std::string RemoveDotSegments(std::string_view path) {
    std::vector<std::string_view> out;
    bool endsInDirectory = false;
    std::size_t start = !path.empty() && path[0] == '/' ? 1 : 0;
    for (;;) {
        const std::size_t slash = path.find('/', start);
        const std::string_view segment =
            path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        endsInDirectory = false;
        if (IsDotSegment(segment)) {
            endsInDirectory = true;
        } else if (IsDoubleDotSegment(segment)) {
            if (!out.empty())
                out.pop_back();
            endsInDirectory = true;
        } else {
            out.push_back(segment);
        }
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    std::string result = "/";
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i > 0)
            result += '/';
        result += out[i];
    }
    if (endsInDirectory && result.back() != '/')
        result += '/';
    return result;
}

// Control characters cannot stand in an address; tab and line breaks are gone already.
std::string EncodeControls(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

// Blanks and control characters around the link go, tabs and line breaks inside it too.
std::string Clean(std::string_view link) {
    while (!link.empty() && static_cast<unsigned char>(link.front()) <= 0x20)
        link.remove_prefix(1);
    while (!link.empty() && static_cast<unsigned char>(link.back()) <= 0x20)
        link.remove_suffix(1);
    std::string out;
    out.reserve(link.size());
    for (char c : link)
        if (c != '\t' && c != '\n' && c != '\r')
            out += c;
    return out;
}

// Browsers read "\" as "/" in the path of a web address.
void BackslashesToSlashes(std::string& text) {
    const std::size_t end = text.find_first_of("?#");
    for (std::size_t i = 0; i < text.size() && i < end; ++i)
        if (text[i] == '\\')
            text[i] = '/';
}

std::string Compose(const Parts& p, const std::string& path) {
    return EncodeControls(p.scheme + "://" + p.authority + RemoveDotSegments(path.empty() ? "/" : path) +
                          p.query + p.fragment);
}

std::string WithoutFragment(std::string_view url) {
    return std::string(url.substr(0, url.find('#')));
}

} // namespace

std::string SchemeOf(std::string_view url) {
    const std::size_t n = SchemeLength(url);
    return n == 0 ? std::string() : AsciiLowerText(url.substr(0, n));
}

std::string ResolveLink(std::string_view base, std::string_view rawLink) {
    std::string link = Clean(rawLink);
    if (link.empty())
        return WithoutFragment(base);
    if (link[0] == '#')
        return WithoutFragment(base) + EncodeControls(link);
    const Parts b = SplitAbsolute(base);

    const std::size_t n = SchemeLength(link);
    if (n > 0) {
        const std::string scheme = AsciiLowerText(std::string_view(link).substr(0, n));
        if (!IsHierarchical(scheme))
            return EncodeControls(link);
        std::string rest = link.substr(n + 1);
        BackslashesToSlashes(rest);
        if (!rest.empty() && rest[0] != '/' && scheme == b.scheme && b.hasAuthority) {
            link = rest; // "http:page.html" on an http page is relative
        } else {
            // Any number of slashes may stand before the host, as browsers read it.
            const std::size_t host = rest.find_first_not_of('/');
            const Parts p = SplitAbsolute(scheme + "://" +
                                          (host == std::string::npos ? std::string() : rest.substr(host)));
            return Compose(p, p.path);
        }
    }

    BackslashesToSlashes(link);
    if (link.compare(0, 2, "//") == 0) {
        if (b.scheme.empty())
            return EncodeControls(link);
        const Parts p = SplitAbsolute(b.scheme + ":" + link);
        return Compose(p, p.path);
    }
    if (!b.hasAuthority)
        return EncodeControls(link); // no page address to resolve against

    Parts p;
    p.scheme = b.scheme;
    p.authority = b.authority;
    SplitTail(link, p);
    std::string path;
    if (link[0] == '/') {
        path = p.path;
    } else if (p.path.empty()) {
        path = b.path; // "?q" alone keeps the page's path
    } else {
        const std::size_t slash = b.path.rfind('/');
        path = (slash == std::string::npos ? std::string("/") : b.path.substr(0, slash + 1)) + p.path;
    }
    return Compose(p, path);
}

} // namespace ordinex
