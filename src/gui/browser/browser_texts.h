#pragma once

namespace ordinex::browserwin {

// Every text the browser window shows.
inline constexpr const char* kTitleSuffix = " [Browser] - ";
// The address box's label, spelt as the window has always spelt it.
inline constexpr const char* kAddressLabel = "Adress";

inline constexpr const char* kBackTip = "戻る";
inline constexpr const char* kForwardTip = "進む";
inline constexpr const char* kStopTip = "中止";
inline constexpr const char* kReloadTip = "更新";
inline constexpr const char* kToUrlFolderTip = "BrowserからURL(フォルダ)へコピー";
inline constexpr const char* kToUrlFileTip = "BrowserからURL(ファイル名)へコピー";
inline constexpr const char* kFtpTreeTip = "FTPツリーで開く";
inline constexpr const char* kLinkTreeTip = "Linkツリーで開く";

// Labels beside the pictures of the second toolbar, by position 0, 2, 4, 6.
inline constexpr const char* kToUrlFolderLabel = "URLへ";
inline constexpr const char* kToUrlFileLabel = "URLへ";
inline constexpr const char* kFtpTreeLabel = "FTP";
inline constexpr const char* kLinkTreeLabel = "Link";

// Status texts of a page load, forwarded to the main form: a resource the
// page is loading (after its address), and the link under the mouse as is.
inline constexpr const char* kLoadingResource = " を読み込んでいます";

// Settings section of the window's placement.
inline constexpr const char* kPlacementSection = "BrowserWindow";

} // namespace ordinex::browserwin
