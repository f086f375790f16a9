#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ordinex {

// Small text helpers shared across the program.
std::string BoolToText(int64_t flag);     // "1" or "0"
bool TextToBool(std::string_view text);   // exactly "1"
std::string IntToText(int64_t n);
std::string FormatByteCount(int64_t n);   // digit-grouped, no fraction
bool IsNumberText(std::string_view text); // consumed whole by a signed base-10 conversion
bool IsLowerText(std::string_view text);
bool IsUpperText(std::string_view text);
std::string FileNameOf(std::string_view path);   // after the last "\", "/" or ":"
std::string ExtensionOf(std::string_view path);  // lower-cased, without the dot
std::string DotsToUnderscores(std::string_view text); // every "." but the last becomes "_"
std::string TrimBlanks(std::string_view text);   // white space removed at both ends

} // namespace ordinex
