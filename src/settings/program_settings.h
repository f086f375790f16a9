#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ordinex {

class IniStore;

inline constexpr int kExtensionRows = 12; // row 0 (every extension) and rows 1..11
inline constexpr int32_t kMaxTimeoutSeconds = 86400;
inline constexpr int32_t kMaxParallelTransfers = 16;

// Every program-wide option, one field per key of the sections "Program",
// "Download" and "Tool", with the keys' defaults. Flags: 0 off, else on.
struct ProgramSettings {
    // Program
    int32_t ReadWindowSetting = 1;
    int32_t ReadUrlFolderSetting = 1;
    int32_t ConfirmSaveUrlFolderSettingByExit = 0;
    int32_t ConfirmSaveUrlFolderSettingByOpen = 0;
    int32_t ReadProgramSettingByOpen = 0;
    int32_t InsertSeparatorOfUrlSetting = 1;
    int32_t InsertSeparatorOfFolderSetting = 1;
    int32_t DeleteSeparatorOfURLRepeatsSetting = 1;
    int32_t DeleteSeparatorOfFolderRepeatsSetting = 1;
    int32_t CopyFromURLToFolderSetting = 1;
    int32_t UseWindowsRuleBrowserSetting = 0;
    int32_t ShowWarningDialogSetting = 1;
    int32_t ShowWarningDialogOnDownloadFailureSetting = 1;
    int32_t ShowWarningDialogOnIllegalUrlFolderSetting = 1;
    int32_t ShowWarningDialogOnOverwriteSaveSetting = 1;
    int32_t WarningLogSetting = 0;
    int32_t AlwaysShowExpansionWindow = 0;
    int32_t PauseForConfirm = 0;
    int32_t PauseByStatus = 0;
    int32_t PauseByDownload = 0;
    int32_t PauseByFileDownload = 0;
    int32_t PauseByWarning = 0;
    int32_t AllowOperationCheck = 0; // read, never written: set by editing the file

    // Download
    int32_t NotSave0ByteFileSetting = 0;
    int32_t SaveSetting = 2;
    int32_t FtpListSaveSetting = 0;
    int32_t FtpListSaveHowManyDirectorySetting = 0;
    int32_t HttpListSaveSetting = 0;
    int32_t HttpListSaveHowManyDirectorySetting = 0;
    // Seconds a connection may take to open, and a transfer may go without
    // receiving a byte, before the file fails; 0 waits without limit.
    int32_t ConnectTimeoutSetting = 30;
    int32_t IdleTimeoutSetting = 60;
    // Keep connections open between the files of a run or a listing (HTTP to
    // the same host and port, FTP to the same host, port and user); 0 opens
    // one connection per operation.
    int32_t KeepConnectionSetting = 1;
    // Fetch https:// addresses too, with the server's certificate checked
    // against the system's trust store; 0 refuses them as an unsupported
    // service type. On unless turned off: nearly every site is served over
    // HTTPS, and the certificate check keeps it as safe as plain HTTP is not.
    int32_t UseHttpsSetting = 1;
    // A download that finds what an earlier attempt at its target left
    // continues it (HTTP ranges checked by the file's tag or date, FTP REST
    // while size and date still match); 0 always starts over.
    int32_t ResumeSetting = 1;
    // FTP data connections: passive (EPSV, then PASV), falling back to
    // active when the server refuses both; 0 opens them actively only.
    int32_t FtpPassiveSetting = 1;
    // The charset of the names on FTP servers: "UTF-8", "Shift_JIS" or
    // "EUC-JP". Names are read and sent in it, shown and saved as UTF-8.
    std::string FtpNameCharsetSetting = "UTF-8";
    // How many files of a run (the series and both list runs) are in flight
    // at once, 1 to kMaxParallelTransfers; 1 fetches one after the other.
    int32_t ParallelTransfersSetting = 1;

    // Tool
    int32_t HttpTreeListReadingNumberSetting = 1;
    // Index 0 is the "every extension" row, 1..11 the extension rows.
    std::array<int32_t, kExtensionRows> HttpTreeListExtensionOptionSetting{1, 0, 0, 0, 0, 0,
                                                                           0, 0, 0, 0, 0, 0};
    std::array<int32_t, kExtensionRows> HttpTreeListFileSizeSetting{};
    int32_t HttpTreeListTabMetaSetting = 1;
    int32_t HttpTreeListTabFrameSetting = 1;
    int32_t HttpTreeListTabBGsoundSetting = 1;
    int32_t HttpTreeListTabScriptSetting = 1;
    int32_t HttpTreeListTabLinkSetting = 1;
    int32_t HttpTreeListTabImageSetting = 1;
    int32_t HttpTreeListTabEmbedSetting = 1;
    int32_t HttpTreeListTabObjectSetting = 1;
    int32_t HttpTreeListTabAppletSetting = 1;
    int32_t HttpTreeListNextChoseMaxNumberSetting = 1;
    int32_t HttpListNextChoseSetting = 0;
    int32_t HttpListNextChoseAddListSetting = 0;

    // Extension text of rows 1..11.
    std::string GetExtensionString(int row) const { return extensionStrings_.at(row); }
    void SetExtensionString(int row, std::string_view text) { extensionStrings_.at(row) = std::string(text); }

    // A choice or count outside its range reads as the key's default (the
    // largest link depth as 3), so no value typed into a file turns into a
    // policy nobody chose.
    void ClampLoadedValues();

    // Index 0 unused: row 0 has no extension text.
    std::array<std::string, kExtensionRows> extensionStrings_{};
};

// One key of the three sections, in file order, bound to its field.
struct SettingKey {
    const char* section;
    std::string key;
    enum class Type { Flag, Integer, Text } type;
    int32_t* intField = nullptr;
    std::string* textField = nullptr;
};
std::vector<SettingKey> SettingKeys(ProgramSettings& s);

// The settings file: integers as decimal text, texts as they are.
void LoadProgramSettings(const IniStore& ini, ProgramSettings& s);
void SaveProgramSettings(IniStore& ini, ProgramSettings& s);

// A job file's snapshot: flags as "1"/"0", texts cut at 259 bytes, and
// AllowOperationCheck written but never taken over.
void ReadSettingsFromJob(const IniStore& ini, ProgramSettings& s);
void WriteSettingsToJob(IniStore& ini, ProgramSettings& s);

} // namespace ordinex
