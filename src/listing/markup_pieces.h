#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ordinex {

// What reading a tag's attributes found.
struct TagScan {
    std::size_t end = 0; // the position after the tag's ">" (or the end of the text)
    bool selfClosing = false;
    // The attributes past the bound, up to the tag's ">" or "/>"; empty when none.
    std::size_t cutFrom = 0;
    std::size_t cutTo = 0;
};

// One attribute of a tag as written: the value without its quotes, empty
// when the name has no "=".
struct TagAttribute {
    std::string_view name;
    std::string_view value;
};

// The text after the quote at text[i] up to the same quote, and i moved
// past that closing quote; an unclosed quote takes the rest of the text.
std::string_view ReadQuoted(std::string_view text, std::size_t& i);

// Reads the attribute that starts at text[i] (not a blank, "/" or ">") and
// moves i past it. An unclosed quote takes the rest of the text.
TagAttribute ReadTagAttribute(std::string_view text, std::size_t& i);

// Cuts a page's text into pieces that the HTML parser takes one at a time,
// so that its memory stays that of one piece and the program can serve its
// windows between pieces. A piece ends just before a tag, never inside a
// tag, a comment or the text of a script, style, title or text area.
//
// The parser's cost grows with the square of the nesting depth. Elements
// that would nest deeper than the cap within a piece are closed right after
// their start tag instead: their order and attributes stay, only the shape
// of a hostile tree changes. It also grows with the square of a tag's
// attribute count: a tag keeps its first thousand attributes, the rest are
// taken out.
//
// The parser reads text one character at a time, and the elements are all
// that is wanted of a page. With compactText, a run of text between two
// pieces of markup becomes one "x" when that leaves the tree of elements as
// it was: the run has a character that is not white space (so the parser
// takes it the same way), no "&" or NUL (whose readings depend on what
// follows), and lies outside svg and math.
class MarkupPieces {
public:
    MarkupPieces(std::string_view text, std::size_t pieceBytes, int depthCap, bool compactText = false)
        : text_(text), pieceBytes_(pieceBytes), depthCap_(depthCap), compactText_(compactText) {}

    // The next piece; false when the text is used up.
    bool Next(std::string_view& piece);
    // Whether the last piece had elements closed early.
    bool Flattened() const { return flattened_; }

private:
    // Each moves past what begins with the "<" at text_[i] and returns where
    // the scan goes on: any markup, an end tag, a start tag (with the raw
    // text of a script or the like).
    std::size_t PastMarkup(std::size_t i);
    std::size_t PastEndTag(std::size_t i);
    std::size_t PastStartTag(std::size_t i);
    // Reads a tag's attributes from `from`; attributes past the bound become an edit.
    TagScan ScanTag(std::size_t from);
    // The text from `from` to `to`, which follows markup, becomes one "x" where it may.
    void CompactText(std::size_t from, std::size_t to);
    // The text from start to end with the edits made.
    std::string_view Assemble(std::size_t start, std::size_t end);

    // A change to the piece: text taken out (attributes past the bound) or
    // an end tag put in (the depth cap), in the order of their places.
    struct Edit {
        std::size_t at;
        std::size_t drop;
        std::string insert;
    };
    std::string_view text_;
    std::size_t pieceBytes_;
    int depthCap_;
    bool compactText_;
    std::size_t pos_ = 0;
    std::string rewritten_;
    std::vector<Edit> edits_;
    int depth_ = 0;
    int foreign_ = 0; // inside svg or math, where "/>" closes any element
    bool flattened_ = false;
};

} // namespace ordinex
