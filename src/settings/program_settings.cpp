#include "settings/program_settings.h"

#include "platform/ini_store.h"
#include "platform/text_helpers.h"

#include <algorithm>

namespace ordinex {

namespace {
constexpr std::size_t kJobTextLimit = 259;
constexpr const char* kAllowOperationCheck = "AllowOperationCheck";
} // namespace

std::vector<SettingKey> SettingKeys(ProgramSettings& s) {
    using T = SettingKey::Type;
    std::vector<SettingKey> keys;
    auto flag = [&](const char* section, const char* key, int32_t& field) {
        keys.push_back({section, key, T::Flag, &field, nullptr});
    };
    auto integer = [&](const char* section, const std::string& key, int32_t& field) {
        keys.push_back({section, key, T::Integer, &field, nullptr});
    };
    const char* p = "Program";
    flag(p, "ReadWindowSetting", s.ReadWindowSetting);
    flag(p, "ReadUrlFolderSetting", s.ReadUrlFolderSetting);
    flag(p, "ConfirmSaveUrlFolderSettingByExit", s.ConfirmSaveUrlFolderSettingByExit);
    flag(p, "ConfirmSaveUrlFolderSettingByOpen", s.ConfirmSaveUrlFolderSettingByOpen);
    flag(p, "ReadProgramSettingByOpen", s.ReadProgramSettingByOpen);
    flag(p, "InsertSeparatorOfUrlSetting", s.InsertSeparatorOfUrlSetting);
    flag(p, "InsertSeparatorOfFolderSetting", s.InsertSeparatorOfFolderSetting);
    flag(p, "DeleteSeparatorOfURLRepeatsSetting", s.DeleteSeparatorOfURLRepeatsSetting);
    flag(p, "DeleteSeparatorOfFolderRepeatsSetting", s.DeleteSeparatorOfFolderRepeatsSetting);
    flag(p, "CopyFromURLToFolderSetting", s.CopyFromURLToFolderSetting);
    flag(p, "UseWindowsRuleBrowserSetting", s.UseWindowsRuleBrowserSetting);
    flag(p, "ShowWarningDialogSetting", s.ShowWarningDialogSetting);
    flag(p, "ShowWarningDialogOnDownloadFailureSetting", s.ShowWarningDialogOnDownloadFailureSetting);
    flag(p, "ShowWarningDialogOnIllegalUrlFolderSetting", s.ShowWarningDialogOnIllegalUrlFolderSetting);
    flag(p, "ShowWarningDialogOnOverwriteSaveSetting", s.ShowWarningDialogOnOverwriteSaveSetting);
    flag(p, "WarningLogSetting", s.WarningLogSetting);
    flag(p, "AlwaysShowExpansionWindow", s.AlwaysShowExpansionWindow);
    flag(p, "PauseForConfirm", s.PauseForConfirm);
    flag(p, "PauseByStatus", s.PauseByStatus);
    flag(p, "PauseByDownload", s.PauseByDownload);
    flag(p, "PauseByFileDownload", s.PauseByFileDownload);
    flag(p, "PauseByWarning", s.PauseByWarning);
    flag(p, kAllowOperationCheck, s.AllowOperationCheck);

    const char* d = "Download";
    flag(d, "NotSave0ByteFileSetting", s.NotSave0ByteFileSetting);
    integer(d, "SaveSetting", s.SaveSetting);
    integer(d, "FtpListSaveSetting", s.FtpListSaveSetting);
    integer(d, "FtpListSaveHowManyDirectorySetting", s.FtpListSaveHowManyDirectorySetting);
    integer(d, "HttpListSaveSetting", s.HttpListSaveSetting);
    integer(d, "HttpListSaveHowManyDirectorySetting", s.HttpListSaveHowManyDirectorySetting);
    integer(d, "ConnectTimeoutSetting", s.ConnectTimeoutSetting);
    integer(d, "IdleTimeoutSetting", s.IdleTimeoutSetting);
    flag(d, "KeepConnectionSetting", s.KeepConnectionSetting);
    flag(d, "UseHttpsSetting", s.UseHttpsSetting);
    flag(d, "ResumeSetting", s.ResumeSetting);
    flag(d, "FtpPassiveSetting", s.FtpPassiveSetting);
    keys.push_back({d, "FtpNameCharsetSetting", SettingKey::Type::Text, nullptr, &s.FtpNameCharsetSetting});
    integer(d, "ParallelTransfersSetting", s.ParallelTransfersSetting);

    const char* t = "Tool";
    integer(t, "HttpTreeListReadingNumberSetting", s.HttpTreeListReadingNumberSetting);
    flag(t, "HttpTreeListExtensionOptionSetting0", s.HttpTreeListExtensionOptionSetting[0]);
    integer(t, "HttpTreeListFileSizeSetting0", s.HttpTreeListFileSizeSetting[0]);
    for (int n = 1; n < kExtensionRows; ++n) {
        const std::string row = std::to_string(n);
        flag(t, ("HttpTreeListExtensionOptionSetting" + row).c_str(),
             s.HttpTreeListExtensionOptionSetting[n]);
        keys.push_back({t, "HttpTreeListExtensionOptionSetting" + row + "String", SettingKey::Type::Text,
                        nullptr, &s.extensionStrings_[n]});
        integer(t, "HttpTreeListFileSizeSetting" + row, s.HttpTreeListFileSizeSetting[n]);
    }
    flag(t, "HttpTreeListTabMetaSetting", s.HttpTreeListTabMetaSetting);
    flag(t, "HttpTreeListTabFrameSetting", s.HttpTreeListTabFrameSetting);
    flag(t, "HttpTreeListTabBGsoundSetting", s.HttpTreeListTabBGsoundSetting);
    flag(t, "HttpTreeListTabScriptSetting", s.HttpTreeListTabScriptSetting);
    flag(t, "HttpTreeListTabLinkSetting", s.HttpTreeListTabLinkSetting);
    flag(t, "HttpTreeListTabImageSetting", s.HttpTreeListTabImageSetting);
    flag(t, "HttpTreeListTabEmbedSetting", s.HttpTreeListTabEmbedSetting);
    flag(t, "HttpTreeListTabObjectSetting", s.HttpTreeListTabObjectSetting);
    flag(t, "HttpTreeListTabAppletSetting", s.HttpTreeListTabAppletSetting);
    integer(t, "HttpTreeListNextChoseMaxNumberSetting", s.HttpTreeListNextChoseMaxNumberSetting);
    integer(t, "HttpListNextChoseSetting", s.HttpListNextChoseSetting);
    flag(t, "HttpListNextChoseAddListSetting", s.HttpListNextChoseAddListSetting);
    return keys;
}

void ProgramSettings::ClampLoadedValues() {
    const ProgramSettings d;
    auto within = [](int32_t& field, int32_t low, int32_t high, int32_t def) {
        if (field < low || field > high)
            field = def;
    };
    within(SaveSetting, 0, 2, d.SaveSetting);
    within(FtpListSaveSetting, 0, 2, d.FtpListSaveSetting);
    within(HttpListSaveSetting, 0, 2, d.HttpListSaveSetting);
    within(FtpListSaveHowManyDirectorySetting, 0, 99, d.FtpListSaveHowManyDirectorySetting);
    within(HttpListSaveHowManyDirectorySetting, 0, 99, d.HttpListSaveHowManyDirectorySetting);
    within(ConnectTimeoutSetting, 0, kMaxTimeoutSeconds, d.ConnectTimeoutSetting);
    within(IdleTimeoutSetting, 0, kMaxTimeoutSeconds, d.IdleTimeoutSetting);
    within(ParallelTransfersSetting, 1, kMaxParallelTransfers, d.ParallelTransfersSetting);
    within(HttpTreeListReadingNumberSetting, 1, 10, d.HttpTreeListReadingNumberSetting);
    for (int32_t& size : HttpTreeListFileSizeSetting)
        within(size, 0, INT32_MAX, 0);
    if (HttpTreeListNextChoseMaxNumberSetting > 3)
        HttpTreeListNextChoseMaxNumberSetting = 3;
    within(HttpTreeListNextChoseMaxNumberSetting, 0, 3, d.HttpTreeListNextChoseMaxNumberSetting);
    within(HttpListNextChoseSetting, 0, 3, d.HttpListNextChoseSetting);
    if (FtpNameCharsetSetting != "UTF-8" && FtpNameCharsetSetting != "Shift_JIS" &&
        FtpNameCharsetSetting != "EUC-JP")
        FtpNameCharsetSetting = d.FtpNameCharsetSetting;
}

void LoadProgramSettings(const IniStore& ini, ProgramSettings& s) {
    ProgramSettings defaults;
    auto keys = SettingKeys(s);
    auto defaultKeys = SettingKeys(defaults);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const SettingKey& k = keys[i];
        if (k.textField)
            *k.textField = ini.GetString(k.section, k.key, *defaultKeys[i].textField);
        else
            *k.intField = ini.GetInt(k.section, k.key, *defaultKeys[i].intField);
    }
    s.ClampLoadedValues();
}

