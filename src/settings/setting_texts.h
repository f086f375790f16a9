#pragma once
#include "settings/program_settings.h"

#include <array>
#include <cstdint>
#include <vector>

// The three pages of the settings sheet as data: every control's id, its
// Japanese caption and the key it edits. The windows lay these tables out;
// the page models apply their rules to them.
namespace ordinex::sheet {

using Key = int32_t ProgramSettings::*;

enum Page { kProgramPage = 0, kDownloadPage = 1, kExtractPage = 2, kPageCount = 3 };

inline constexpr const char* kSheetTitle = "設定";
inline constexpr const char* kCancelText = "キャンセル"; // GTK's own label follows the locale
const char* PageTitle(int page);

// A caption or note that edits no key, by control id.
struct Label {
    int id;
    const char* text;
};
const char* LabelText(const std::vector<Label>& labels, int id);

// ---- Program page: check boxes, each bound to a flag ----

struct ProgramRow {
    enum class Place {
        Line,     // a line of its own
        NewGroup, // a line of its own, with space above
        Indented, // below the label or check box that governs it
        InRow,    // beside the previous InRow entries, on one indented line
    };
    int id;
    const char* caption;
    Key key; // null for a label
    Place place;
};
// In page order, labels included.
const std::vector<ProgramRow>& ProgramRows();

namespace program {
inline constexpr int kShowWarningDialog = 1036;
inline constexpr int kWarningLabel = 1049;
inline constexpr int kWarningChoices[] = {1037, 1038, 1039};
inline constexpr int kOperationNote = 1028;
inline constexpr int kAlwaysShowExpansion = 1035;
inline constexpr int kPauseForConfirm = 1021;
inline constexpr int kPauseChoices[] = {1034, 1022, 1025, 1027};
} // namespace program

// ---- Download page ----

// One option of the page's first section: a check box bound to a flag, or a
// labelled number box with a spin button bound to an integer.
struct OptionRow {
    // Choice: a labelled drop-down list of texts bound to a text key.
    enum class Kind { Check, Number, Choice };
    Kind kind;
    int id;              // the check box or the number box
    const char* caption; // the check box's caption, or the label before the box
    Key key;
    // Number rows only.
    const char* unit = ""; // label after the spin button
    int spinId = 0;
    int min = 0, max = 0;
    // Choice rows only.
    std::string ProgramSettings::*textKey = nullptr;
    std::vector<const char*> choices = {};
};
const std::vector<OptionRow>& DownloadOptionRows();

// A radio group bound to a 0/1/2 key. In the list groups the middle choice
// goes on after a count box with its spin button.
struct ChoiceGroup {
    int groupId;
    const char* caption;
    Key key;
    std::array<Label, 3> choices;
    int countId = 0, spinId = 0;
    Label countTail{0, ""};
    Key countKey = nullptr;
};
inline constexpr int kCountMax = 99;
const std::vector<ChoiceGroup>& DownloadChoiceGroups();

// ---- Extract page ----

// The controls of one row of the list filter; row 0 has no extension box.
struct ExtensionRowIds {
    int check, extension, size, sizeLabel, unitLabel;
};
inline constexpr int kAllExtensionsRow = 0;
const std::array<ExtensionRowIds, kExtensionRows>& ExtensionRows();
inline constexpr const char* kAllExtensionsText = "すべての拡張子";
inline constexpr const char* kExtensionText = "拡張子";
inline constexpr const char* kFileSizeText = "ファイルサイズ";
inline constexpr const char* kSizeUnitText = "KB以上のファイル";
inline constexpr int kSizeBoxChars = 9;

struct TagRow {
    int id;
    const char* caption;
    Key key;
};
const std::vector<TagRow>& TagRows();

namespace extract {
inline constexpr int kListGroup = 1091;
inline constexpr int kTagGroup = 1069;
inline constexpr int kDepthGroup = 1070;
inline constexpr int kDepthBox = 1087;
inline constexpr int kDepthSpin = 1088;
inline constexpr int kDepthBefore = 1098;
inline constexpr int kDepthAfter = 1099;
inline constexpr int kDepthNote = 1106;
inline constexpr int kAddToList = 1080;
inline constexpr int kReloadNote = 1105;
inline constexpr int kDepthLimit = 3; // the spin button's range is 0..3
} // namespace extract
// Group captions, the depth texts and the notes; 1080's caption too.
const std::vector<Label>& ExtractLabels();

} // namespace ordinex::sheet
