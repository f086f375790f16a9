#pragma once
#include <curl/curl.h>
#include <string>

namespace ordinex {

// The message of a failed transfer: the program's own text for the error,
// then libcurl's detail in brackets.
std::string TransferErrorText(CURLcode code, const std::string& detail);

// Whether a failure lies in the secure connection (its handshake or the
// server's certificate).
bool IsTlsFailure(CURLcode code);
// The message of such a failure, naming the host and, for a certificate that
// did not pass, why (verifyResult: the certificate check's result code),
// then libcurl's detail in brackets.
std::string TlsErrorText(CURLcode code, const std::string& host, long verifyResult,
                         const std::string& detail);

} // namespace ordinex
