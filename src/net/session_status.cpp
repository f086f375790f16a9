#include "net/session_status.h"

namespace ordinex {

std::string SessionStatusText(int code, const std::string& info) {
    std::string text;
    switch (code) {
    case kStatusResolvingName:
        text = info + " のIPアドレスを検索";
        break;
    case kStatusNameResolved:
        text = info + " のIPアドレスの検索に成功";
        break;
    case kStatusConnectingToServer:
        text = info + " のソケットアドレスへ接続中";
        break;
    case kStatusConnectedToServer:
        text = info + " のソケットアドレスへ接続に成功";
        break;
    case kStatusSendingRequest:
        text = "サーバーに情報要求を送信";
        break;
    case kStatusRequestSent:
        text = "サーバーへの情報要求の送信に成功";
        break;
    case kStatusReceivingResponse:
        text = "サーバーに送信した要求に対する応答待ち";
        break;
    case kStatusResponseReceived:
        text = "サーバーに送信した要求に対する応答の受信に成功";
        break;
    case kStatusClosingConnection:
        text = "サーバーへの接続を閉じます";
        break;
    case kStatusConnectionClosed:
        text = "サーバーへの接続を正常に閉じました";
        break;
    case kStatusHandleClosing:
        text = "このハンドルは正常に終了";
        break;
    case kStatusRequestComplete:
        text = "非同期操作を正常に完了";
        break;
    default:
        return {};
    }
    return "<InternetSession::StatusCallback> " + text;
}

} // namespace ordinex
