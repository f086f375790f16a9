#pragma once

namespace ordinex::framewin {

// Messages of the main window's commands.
inline constexpr const char* kBrowserFailed = "Browserが開けません";
inline constexpr const char* kExplorerFailed = "Explorerが開けません";
// After kExplorerFailed and the address, when the desktop has no
// application for ftp:// addresses.
inline constexpr const char* kNoFtpHandler =
    "このデスクトップには ftp:// のアドレスを開くアプリケーションが登録されていません。";
// The offer that closes the message.
inline constexpr const char* kOfferFtpTree = "FTPツリー&リスト ビューで開きますか?";
// Closing the main window while a download run is in progress.
inline constexpr const char* kCloseDuringRun = "ダウンロード中です。中止して終了しますか。";
// When the built-in browser's module could not be loaded; the reason and
// the offer of the desktop's browser follow.
inline constexpr const char* kBrowserModuleFailed = "内蔵Browserを読み込めません。";
inline constexpr const char* kOfferDesktopBrowser = "デスクトップのBrowserで開きますか?";

} // namespace ordinex::framewin
