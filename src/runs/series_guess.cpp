#include "runs/series_guess.h"

#include "job/wildcard_range.h"
#include "platform/ascii_text.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "platform/text_helpers.h"
#include "platform/url_test.h"
#include "platform/visible_text.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace ordinex {

namespace {

enum class Kind { Digits, Lower, Upper, Other };

struct Token {
    Kind kind;
    std::string text;
    std::size_t offset; // where it begins in its address
};

Kind KindOf(char c) {
    if (c >= '0' && c <= '9')
        return Kind::Digits;
    if (c >= 'a' && c <= 'z')
        return Kind::Lower;
    if (c >= 'A' && c <= 'Z')
        return Kind::Upper;
    return Kind::Other;
}

std::vector<Token> Tokenize(const std::string& text) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Kind kind = KindOf(text[i]);
        if (tokens.empty() || tokens.back().kind != kind)
            tokens.push_back({kind, {}, i});
        tokens.back().text += text[i];
    }
    return tokens;
}

// A piece of the guessed URL: fixed text, or a range from start to end.
struct Piece {
    std::string text;
    bool range = false;
    std::string start, end;
};

Piece Fixed(std::string text) {
    return {std::move(text), false, {}, {}};
}

std::string Quoted(const std::string& text) {
    return "「" + VisibleText(text) + "」";
}

// Two digit texts of one range: a zero-padded start gives the end its width.
void PadDigits(std::string& a, std::string& b) {
    if (a.size() > b.size() && a.front() == '0')
        b.insert(0, a.size() - b.size(), '0');
    else if (b.size() > a.size() && b.front() == '0')
        a.insert(0, b.size() - a.size(), '0');
}

// Where two letter runs differ: the common beginning and end stay fixed
// text, the middle becomes the range (never empty on either side).
void SplitLetters(const std::string& a, const std::string& b, std::vector<Piece>& pieces) {
    const std::size_t shorter = std::min(a.size(), b.size());
    std::size_t prefix = 0;
    while (prefix < shorter && a[prefix] == b[prefix])
        ++prefix;
    if (prefix == shorter)
        --prefix; // one is the other's beginning: "a" to "ab" is a range from "a"
    std::size_t suffix = 0;
    while (suffix + prefix + 1 < shorter && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    if (prefix > 0)
        pieces.push_back(Fixed(a.substr(0, prefix)));
    pieces.push_back({{},
                      true,
                      a.substr(prefix, a.size() - prefix - suffix),
                      b.substr(prefix, b.size() - prefix - suffix)});
    if (suffix > 0)
        pieces.push_back(Fixed(a.substr(a.size() - suffix)));
}

std::string SchemeOf(const std::string& url) {
    return url.substr(0, url.find(':'));
}

// Where the path begins: the first "/" after "scheme://host".
std::size_t PathStart(const std::string& url) {
    const std::size_t slashes = url.find("://");
    if (slashes == std::string::npos)
        return url.find('/');
    return url.find('/', slashes + 3);
}

bool ComparePieces(const std::string& first, const std::string& last, std::vector<Piece>& pieces,
                   std::string& error) {
    if (first == last) {
        error = "2つのURLが同じです。最初と最後のファイルのURLを指定してください";
        return false;
    }
    if (!EqualsNoCase(SchemeOf(first), SchemeOf(last))) {
        error = "2つのURLのスキームが違います: " + Quoted(SchemeOf(first)) + "と" + Quoted(SchemeOf(last));
        return false;
    }
    const std::vector<Token> a = Tokenize(first);
    const std::vector<Token> b = Tokenize(last);
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n || a.size() != b.size(); ++i) {
        if (i >= n || a[i].kind != b[i].kind || (a[i].kind == Kind::Other && a[i].text != b[i].text)) {
            // Name the parts from the first difference to the end of the token.
            const std::string ta = i < a.size() ? a[i].text : std::string();
            const std::string tb = i < b.size() ? b[i].text : std::string();
            error = "2つのURLは数字か、大文字・小文字の揃った英字の部分でだけ違っていなければなりません: " +
                    Quoted(ta) + "と" + Quoted(tb) + "が違います";
            return false;
        }
        if (a[i].text == b[i].text) {
            pieces.push_back(Fixed(a[i].text));
        } else if (a[i].kind == Kind::Digits) {
            Piece piece{{}, true, a[i].text, b[i].text};
            PadDigits(piece.start, piece.end);
            pieces.push_back(piece);
        } else {
            SplitLetters(a[i].text, b[i].text, pieces);
        }
    }
    return true;
}