void SaveProgramSettings(IniStore& ini, ProgramSettings& s) {
    for (const SettingKey& k : SettingKeys(s)) {
        if (k.key == kAllowOperationCheck)
            continue;
        if (k.textField)
            ini.SetString(k.section, k.key, *k.textField);
        else
            ini.SetInt(k.section, k.key, *k.intField);
    }
}

void ReadSettingsFromJob(const IniStore& ini, ProgramSettings& s) {
    ProgramSettings defaults;
    auto keys = SettingKeys(s);
    auto defaultKeys = SettingKeys(defaults);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const SettingKey& k = keys[i];
        if (k.key == kAllowOperationCheck)
            continue;
        switch (k.type) {
        case SettingKey::Type::Text:
            *k.textField = ini.GetString(k.section, k.key, *defaultKeys[i].textField, kJobTextLimit);
            break;
        case SettingKey::Type::Flag: {
            const auto found = ini.Find(k.section, k.key);
            *k.intField = found ? (TextToBool(*found) ? 1 : 0) : *defaultKeys[i].intField;
            break;
        }
        case SettingKey::Type::Integer:
            *k.intField = ini.GetInt(k.section, k.key, *defaultKeys[i].intField);
            break;
        }
    }
    s.ClampLoadedValues();
}

void WriteSettingsToJob(IniStore& ini, ProgramSettings& s) {
    for (const SettingKey& k : SettingKeys(s)) {
        switch (k.type) {
        case SettingKey::Type::Text:
            ini.SetString(k.section, k.key, *k.textField);
            break;
        case SettingKey::Type::Flag:
            ini.SetString(k.section, k.key, BoolToText(*k.intField));
            break;
        case SettingKey::Type::Integer:
            ini.SetInt(k.section, k.key, *k.intField);
            break;
        }
    }
}

} // namespace ordinex
