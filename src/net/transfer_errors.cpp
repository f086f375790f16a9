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

// Why a certificate did not pass, by the result code of the check (the
// values are those of OpenSSL's X509_V_ERR_* list).
std::string CertificateReason(long verifyResult) {
    switch (verifyResult) {
    // The chain passed in the handshake and libcurl's own check of the name
    // failed after it: the result was never set past "unspecified" (1).
    case 0:
    case 1:
    case 62:
    case 64:
        return "証明書が別のホスト名に宛てたものです";
    case 18:
    case 19:
        return "自己署名の証明書で、信頼されていません";
    case 2:
    case 20:
    case 21:
        return "証明書の発行者が信頼されていません";
    case 9:
        return "証明書の有効期間がまだ始まっていません";
    case 10:
        return "証明書の有効期限が切れています";
    case 23:
        return "証明書が失効しています";
    case 7:
        return "証明書の署名が正しくありません";
    default:
        return "証明書を信頼できません";
    }
}

} // namespace

bool IsTlsFailure(CURLcode code) {
    switch (code) {
    case CURLE_PEER_FAILED_VERIFICATION: // CURLE_SSL_CACERT is the same code
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
        return true;
    default:
        return false;
    }
}

std::string TlsErrorText(CURLcode code, const std::string& host, long verifyResult,
                         const std::string& detail) {
    std::string own;
    switch (code) {
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        own = host + " のサーバー証明書を検証できませんでした: " + CertificateReason(verifyResult);
        break;
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CRL_BADFILE:
        own = host + " のサーバー証明書を検証できませんでした: 信頼する証明書の一覧を読み込めません";
        break;
    default:
        own = host + " とのSSL/TLS接続を確立できませんでした";
        break;
    }
    return detail.empty() ? own : own + " (" + detail + ")";
}

std::string TransferErrorText(CURLcode code, const std::string& detail) {
    const std::string own = OwnText(code);
    return detail.empty() ? own : own + " (" + detail + ")";
}

} // namespace ordinex
