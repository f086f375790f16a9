#pragma once
#include <curl/curl.h>
#include <string>

namespace ordinex {

// The message of a failed transfer: the program's own text for the error,
// then libcurl's detail in brackets.
std::string TransferErrorText(CURLcode code, const std::string& detail);

} // namespace ordinex
