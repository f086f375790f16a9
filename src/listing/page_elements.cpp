#include "listing/page_elements.h"

#include "listing/markup_pieces.h"
#include "platform/ascii_text.h"

#include <algorithm>
#include <cstring>
#include <gumbo.h>

namespace ordinex {

namespace {

// About 50 ms of parsing; the parser's tree for it stays near 20 MB.
constexpr std::size_t kPieceBytes = 512 * 1024;
// Browsers cut their trees at a depth of about 512 too.
constexpr int kDepthCap = 512;
constexpr std::size_t kBlockBytes = 64 * 1024;
constexpr std::size_t kArenaBlockBytes = 1 << 20;

// The parser's memory for one piece: taken in large blocks and given back
// all at once. The parser allocates and frees a great deal; this saves
// that work, and the freeing of its tree, which it does recursively.
class ParseArena {
public:
    static void* Allocate(void* self, std::size_t size) { return static_cast<ParseArena*>(self)->Take(size); }
    static void Deallocate(void*, void*) {}

    void* Take(std::size_t size) {
        size = (size + 15) & ~static_cast<std::size_t>(15);
        if (size > left_) {
            const std::size_t block = std::max(kArenaBlockBytes, size);
            blocks_.emplace_back(new unsigned char[block]);
            cursor_ = blocks_.back().get();
            left_ = block;
            if (blocks_.size() == 1)
                firstBytes_ = block;
        }
        void* p = cursor_;
        cursor_ += size;
        left_ -= size;
        return p;
    }
    // The first block stays for the next piece and the next page: its pages
    // are the ones already touched, so parsing a page costs no fresh memory.
    void Clear() {
        if (blocks_.size() > 1)
            blocks_.resize(1);
        cursor_ = blocks_.empty() ? nullptr : blocks_.front().get();
        left_ = blocks_.empty() ? 0 : firstBytes_;
    }

private:
    std::vector<std::unique_ptr<unsigned char[]>> blocks_;
    unsigned char* cursor_ = nullptr;
    std::size_t left_ = 0;
    std::size_t firstBytes_ = 0;
};

const char* Attribute(const GumboElement& e, const char* name) {
    const GumboAttribute* a = gumbo_get_attribute(&e.attributes, name);
    return a ? a->value : nullptr;
}

// The address of a refresh: "5; url=next.html", "0;URL='a.html'", "3, b.html".
bool RefreshAddress(std::string_view content, std::string& out) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < content.size() && IsHtmlBlank(content[i]))
            ++i;
    };
    skipBlanks();
    const std::size_t digits = i;
    while (i < content.size() && content[i] >= '0' && content[i] <= '9')
        ++i;
    if (i == digits && (i >= content.size() || content[i] != '.'))
        return false;
    while (i < content.size() && ((content[i] >= '0' && content[i] <= '9') || content[i] == '.'))
        ++i;
    skipBlanks();
    if (i < content.size() && (content[i] == ';' || content[i] == ','))
        ++i;
    skipBlanks();
    if (i >= content.size())
        return false; // a reload of the page itself
    if (content.size() - i >= 3 && EqualsNoCase(content.substr(i, 3), "url")) {
        std::size_t j = i + 3;
        while (j < content.size() && IsHtmlBlank(content[j]))
            ++j;
        if (j < content.size() && content[j] == '=') {
            i = j + 1;
            skipBlanks();
        }
    }
    const bool quoted = i < content.size() && (content[i] == '"' || content[i] == '\'');
    out = std::string(quoted ? ReadQuoted(content, i) : content.substr(i));
    return true;
}

// An applet's file: its archive (the first of a list), else its code, placed below its codebase.
bool AppletAddress(const GumboElement& e, std::string& out) {
    std::string_view target;
    if (const char* archive = Attribute(e, "archive"))
        target = TrimHtmlBlanks(std::string_view(archive).substr(0, std::string_view(archive).find(',')));
    if (target.empty())
        if (const char* code = Attribute(e, "code"))
            target = TrimHtmlBlanks(code);
    if (target.empty())
        return false;
    out = std::string(target);
    const char* codebase = Attribute(e, "codebase");
    const bool absolute = target.find(':') != std::string_view::npos || target.front() == '/';
    if (codebase && !absolute && !TrimHtmlBlanks(codebase).empty()) {
        std::string base(TrimHtmlBlanks(codebase));
        if (base.back() != '/')
            base += '/';
        out = base + out;
    }
    return true;
}

// The tag name as a browser reports it.
std::string TagName(const GumboNode& node) {
    const GumboElement& e = node.v.element;
    std::string name;
    if (e.tag != GUMBO_TAG_UNKNOWN) {
        name = gumbo_normalized_tagname(e.tag);
    } else {
        GumboStringPiece original = e.original_tag;
        gumbo_tag_from_original_text(&original);
        std::string_view text(original.data ? original.data : "", original.data ? original.length : 0);
        std::size_t end = 0;
        while (end < text.size() && !IsHtmlBlank(text[end]) && text[end] != '/' && text[end] != '>')
            ++end;
        name = AsciiLowerText(text.substr(0, end));
    }
    if (e.tag_namespace == GUMBO_NAMESPACE_HTML)
        for (char& c : name)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
    return name;
}

