#pragma once
#include "job/job.h"

#include <string>
#include <string_view>

namespace ordinex {

struct ProgramSettings;

// Joins a base box and an expansion box the way the form composes them.
// The separator test looks at the boxes as typed; the result is trimmed.
std::string ComposeBoxes(std::string_view base, std::string_view expansion, char separator,
                         bool insertSeparator, bool deleteRepeats);
// The separator that the composition inserts (empty when none): the form
// shows it between the two boxes.
std::string InsertedSeparator(std::string_view base, std::string_view expansion, char separator,
                              bool insertSeparator);

std::string ComposeUrl(const Job& job, const ProgramSettings& settings);
std::string ComposeFolder(const Job& job, const ProgramSettings& settings);
std::string UrlSeparatorLabel(const Job& job, const ProgramSettings& settings);
std::string FolderSeparatorLabel(const Job& job, const ProgramSettings& settings);

// "がURLとして正しくありません" and "がファイル名として正しくありません" follow the offending text.
inline constexpr const char* kBadUrlSuffix = "がURLとして正しくありません";
inline constexpr const char* kBadFileNameSuffix = "がファイル名として正しくありません";

} // namespace ordinex
