#pragma once
#include <array>

namespace ordinex::ftpwin {

// Every text the FTP tree & list window shows.
inline constexpr const char* kTitleSuffix = " [FTP Tree & List] - ";
inline constexpr std::array<const char*, 4> kColumnHeaders{"名前", "サイズ", "種類", "更新日時"};

inline constexpr const char* kTreeToUrlTip = "FTPツリーからURLへコピー";
inline constexpr const char* kDownloadTip = "FTPリストでダウンロード";
inline constexpr const char* kListToUrlFolderTip = "FTPリストからURL(フォルダ)へコピー";
inline constexpr const char* kListToUrlFileTip = "FTPリストからURL(ファイル名)へコピー";
inline constexpr const char* kReloadTip = "FTPリストの再読込み";
inline constexpr const char* kBrowserTip = "ブラウザで開く";

// Button labels beside the pictures, by toolbar position 0, 2, 4, 6, 8, 10.
inline constexpr const char* kTreeToUrlLabel = "URLへ";
inline constexpr const char* kDownloadLabel = "ダウンロード";
inline constexpr const char* kListToUrlFolderLabel = "URLへ";
inline constexpr const char* kListToUrlFileLabel = "URLへ";
inline constexpr const char* kReloadLabel = "再読込み";
inline constexpr const char* kBrowserLabel = "Browser";

// Settings sections of the window and its list.
inline constexpr const char* kPlacementSection = "FtpTreeWindow";
inline constexpr const char* kListSection = "FtptreeView";

} // namespace ordinex::ftpwin