// The address attribute link extraction reads for this element, if any.
bool AddressOf(const GumboElement& e, std::string& out) {
    if (e.tag_namespace != GUMBO_NAMESPACE_HTML)
        return false;
    const char* value = nullptr;
    switch (e.tag) {
    case GUMBO_TAG_A:
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_LINK:
        value = Attribute(e, "href");
        break;
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_BGSOUND:
        value = Attribute(e, "src");
        break;
    case GUMBO_TAG_OBJECT:
        value = Attribute(e, "data");
        break;
    case GUMBO_TAG_META: {
        const char* equiv = Attribute(e, "http-equiv");
        const char* content = Attribute(e, "content");
        return equiv && content && EqualsNoCase(TrimHtmlBlanks(equiv), "refresh") &&
               RefreshAddress(content, out);
    }
    case GUMBO_TAG_APPLET:
        return AppletAddress(e, out);
    default:
        return false;
    }
    if (!value)
        return false;
    out = value;
    return true;
}

// Adds the elements below top in document order, without recursion: the
// parser's tree may be as deep as the page makes it.
void Collect(GumboNode* top, PageElements& out, std::string& lastSection) {
    std::vector<GumboNode*> stack;
    std::string address;
    auto pushChildren = [&](GumboNode* node) {
        const GumboVector& children =
            node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
        for (unsigned k = children.length; k > 0; --k)
            stack.push_back(static_cast<GumboNode*>(children.data[k - 1]));
    };
    pushChildren(top);
    while (!stack.empty()) {
        GumboNode* node = stack.back();
        stack.pop_back();
        if (node->type == GUMBO_NODE_DOCUMENT) {
            pushChildren(node);
            continue;
        }
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE)
            continue;
        const GumboElement& e = node->v.element;
        const std::string name = TagName(*node);
        if (name == "HEAD" || name == "BODY" || name == "FRAMESET")
            lastSection = name;
        if (e.tag == GUMBO_TAG_BASE && e.tag_namespace == GUMBO_NAMESPACE_HTML)
            if (const char* href = Attribute(e, "href"))
                out.SetBaseHref(href);
        const bool hasAddress = AddressOf(e, address);
        out.Add(name, hasAddress ? &address : nullptr);
        // A template's content is no part of the document.
        if (node->type == GUMBO_NODE_ELEMENT)
            pushChildren(node);
    }
}

} // namespace

void PageElements::Clear() {
    tags_.clear();
    tags_.shrink_to_fit();
    names_.clear();
    ids_.clear();
    addresses_.clear();
    addresses_.shrink_to_fit();
    blocks_.clear();
    cursor_ = nullptr;
    left_ = 0;
    baseHref_.clear();
    hasBase_ = false;
}

std::string_view PageElements::Keep(std::string_view text) {
    if (text.size() > left_) {
        const std::size_t size = std::max(kBlockBytes, text.size());
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(size)); // written before read
        cursor_ = blocks_.back().get();
        left_ = size;
    }
    if (!text.empty())
        std::memcpy(cursor_, text.data(), text.size());
    const std::string_view kept(cursor_, text.size());
    cursor_ += text.size();
    left_ -= text.size();
    return kept;
}

void PageElements::Add(std::string_view tag, const std::string* address) {
    std::string key(tag);
    const auto it = ids_.find(key);
    uint16_t id = kOverflowId;
    if (it != ids_.end()) {
        id = it->second;
    } else if (names_.size() < kOverflowId) {
        id = static_cast<uint16_t>(names_.size());
        ids_.emplace(std::move(key), id);
        names_.emplace_back(tag);
    } else if (names_.size() == kOverflowId) {
        // A page inventing tens of thousands of tag names shares one name for the rest.
        names_.emplace_back("?");
    }
    tags_.push_back(id);
    if (address)
        addresses_.push_back({static_cast<uint32_t>(tags_.size() - 1), Keep(*address)});
}

std::optional<std::string_view> PageElements::Address(std::size_t i) const {
    const auto it = std::lower_bound(addresses_.begin(), addresses_.end(), i,
                                     [](const Entry& e, std::size_t index) { return e.element < index; });
    if (it == addresses_.end() || it->element != i)
        return std::nullopt;
    return it->text;
}

void ParsePageElements(std::string_view text, PageElements& out, const std::function<bool()>& goOn,
                       bool* flattened, bool compactText) {
    out.Clear();
    if (flattened)
        *flattened = false;
    MarkupPieces pieces(text, kPieceBytes, kDepthCap, compactText);
    std::string_view piece;
    std::string section;
    bool first = true;
    // Nothing of it is in use between pieces (each tree is collected and
    // cleared before the next piece, or a caller's goOn, runs).
    thread_local ParseArena arena;
    // An empty page is still a document with HTML, HEAD and BODY.
    while (pieces.Next(piece) || first) {
        GumboOptions options = kGumboDefaultOptions;
        options.max_errors = 0;
        options.allocator = &ParseArena::Allocate;
        options.deallocator = &ParseArena::Deallocate;
        options.userdata = &arena;
        if (!first) {
            // Later pieces continue inside the body (or frameset) the page has opened.
            options.fragment_context = section == "FRAMESET" ? GUMBO_TAG_FRAMESET : GUMBO_TAG_BODY;
            options.fragment_namespace = GUMBO_NAMESPACE_HTML;
        }
        GumboOutput* output =
            gumbo_parse_with_options(&options, piece.empty() ? "" : piece.data(), piece.size());
        if (output)
            Collect(first ? output->document : output->root, out, section);
        arena.Clear(); // the whole tree at once
        if (flattened && pieces.Flattened())
            *flattened = true;
        first = false;
        if (goOn && !goOn())
            break;
    }
}

} // namespace ordinex
