#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ordinex {

enum class RangeKind { None, Number, AlphabetSmall, AlphabetLarge };

inline constexpr int kRangeCount = 6;
// Placeholder character of range k (0-based): "*", "?", "#", "$", "%", "+".
char RangePlaceholder(int index);

// The three set-up messages.
inline constexpr const char* kRangeEmptyMessage = "置換文字が設定されていません";
inline constexpr const char* kRangeMixedMessage =
    "置換文字にアルファベット小文字・大文字・数字が混在しています";
inline constexpr const char* kRangeStartEndMixedMessage =
    "置換の開始と終了文字にアルファベット小文字・大文字・数字が混在しています";

// One replacement range: a counter from a start text to an end text over
// decimal numbers, lower-case letter strings or upper-case letter strings.
struct WildCardRange {
    int32_t check = 0;
    RangeKind kind = RangeKind::None;
    std::string startText;
    std::string endText;
    std::string currentText;
    // Number of values from start to end. 64 bits: seven letters already pass 32.
    int64_t count = 1;
    bool finished = false;

    // Stores the texts and validates an enabled range. Returns the message to
    // show when the range cannot be used; the run must not start then.
    std::optional<std::string> Setup(int32_t enabled, std::string_view start, std::string_view end);
    // Moves to the next value; returns finished.
    bool Step();
    void Reset();
    // The text the range stands for offset steps after its start (offset
    // below count), without stepping: what Step would reach.
    std::string ValueAt(int64_t offset) const;

    static RangeKind Classify(std::string_view text);
    // Range order: negative when a comes before b.
    static int CompareInRangeOrder(RangeKind kind, std::string_view a, std::string_view b);
    // Bijective base-26 value of a letter text ("a" = 1, "z" = 26, "aa" = 27), saturated.
    static __int128 LetterValue(std::string_view text);

private:
    bool AtEnd() const;
};

} // namespace ordinex
