#pragma once

namespace ordinex::resultwin {

// The texts of the download result window, in one place.
inline constexpr const char* kTitle = "ダウンロード結果";
// After the count of files a run never reached ("未処理 12 ファイル ...").
inline constexpr const char* kUnreachedBefore = "未処理 ";
inline constexpr const char* kUnreachedAfter = " ファイル (ジョブを再実行すると続きから取得します)";
// The list's column headers: outcome, address, destination, reason.
inline constexpr const char* kColumnOutcome = "結果";
inline constexpr const char* kColumnAddress = "アドレス";
inline constexpr const char* kColumnDestination = "保存先";
inline constexpr const char* kColumnReason = "理由";
// The buttons.
inline constexpr const char* kRetry = "失敗したファイルを再試行";
inline constexpr const char* kOpenFolder = "保存先フォルダを開く";
inline constexpr const char* kCopyAddresses = "アドレスをコピー";
inline constexpr const char* kClose = "閉じる";
// The link beside the result line under the main form's run buttons.
inline constexpr const char* kDetailsLink = "詳細...";
// When the destination folder could not be shown: the first line names it,
// then why.
inline constexpr const char* kFolderFailed = "保存先フォルダを開けません";
inline constexpr const char* kNoFolderHandler =
    "このデスクトップにはフォルダを開くアプリケーションが登録されていません。";
inline constexpr const char* kNoFolderKnown = "この行には保存先がありません。";
inline constexpr const char* kClipboardFailed = "クリップボードを開けません。";

} // namespace ordinex::resultwin
