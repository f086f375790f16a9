#pragma once
#include <string>

namespace ordinex::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitBadInput = 2;

int RunList(const std::string& jobPath);
int RunDownload(const std::string& jobPath);

} // namespace ordinex::cli
