#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ordinex {

// Every element of a parsed page in document order, as a browser's
// collection of all elements lists it: tag names of HTML elements in upper
// case (those of SVG and MathML in lower case), the implied HTML, HEAD and
// BODY (or FRAMESET) included. Each element keeps only the one address
// attribute that link extraction reads for its tag:
//   A, AREA, LINK: href; IMG, EMBED, SCRIPT, FRAME, IFRAME, BGSOUND: src;
//   OBJECT: data; META: the address of a refresh ("5; url=next.html");
//   APPLET: its archive (the first of a list), else its code, below its codebase.
// Compact: a page of a million elements costs a few megabytes.
class PageElements {
public:
    void Clear();
    std::size_t Count() const { return tags_.size(); }
    std::string_view Tag(std::size_t i) const { return names_[tags_[i]]; }
    // The element's address attribute; nullopt when it has none.
    std::optional<std::string_view> Address(std::size_t i) const;
    // The href of the page's first BASE element, empty when none.
    const std::string& BaseHref() const { return baseHref_; }

    void Add(std::string_view tag, const std::string* address);
    void SetBaseHref(std::string href) {
        if (!hasBase_)
            baseHref_ = std::move(href);
        hasBase_ = true;
    }

private:
    struct Entry {
        uint32_t element;
        std::string_view text;
    };
    std::vector<uint16_t> tags_;
    std::vector<std::string> names_;
    std::unordered_map<std::string, uint16_t> ids_;
    std::string_view Keep(std::string_view text);
    static constexpr uint16_t kOverflowId = 0xFFFE;

    std::vector<Entry> addresses_;                // ordered by element
    std::vector<std::unique_ptr<char[]>> blocks_; // hold the address texts
    char* cursor_ = nullptr;
    std::size_t left_ = 0;
    std::string baseHref_;
    bool hasBase_ = false;
};

// Parses a page's UTF-8 text with the HTML parser into elements, piece by
// piece. goOn runs between pieces; when it returns false parsing ends with
// what was found so far. flattened is set when a hostile nesting depth
// had to be cut. compactText: the parser is spared the text between tags
// where that changes no element (see MarkupPieces).
void ParsePageElements(std::string_view text, PageElements& out, const std::function<bool()>& goOn,
                       bool* flattened = nullptr, bool compactText = true);

} // namespace ordinex
