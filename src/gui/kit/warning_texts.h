#pragma once

namespace ordinex::warningdlg {

// Every text the warning dialog shows.
inline constexpr const char* kHeading = "ワーニング";
inline constexpr const char* kQuestion = "処理を中止しますか？";
inline constexpr const char* kYes = "はい";
inline constexpr const char* kNo = "いいえ";
// In front of the file or address the warning is about.
inline constexpr const char* kSubjectPrefix = "対象: ";

} // namespace ordinex::warningdlg
