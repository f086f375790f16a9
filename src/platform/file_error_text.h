#pragma once
#include <string>

namespace ordinex {

// The local file error messages, chosen by errno, with the file's path in
// place of "%1".
std::string FileErrorText(int err, const std::string& path);

} // namespace ordinex