bool PiecesOfOne(const std::string& url, std::vector<Piece>& pieces, std::string& error) {
    const std::size_t path = PathStart(url);
    const std::vector<Token> tokens = Tokenize(url);
    bool any = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        bool lastOfSegment = t.kind == Kind::Digits && path != std::string::npos && t.offset > path;
        for (std::size_t j = i + 1; lastOfSegment && j < tokens.size(); ++j) {
            if (tokens[j].kind == Kind::Other && tokens[j].text.find('/') != std::string::npos)
                break;
            if (tokens[j].kind == Kind::Digits)
                lastOfSegment = false;
        }
        // 0 and 1 would be a range of one file at most: they stay as they are.
        const std::string value = lastOfSegment
                                      ? t.text.substr(std::min(t.text.find_first_not_of('0'), t.text.size()))
                                      : std::string();
        if (value.empty() || value == "1") {
            pieces.push_back(Fixed(t.text));
            continue;
        }
        pieces.push_back({{}, true, std::string(t.text.size() - 1, '0') + "1", t.text});
        any = true;
    }
    if (!any)
        error = "URLのパスに連番にできる数字がありません: " + Quoted(url);
    return any;
}

bool HasDotSegment(const std::string& path) {
    std::stringstream in(path);
    std::string segment;
    while (std::getline(in, segment, '/'))
        if (segment == "." || segment == "..")
            return true;
    return false;
}

} // namespace

SeriesGuess GuessSeries(const std::string& firstIn, const std::string& lastIn, const std::string& folderIn) {
    SeriesGuess guess;
    const std::string first = TrimBlanks(firstIn), last = TrimBlanks(lastIn);
    for (const std::string* url : {&first, &last}) {
        if (url == &last && last.empty())
            continue;
        if (!IsUrlText(*url) || url->find("://") == std::string::npos || HasControlChars(*url)) {
            guess.error = Quoted(*url) + "がURLとして正しくありません";
            return guess;
        }
    }
    std::vector<Piece> pieces;
    if (!(last.empty() ? PiecesOfOne(first, pieces, guess.error)
                       : ComparePieces(first, last, pieces, guess.error)))
        return guess;

    std::string folder = TrimBlanks(folderIn);
    if (folder.empty())
        folder = CurrentDirectory();
    else if (folder.front() != '/')
        folder = CurrentDirectory() + "/" + folder;
    if (folder.back() != '/')
        folder += '/';

    // A placeholder that is also fixed text of the address or the folder
    // (the "?" of a query, the "%" of an escape, the "+" of "c++") would be
    // replaced there too: such a range is left out.
    std::string fixed = folder;
    for (const Piece& p : pieces)
        fixed += p.text;
    int next = 0;
    std::string url;
    std::size_t firstRange = std::string::npos;
    for (const Piece& p : pieces) {
        if (!p.range) {
            url += p.text;
            continue;
        }
        while (next < kRangeCount && fixed.find(RangePlaceholder(next)) != std::string::npos)
            ++next;
        if (next >= kRangeCount) {
            guess.error = "違っている部分が多すぎて、置換文字 (* ? # $ % +) が足りません";
            return guess;
        }
        if (firstRange == std::string::npos)
            firstRange = url.size();
        const char placeholder = RangePlaceholder(next);
        guess.job.ranges[next] = {1, p.start, p.end};
        guess.rangeTexts.push_back(std::string(1, placeholder) + " = " + p.start + "～" + p.end);
        url += placeholder;
        ++next;
    }
    const std::size_t slash = url.rfind('/', firstRange);
    const std::size_t split = slash == std::string::npos ? 0 : slash + 1;
    guess.job.urlBase = url.substr(0, split);
    guess.job.urlExpansion = url.substr(split);
    // The destination mirrors the address below the base; a "." or ".."
    // there would lead out of the destination folder.
    if (HasDotSegment(guess.job.urlExpansion)) {
        guess.error = Quoted(guess.job.urlExpansion) + "に「.」か「..」の階層があるため、保存先にできません";
        return guess;
    }
    guess.job.folderBase = folder;
    guess.job.folderExpansion = guess.job.urlExpansion;
    guess.ok = true;
    return guess;
}

std::vector<std::string> AddressesInText(const std::string& text) {
    std::vector<std::string> words;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        // A uri-list may carry comment lines.
        if (!line.empty() && line.front() == '#')
            continue;
        std::stringstream wordsOfLine(line);
        std::string word;
        while (wordsOfLine >> word)
            words.push_back(word);
    }
    if (words.empty() || words.size() > 2)
        return {};
    for (const std::string& w : words)
        if (!IsUrlText(w) || w.find("://") == std::string::npos || HasControlChars(w))
            return {};
    return words;
}

} // namespace ordinex
