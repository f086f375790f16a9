#include "settings/setting_texts.h"

namespace ordinex::sheet {

using PS = ProgramSettings;
using Place = ProgramRow::Place;

const char* PageTitle(int page) {
    static const char* const titles[kPageCount] = {"プログラム", "ダウンロード", "抽出"};
    return page >= 0 && page < kPageCount ? titles[page] : "";
}

const char* LabelText(const std::vector<Label>& labels, int id) {
    for (const Label& l : labels)
        if (l.id == id)
            return l.text;
    return "";
}

const std::vector<ProgramRow>& ProgramRows() {
    static const std::vector<ProgramRow> rows{
        {1019, "起動時に、前回終了時のウィンドウの位置を復元する", &PS::ReadWindowSetting, Place::Line},
        {1018, "起動時に、前回終了時のURL/保存先の設定を復元する", &PS::ReadUrlFolderSetting, Place::Line},
        {1020, "終了時に、編集中のURL/保存先の設定の保存の確認をする", &PS::ConfirmSaveUrlFolderSettingByExit,
         Place::Line},
        {1023, "ファイルを開く時に、編集中のURL/保存先の設定の保存の確認をする",
         &PS::ConfirmSaveUrlFolderSettingByOpen, Place::Line},
        {1024, "ファイルを開く時に、設定を復元する", &PS::ReadProgramSettingByOpen, Place::Line},
        {1026, "URLの設定の一番目のボックスと二番目のボックスの間に / を挿入する",
         &PS::InsertSeparatorOfUrlSetting, Place::NewGroup},
        {1029, "保存先の設定の一番目のボックスと二番目のボックスの間に \\ を挿入する",
         &PS::InsertSeparatorOfFolderSetting, Place::Line},
        {1032, "URLの二つの入力ボックスの最後および先頭の / が重複する場合は削除する",
         &PS::DeleteSeparatorOfURLRepeatsSetting, Place::Line},
        {1033, "保存先の二つの入力ボックスの最後および先頭の \\ が重複する場合は削除する",
         &PS::DeleteSeparatorOfFolderRepeatsSetting, Place::Line},
        {1031, "URLから保存先にコピーする時に / を \\ に変換する", &PS::CopyFromURLToFolderSetting,
         Place::Line},
        {1056, "BrowserとしてWindows規定のWebBrowserを使用する", &PS::UseWindowsRuleBrowserSetting,
         Place::NewGroup},
        {1036,
         "警告ダイアログを表示する(”確認のために警告ごとにダウンロードを一時停止する\"がチェックの場合無効)",
         &PS::ShowWarningDialogSetting, Place::NewGroup},
        {1049, "以下の場合に警告ダイアログを表示する", nullptr, Place::Indented},
        {1037, "ダウンロード失敗", &PS::ShowWarningDialogOnDownloadFailureSetting, Place::InRow},
        {1038, "正しくないURLと保存先", &PS::ShowWarningDialogOnIllegalUrlFolderSetting, Place::InRow},
        {1039, "上書き保存", &PS::ShowWarningDialogOnOverwriteSaveSetting, Place::InRow},
        {1040, "ログ(Ordinex.log)を記録する", &PS::WarningLogSetting, Place::Line},
        {1028,
         "動作を確認するために使用します。通常はチェックしないでください。("
         "チェックにはINIファイルの変更が必要)",
         nullptr, Place::NewGroup},
        {1035, "常に状態表示の拡張画面を表示する", &PS::AlwaysShowExpansionWindow, Place::Line},
        {1021, "確認のために各動作ごとに一時停止する (以下の動作はこのチェックがオンの場合のみ有効)",
         &PS::PauseForConfirm, Place::Line},
        {1034, "確認のためにステータスの表示ごとに一時停止する", &PS::PauseByStatus, Place::Indented},
        {1022, "確認のために数バイトのダウンロードごとに一時停止する", &PS::PauseByDownload, Place::Indented},
        {1025, "確認のためにファイルのダウンロードごとに一時停止する", &PS::PauseByFileDownload,
         Place::Indented},
        {1027, "確認のために警告ごとにダウンロードを一時停止する", &PS::PauseByWarning, Place::Indented},
    };
    return rows;
}

// New options of the Download page are one entry each here.
const std::vector<OptionRow>& DownloadOptionRows() {
    static const std::vector<OptionRow> rows{
        {OptionRow::Kind::Check, 1038, "0バイトのファイルは保存しない", &PS::NotSave0ByteFileSetting},
        {OptionRow::Kind::Check, 1043, "同じサーバーへの接続を維持して、続くファイルのダウンロードに使う",
         &PS::KeepConnectionSetting},
        {OptionRow::Kind::Number, 1044, "サーバーへの接続を待つ時間", &PS::ConnectTimeoutSetting,
         "秒 (0は無制限)", 1045, 0, kMaxTimeoutSeconds},
        {OptionRow::Kind::Number, 1046, "データが届かない時に待つ時間", &PS::IdleTimeoutSetting,
         "秒 (0は無制限)", 1047, 0, kMaxTimeoutSeconds},
        {OptionRow::Kind::Check, 1048, "HTTPSを使用する(サーバー証明書を検証する)", &PS::UseHttpsSetting},
        {OptionRow::Kind::Check, 1050, "中断したダウンロードを途中から再開する", &PS::ResumeSetting},
        {OptionRow::Kind::Check, 1051, "FTPのデータ接続にパッシブモードを使う(使えない時はアクティブモード)",
         &PS::FtpPassiveSetting},
        {OptionRow::Kind::Choice,
         1052,
         "FTPサーバーのファイル名の文字コード",
         nullptr,
         "",
         0,
         0,
         0,
         &PS::FtpNameCharsetSetting,
         {"UTF-8", "Shift_JIS", "EUC-JP"}},
        {OptionRow::Kind::Number, 1053, "同時にダウンロードするファイル数", &PS::ParallelTransfersSetting,
         "ファイル (1は一つずつ)", 1054, 1, kMaxParallelTransfers},
    };
    return rows;
}

const std::vector<ChoiceGroup>& DownloadChoiceGroups() {
    static const std::vector<ChoiceGroup> groups{
        {1042,
         "ダウンロードするファイル名のファイルが既に保存先に存在する場合",
         &PS::SaveSetting,
         {{{1039, "保存しない"}, {1040, "上書き保存"}, {1041, "ファイル名の末尾に(数)を付けて保存"}}}},
        {1079,
         "FTPリストによるファイルのダウンロード時の保存ファイル名の設定",
         &PS::FtpListSaveSetting,
         {{{1073, "保存先フォルダに、ファイル名のみで保存する"},
           {1074, "保存先フォルダに、ファイル名から"},
           {1075, "保存先フォルダに、フルURLを含める　(ftp://は除き、「.」は「_」に変換)"}}},
         1072,
         1076,
         {1078, "上のディレクトリを含める"},
         &PS::FtpListSaveHowManyDirectorySetting},
        {1059,
         "Linkリストによるファイルのダウンロード時の保存ファイル名の設定",
         &PS::HttpListSaveSetting,
         {{{1066, "保存先フォルダに、ファイル名のみで保存する"},
           {1067, "保存先フォルダに、ファイル名から"},
           {1068, "保存先フォルダに、フルURLを含める　(http://は除き、「.」は「_」に変換)"}}},
         1061,
         1060,
         {1063, "上のディレクトリを含める"},
         &PS::HttpListSaveHowManyDirectorySetting},
    };
    return groups;
}

const std::array<ExtensionRowIds, kExtensionRows>& ExtensionRows() {
    static const std::array<ExtensionRowIds, kExtensionRows> rows{{
        {1083, 0, 1084, 1120, 1086},
        {1115, 1092, 1116, 1119, 1118},
        {1121, 1093, 1122, 1125, 1124},
        {1126, 1094, 1127, 1130, 1129},
        {1131, 1095, 1132, 1135, 1134},
        {1136, 1096, 1137, 1140, 1139},
        {1141, 1097, 1142, 1145, 1144},
        {1146, 1100, 1147, 1150, 1149},
        {1151, 1101, 1152, 1155, 1154},
        {1156, 1102, 1157, 1160, 1159},
        {1161, 1103, 1162, 1165, 1164},
        {1166, 1104, 1167, 1170, 1169},
    }};
    return rows;
}

const std::vector<TagRow>& TagRows() {
    static const std::vector<TagRow> rows{
        {1074, "<META>", &PS::HttpTreeListTabMetaSetting},
        {1079, "<FRAME>, <IFRAME>", &PS::HttpTreeListTabFrameSetting},
        {1073, "<BGSOUND>", &PS::HttpTreeListTabBGsoundSetting},
        {1078, "<SCRIPT>", &PS::HttpTreeListTabScriptSetting},
        {1071, "<A>, <AREA>, <LINK>", &PS::HttpTreeListTabLinkSetting},
        {1072, "<IMG>", &PS::HttpTreeListTabImageSetting},
        {1075, "<EMBED>", &PS::HttpTreeListTabEmbedSetting},
        {1076, "<OBJECT>", &PS::HttpTreeListTabObjectSetting},
        {1077, "<APPLET>", &PS::HttpTreeListTabAppletSetting},
    };
    return rows;
}

const std::vector<Label>& ExtractLabels() {
    static const std::vector<Label> labels{
        {extract::kListGroup, "FTP&&Linkリスト (以下の拡張子をリストに抽出する)"},
        {extract::kTagGroup, "Linkツリー&&リスト (以下のタブに含まれるURLを抽出する)"},
        {extract::kDepthGroup, "Linkツリー&&リスト (いくつ先のリンク(ファイル)までを抽出するか)"},
        {extract::kDepthBefore, "選択したURLの"},
        {extract::kDepthAfter, "つ先のリンクまで抽出する"},
        {extract::kDepthNote, "(0はURLに含まれるリンク(ファイル)のみを抽出)"},
        {extract::kAddToList, "先のリンク(ファイル)もLinkリストに表示する"},
        {extract::kReloadNote, "設定を変更した場合は、Tree&&Listの再読込みが必要です。"},
    };
    return labels;
}

} // namespace ordinex::sheet
