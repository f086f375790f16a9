#pragma once
#include <array>

namespace ordinex::linkwin {

// Every text the Link tree & list window shows.
inline constexpr const char* kTitleSuffix = " [Link Tree & List] - ";
inline constexpr std::array<const char*, 4> kColumnHeaders{"名前", "サイズ", "種類", "更新日時"};

inline constexpr const char* kTreeToUrlTip = "LinkツリーからURLへコピー";
inline constexpr const char* kDownloadTip = "Linkリストでダウンロード";
inline constexpr const char* kListToUrlFolderTip = "LinkリストからURL(フォルダ)へコピー";
inline constexpr const char* kListToUrlFileTip = "LinkリストからURL(ファイル名)へコピー";
inline constexpr const char* kReloadTip = "Linkリストの再読込み";
inline constexpr const char* kBrowserTip = "ブラウザで開く";

// Button labels beside the pictures, by toolbar position 0, 2, 4, 6, 8, 10.
inline constexpr const char* kTreeToUrlLabel = "URLへ";
inline constexpr const char* kDownloadLabel = "ダウンロード";
inline constexpr const char* kListToUrlFolderLabel = "URL";
inline constexpr const char* kListToUrlFileLabel = "URLへ";
inline constexpr const char* kReloadLabel = "再読込み";
inline constexpr const char* kBrowserLabel = "Browser";

// Settings sections of the window and its list.
inline constexpr const char* kPlacementSection = "HttpTreeWindow";
inline constexpr const char* kListSection = "HttptreeView";

} // namespace ordinex::linkwin
