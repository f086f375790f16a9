#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordinex {

// Small text helpers shared across the program.
std::string BoolToText(int64_t flag);   // "1" or "0"
bool TextToBool(std::string_view text); // exactly "1"
std::string IntToText(int64_t n);
std::string FormatByteCount(int64_t n);   // digit-grouped, no fraction
bool IsNumberText(std::string_view text); // consumed whole by a signed base-10 conversion
bool IsLowerText(std::string_view text);
bool IsUpperText(std::string_view text);
std::string FileNameOf(std::string_view path);        // after the last "\", "/" or ":"
std::string ExtensionOf(std::string_view path);       // lower-cased, without the dot
std::string DotsToUnderscores(std::string_view text); // every "." but the last becomes "_"
std::string TrimBlanks(std::string_view text);        // white space removed at both ends
// The parts of a host-and-path text between runs of "/": "h//a/" has the
// parts "h", "a" and "" (the URL segments of the list runs).
std::vector<std::string_view> SplitSegments(std::string_view text);

// "%XX" escapes decoded; anything else kept as it is.
std::string PercentDecode(const std::string& text);

// Every "scheme://user:password@" in a text with the password shown as "****",
// for texts that reach the status lines, the log or a terminal.
std::string MaskPasswords(std::string_view text);

// An address with the password of its user information taken out, for a
// box that shows what it holds: the address without user information, and
// the user name and password it held, %-escapes decoded. Without a password
// the address is kept as it is.
struct AddressCredentials {
    std::string address;
    std::string user;
    std::string password;
    bool hadPassword = false;
};
AddressCredentials TakeOutPassword(std::string_view address);

// A text of decimal digits only (no sign, no blanks) as a number no larger
// than max; nothing for anything else. For numbers that come from outside.
std::optional<int64_t> BoundedDecimal(std::string_view text, int64_t max);

} // namespace ordinex
