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

// A link to a file: the question (intro, address, choice, folder), its
// buttons, and the message when there is no folder to fetch it into.
inline constexpr const char* kFileLinkIntro = "ファイルへのリンクです。";
inline constexpr const char* kFileLinkChoice = "アドレスをURLの欄に入れるか、今すぐダウンロードできます。";
inline constexpr const char* kFileLinkFolder = "保存先: ";
inline constexpr const char* kNoFolderShown = "(未入力)";
inline constexpr const char* kFileToUrl = "URLの欄に入れる";
inline constexpr const char* kFileFetchNow = "今すぐダウンロード";
inline constexpr const char* kFileCancel = "キャンセル";
inline constexpr const char* kNoFolder = "保存先のフォルダが入力されていません。";

// Settings section of the window's placement.
inline constexpr const char* kPlacementSection = "BrowserWindow";

} // namespace ordinex::browserwin
