#pragma once
#include "settings/program_settings.h"
#include "settings/setting_texts.h"

#include <array>
#include <map>
#include <string>
#include <vector>

// What the three pages of the settings sheet hold and the rules that tie
// their controls together, without windows: the windows copy each change of
// a control here and show what these say.
namespace ordinex::sheet {

// Control id -> enabled, for every control a page's rules decide.
using Enabling = std::map<int, bool>;

class ProgramPageModel {
public:
    explicit ProgramPageModel(const ProgramSettings& s);
    bool Checked(int id) const;
    void SetChecked(int id, bool checked);
    // The warning choices follow 1036; the step-by-step options are open only
    // when AllowOperationCheck is set, and the pause choices also need 1021.
    Enabling ControlEnabling() const;
    void Write(ProgramSettings& s) const;

private:
    std::map<int, bool> checks_;
    bool allowOperationCheck_;
};

class DownloadPageModel {
public:
    explicit DownloadPageModel(const ProgramSettings& s);
    // Option rows, by index into DownloadOptionRows().
    bool OptionChecked(std::size_t row) const { return options_.at(row) != "0"; }
    void SetOptionChecked(std::size_t row, bool checked) { options_.at(row).assign(1, checked ? '1' : '0'); }
    const std::string& OptionText(std::size_t row) const { return options_.at(row); }
    void SetOptionText(std::size_t row, std::string text) { options_.at(row) = std::move(text); }
    // Radio groups, by index into DownloadChoiceGroups(). A stored value
    // outside 0..2 selects no button and is kept unless the user picks one.
    int Choice(std::size_t group) const { return choices_.at(group); }
    void SetChoice(std::size_t group, int choice) { choices_.at(group) = choice; }
    const std::string& CountText(std::size_t group) const { return counts_.at(group); }
    // Typing a count selects the choice that uses it.
    void SetCountText(std::size_t group, std::string text);
    void Write(ProgramSettings& s) const;

private:
    std::vector<std::string> options_; // a flag as "0"/"1", a number as typed
    std::vector<int> choices_;
    std::vector<std::string> counts_;
};

class ExtractPageModel {
public:
    explicit ExtractPageModel(const ProgramSettings& s);
    bool RowChecked(int row) const { return rows_.at(row).checked; }
    void SetRowChecked(int row, bool checked) { rows_.at(row).checked = checked; }
    const std::string& Extension(int row) const { return rows_.at(row).extension; }
    void SetExtension(int row, std::string text) { rows_.at(row).extension = std::move(text); }
    // Sizes as the boxes show them, digit-grouped.
    const std::string& SizeText(int row) const { return rows_.at(row).sizeText; }
    void SetSizeText(int row, std::string text) { rows_.at(row).sizeText = std::move(text); }
    bool TagChecked(std::size_t tag) const { return tags_.at(tag); }
    void SetTagChecked(std::size_t tag, bool checked) { tags_.at(tag) = checked; }
    // A depth above HttpTreeListNextChoseMaxNumberSetting becomes that
    // maximum; a depth of 0 unchecks 1080.
    const std::string& DepthText() const { return depth_; }
    void SetDepthText(std::string text);
    int MaxDepth() const { return maxDepth_; }
    bool AddToList() const { return addToList_; }
    void SetAddToList(bool checked) { addToList_ = checked; }
    // The all-extensions row switches the other eleven off; each of those
    // opens its boxes only when checked; 1080 needs a depth above 0.
    Enabling ControlEnabling() const;
    void Write(ProgramSettings& s) const;

private:
    struct Row {
        bool checked = false;
        std::string extension, sizeText;
    };
    std::array<Row, kExtensionRows> rows_;
    std::vector<bool> tags_;
    std::string depth_;
    int maxDepth_;
    bool addToList_;
};

// The sheet: copies of the settings when it is built, and which pages the
// user has seen. OK writes those pages only; the others leave their keys as
// they were, even if the settings changed meanwhile.
class SettingSheetModel {
public:
    explicit SettingSheetModel(const ProgramSettings& s);
    void MarkShown(int page);
    bool Shown(int page) const { return shown_.at(page); }
    void Write(ProgramSettings& s) const;

    ProgramPageModel program;
    DownloadPageModel download;
    ExtractPageModel extract;

private:
    std::array<bool, kPageCount> shown_{};
};

// A number box's value: leading digits after the group separators are
// removed; none (an empty box) gives 0.
int32_t NumberOfText(const std::string& text);

} // namespace ordinex::sheet
