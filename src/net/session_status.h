#pragma once
#include <string>

namespace ordinex {

// Codes of the session's status reports, in the order a transfer raises them.
enum SessionStatusCode : int {
    kStatusResolvingName = 10,
    kStatusNameResolved = 11,
    kStatusConnectingToServer = 20,
    kStatusConnectedToServer = 21,
    kStatusSendingRequest = 30,
    kStatusRequestSent = 31,
    kStatusReceivingResponse = 40,
    kStatusResponseReceived = 41,
    kStatusClosingConnection = 50,
    kStatusConnectionClosed = 51,
    kStatusHandleClosing = 70,
    kStatusRequestComplete = 100,
};

// The line-1011 text of a status report, "<InternetSession::StatusCallback> "
// in front; empty for a code that shows nothing. info is the host name or the
// address, used by the first four codes.
std::string SessionStatusText(int code, const std::string& info = {});

} // namespace ordinex
