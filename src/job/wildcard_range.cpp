#include "job/wildcard_range.h"

#include "job/decimal_text.h"
#include "platform/text_helpers.h"

#include <algorithm>
#include <limits>

namespace ordinex {

char RangePlaceholder(int index) {
    static constexpr char kPlaceholders[kRangeCount] = {'*', '?', '#', '$', '%', '+'};
    return kPlaceholders[index];
}

RangeKind WildCardRange::Classify(std::string_view text) {
    if (IsNumberText(text))
        return RangeKind::Number;
    if (IsLowerText(text))
        return RangeKind::AlphabetSmall;
    if (IsUpperText(text))
        return RangeKind::AlphabetLarge;
    return RangeKind::None;
}

__int128 WildCardRange::LetterValue(std::string_view text) {
    constexpr __int128 kLimit = static_cast<__int128>(1) << 120;
    __int128 value = 0;
    for (char c : text) {
        const int worth = (c >= 'a' && c <= 'z') ? c - 'a' + 1 : c - 'A' + 1;
        value = value * 26 + worth;
        if (value > kLimit)
            return kLimit;
    }
    return value;
}

int WildCardRange::CompareInRangeOrder(RangeKind kind, std::string_view a, std::string_view b) {
    if (kind == RangeKind::Number) {
        // By value: the same as comparing zero-padded digit texts, and also
        // right for signs and leading blanks, which padding would misorder.
        return DecimalValue::Parse(a).Compare(DecimalValue::Parse(b));
    }
    // Letters: a shorter text comes first (space padding sorts below letters).
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::optional<std::string> WildCardRange::Setup(int32_t enabled, std::string_view start,
                                                std::string_view end) {
    startText = std::string(start);
    endText = std::string(end);
    count = 1;
    check = enabled;
    if (check == 0)
        return std::nullopt;
    if (start.empty() || end.empty())
        return std::string(kRangeEmptyMessage);
    const RangeKind startKind = Classify(start);
    const RangeKind endKind = Classify(end);
    if (startKind == RangeKind::None || endKind == RangeKind::None)
        return std::string(kRangeMixedMessage);
    if (startKind != endKind)
        return std::string(kRangeStartEndMixedMessage);
    kind = startKind;
    if (CompareInRangeOrder(kind, start, end) >= 0)
        std::swap(startText, endText);
    currentText = startText;
    if (kind == RangeKind::Number) {
        count = SaturatedSpan(DecimalValue::Parse(startText), DecimalValue::Parse(endText));
    } else {
        const __int128 span = LetterValue(endText) - LetterValue(startText) + 1;
        count = span > std::numeric_limits<int64_t>::max() ? std::numeric_limits<int64_t>::max()
                                                           : static_cast<int64_t>(span);
    }
    finished = AtEnd();
    return std::nullopt;
}

bool WildCardRange::AtEnd() const {
    // A number range ends at the end's value even when its text differs
    // ("005" to "10" ends at "010"), so every range ends after count values.
    if (kind == RangeKind::Number)
        return DecimalValue::Parse(currentText) == DecimalValue::Parse(endText);
    return currentText == endText;
}

bool WildCardRange::Step() {
    if (kind == RangeKind::Number) {
        const DecimalValue next = DecimalValue::Parse(currentText).PlusOne();
        currentText = next.Format(DigitWidth(currentText));
    } else if (kind == RangeKind::AlphabetSmall || kind == RangeKind::AlphabetLarge) {
        const char first = kind == RangeKind::AlphabetSmall ? 'a' : 'A';
        const char last = kind == RangeKind::AlphabetSmall ? 'z' : 'Z';
        std::string work = currentText;
        const std::size_t width = std::max({work.size(), startText.size(), endText.size()});
        work.insert(0, width - work.size(), ' ');
        bool stopped = false;
        for (std::size_t i = work.size(); i-- > 0;) {
            if (work[i] == ' ') {
                work[i] = first;
                stopped = true;
                break;
            }
            if (work[i] < last) {
                ++work[i];
                stopped = true;
                break;
            }
            work[i] = first; // carry
        }
        if (stopped) {
            std::erase(work, ' ');
            currentText = work;
        }
    }
    if (AtEnd())
        finished = true;
    return finished;
}

std::string WildCardRange::ValueAt(int64_t offset) const {
    if (kind == RangeKind::Number) {
        // The width never shrinks below the start's and grows with the value.
        return DecimalValue::Parse(startText)
            .Plus(static_cast<uint64_t>(offset))
            .Format(DigitWidth(startText));
    }
    if (kind != RangeKind::AlphabetSmall && kind != RangeKind::AlphabetLarge)
        return startText;
    // The letters are a bijective base-26 numeral ("z" + 1 = "aa").
    const char first = kind == RangeKind::AlphabetSmall ? 'a' : 'A';
    __int128 value = LetterValue(startText) + offset;
    std::string text;
    while (value > 0) {
        --value;
        text.insert(text.begin(), static_cast<char>(first + static_cast<int>(value % 26)));
        value /= 26;
    }
    return text;
}

void WildCardRange::Reset() {
    currentText = startText;
    finished = AtEnd();
}

} // namespace ordinex
