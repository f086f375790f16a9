#include "settings/setting_pages.h"

#include "platform/ini_store.h"
#include "platform/number_format.h"
#include "platform/text_helpers.h"

#include <algorithm>

namespace ordinex::sheet {

int32_t NumberOfText(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (c != ',')
            digits += c;
    return ParseProfileInt(digits);
}

// ---- Program page ----

ProgramPageModel::ProgramPageModel(const ProgramSettings& s)
    : allowOperationCheck_(s.AllowOperationCheck != 0) {
    for (const ProgramRow& row : ProgramRows())
        if (row.key)
            checks_[row.id] = s.*row.key != 0;
}

bool ProgramPageModel::Checked(int id) const {
    const auto it = checks_.find(id);
    return it != checks_.end() && it->second;
}

void ProgramPageModel::SetChecked(int id, bool checked) {
    if (auto it = checks_.find(id); it != checks_.end())
        it->second = checked;
}

Enabling ProgramPageModel::ControlEnabling() const {
    using namespace program;
    Enabling e;
    const bool warnings = Checked(kShowWarningDialog);
    e[kWarningLabel] = warnings;
    for (int id : kWarningChoices)
        e[id] = warnings;
    e[kOperationNote] = e[kAlwaysShowExpansion] = e[kPauseForConfirm] = allowOperationCheck_;
    for (int id : kPauseChoices)
        e[id] = allowOperationCheck_ && Checked(kPauseForConfirm);
    return e;
}

void ProgramPageModel::Write(ProgramSettings& s) const {
    for (const ProgramRow& row : ProgramRows())
        if (row.key)
            s.*row.key = Checked(row.id) ? 1 : 0;
}

// ---- Download page ----

DownloadPageModel::DownloadPageModel(const ProgramSettings& s) {
    for (const OptionRow& row : DownloadOptionRows()) {
        if (row.kind == OptionRow::Kind::Check)
            options_.push_back(s.*row.key ? "1" : "0");
        else if (row.kind == OptionRow::Kind::Choice)
            options_.push_back(s.*row.textKey);
        else
            options_.push_back(IntToText(std::clamp(s.*row.key, row.min, row.max)));
    }
    for (const ChoiceGroup& g : DownloadChoiceGroups()) {
        choices_.push_back(s.*g.key);
        // The spin button holds the count within its range.
        counts_.push_back(g.countKey ? IntToText(std::clamp(s.*g.countKey, 0, kCountMax)) : "");
    }
}

void DownloadPageModel::SetCountText(std::size_t group, std::string text) {
    counts_.at(group) = std::move(text);
    choices_.at(group) = 1;
}

void DownloadPageModel::Write(ProgramSettings& s) const {
    const auto& rows = DownloadOptionRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].kind == OptionRow::Kind::Check)
            s.*rows[i].key = OptionChecked(i) ? 1 : 0;
        else if (rows[i].kind == OptionRow::Kind::Choice)
            s.*rows[i].textKey = options_[i];
        else
            s.*rows[i].key = std::clamp(NumberOfText(options_[i]), rows[i].min, rows[i].max);
    }
    const auto& groups = DownloadChoiceGroups();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        s.*groups[i].key = choices_[i];
        if (groups[i].countKey)
            s.*groups[i].countKey = NumberOfText(counts_[i]);
    }
}

// ---- Extract page ----

ExtractPageModel::ExtractPageModel(const ProgramSettings& s)
    : maxDepth_(std::clamp(s.HttpTreeListNextChoseMaxNumberSetting, 0, extract::kDepthLimit)),
      addToList_(s.HttpListNextChoseAddListSetting != 0) {
    for (int n = 0; n < kExtensionRows; ++n) {
        rows_[n].checked = s.HttpTreeListExtensionOptionSetting[n] != 0;
        if (n != kAllExtensionsRow)
            rows_[n].extension = s.GetExtensionString(n);
        // The size box shows its value grouped; it has no room for a sign.
        rows_[n].sizeText = GroupDigits(std::max(0, s.HttpTreeListFileSizeSetting[n]));
    }
    for (const TagRow& tag : TagRows())
        tags_.push_back(s.*tag.key != 0);
    depth_ = IntToText(std::clamp(s.HttpListNextChoseSetting, 0, extract::kDepthLimit));
    if (NumberOfText(depth_) == 0)
        addToList_ = false;
}

void ExtractPageModel::SetDepthText(std::string text) {
    depth_ = std::move(text);
    if (NumberOfText(depth_) > maxDepth_)
        depth_ = IntToText(maxDepth_);
    if (NumberOfText(depth_) == 0)
        addToList_ = false;
}

Enabling ExtractPageModel::ControlEnabling() const {
    Enabling e;
    const bool all = RowChecked(kAllExtensionsRow);
    for (int n = 0; n < kExtensionRows; ++n) {
        const ExtensionRowIds& ids = ExtensionRows()[n];
        const bool open = n == kAllExtensionsRow ? all : !all && rows_[n].checked;
        if (n != kAllExtensionsRow) {
            e[ids.check] = !all;
            e[ids.extension] = open;
        }
        e[ids.size] = e[ids.sizeLabel] = e[ids.unitLabel] = open;
    }
    e[extract::kAddToList] = NumberOfText(depth_) != 0;
    return e;
}

void ExtractPageModel::Write(ProgramSettings& s) const {
    for (int n = 0; n < kExtensionRows; ++n) {
        s.HttpTreeListExtensionOptionSetting[n] = rows_[n].checked ? 1 : 0;
        if (n != kAllExtensionsRow)
            s.SetExtensionString(n, rows_[n].extension);
        s.HttpTreeListFileSizeSetting[n] = NumberOfText(rows_[n].sizeText);
    }
    const auto& tags = TagRows();
    for (std::size_t i = 0; i < tags.size(); ++i)
        s.*tags[i].key = tags_[i] ? 1 : 0;
    s.HttpListNextChoseSetting = NumberOfText(depth_);
    s.HttpListNextChoseAddListSetting = addToList_ ? 1 : 0;
}

// ---- Sheet ----

SettingSheetModel::SettingSheetModel(const ProgramSettings& s) : program(s), download(s), extract(s) {}

void SettingSheetModel::MarkShown(int page) {
    if (page >= 0 && page < kPageCount)
        shown_[page] = true;
}

void SettingSheetModel::Write(ProgramSettings& s) const {
    if (shown_[kProgramPage])
        program.Write(s);
    if (shown_[kDownloadPage])
        download.Write(s);
    if (shown_[kExtractPage])
        extract.Write(s);
}

} // namespace ordinex::sheet
