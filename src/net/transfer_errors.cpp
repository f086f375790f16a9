#include "net/transfer_errors.h"

namespace ordinex {

namespace {

std::string OwnText(CURLcode code) {
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
        return "サポートしていないプロトコルです";
    case CURLE_URL_MALFORMAT:
        return "URLの形式が正しくありません";
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "プロキシサーバーの名前を解決できませんでした";
    case CURLE_COULDNT_RESOLVE_HOST:
        return "サーバーの名前を解決できませんでした";
    case CURLE_COULDNT_CONNECT:
        return "サーバーに接続できませんでした";
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASS_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
        return "サーバーの応答が正しくありません";
    case CURLE_REMOTE_ACCESS_DENIED:
        return "サーバー上のファイルまたはフォルダーにアクセスできません";
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_ACCEPT_TIMEOUT:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_CANT_GET_HOST:
        return "データ転送用の接続を確立できませんでした";
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_QUOTE_ERROR:
        return "サーバーがコマンドを受け付けませんでした";
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return "サーバーとの接続が切断されました";
    case CURLE_FTP_COULDNT_RETR_FILE:
        return "サーバー上のファイルを読み出せませんでした";
    case CURLE_REMOTE_FILE_NOT_FOUND:
        return "サーバー上にファイルが見つかりません";
    case CURLE_WRITE_ERROR:
        return "ファイルに書き込めませんでした";
    case CURLE_OUT_OF_MEMORY:
        return "メモリが不足しています";
    case CURLE_OPERATION_TIMEDOUT:
        return "操作がタイムアウトしました";
    case CURLE_TOO_MANY_REDIRECTS:
        return "リダイレクトの回数が多すぎます";
    case CURLE_LOGIN_DENIED:
        return "ログインできませんでした";
    default:
        return "インターネットのエラーが発生しました(" + std::to_string(static_cast<int>(code)) + ")";
    }
}

} // namespace

std::string TransferErrorText(CURLcode code, const std::string& detail) {
    const std::string own = OwnText(code);
    return detail.empty() ? own : own + " (" + detail + ")";
}

} // namespace ordinex
