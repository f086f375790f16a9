#pragma once
#include <array>

namespace ordinex::form {

// Control ids of the main form; other windows and the tests name controls by them.
inline constexpr int kUrlBase = 1000;
inline constexpr int kRunSeriesButton = 1001;
inline constexpr int kFolderBase = 1002;
inline constexpr int kUrlGroup = 1003;
inline constexpr int kFolderGroup = 1004;
inline constexpr int kUrlExpansion = 1005;
inline constexpr int kStatusLine = 1006;
inline constexpr int kUrlStatusLine = 1007;
inline constexpr int kFolderStatusLine = 1008;
inline constexpr int kStatusRule = 1010;
inline constexpr int kStatusLine2 = 1011;
inline constexpr int kFolderExpansion = 1012;
inline constexpr int kByteProgressText = 1013;
inline constexpr int kUrlDisplay = 1014;
inline constexpr int kFolderDisplay = 1015;
inline constexpr int kStopButton = 1016;
inline constexpr int kRangeGroup = 1017;
inline constexpr int kFileProgressText = 1018;
inline constexpr int kTransferStatus = 1019;
inline constexpr int kUserName = 1020;
inline constexpr int kPassword = 1021;
inline constexpr int kFtpListButton = 1023;
inline constexpr int kByteProgressBar = 1024;
inline constexpr int kBrowseFolderButton = 1025;
inline constexpr int kFileProgressBar = 1026;
inline constexpr int kCopyUrlButton = 1027;
inline constexpr int kBrowserButton = 1028;
inline constexpr int kUrlSeparator = 1029;
inline constexpr int kFolderSeparator = 1030;
inline constexpr int kFtpTreeButton = 1064;
inline constexpr int kExplorerButton = 1071;
inline constexpr int kLinkListButton = 1073;
inline constexpr int kLinkTreeButton = 1074;

// One replacement range: check box, "* を" label, start box, "～" label, end box.
struct RangeIds {
    int check;
    int label;
    int start;
    int tilde;
    int end;
};
inline constexpr std::array<RangeIds, 6> kRangeIds{{
    {1032, 1035, 1033, 1036, 1034},
    {1038, 1043, 1039, 1040, 1041},
    {1042, 1047, 1044, 1046, 1045},
    {1048, 1052, 1049, 1051, 1050},
    {1053, 1057, 1054, 1056, 1055},
    {1058, 1062, 1059, 1061, 1060},
}};

} // namespace ordinex::form

namespace ordinex::form {
// Layout keys of the form's parts that have no control id of their own.
inline constexpr int kUserNameLabel = -101;
inline constexpr int kPasswordLabel = -102;
inline constexpr int kUrlBaseIcon = -103;
inline constexpr int kUrlExpansionIcon = -104;
inline constexpr int kRangeClosingLabel = -105;
// The result of the last run, under the run buttons, and the link beside it
// that opens the run's report.
inline constexpr int kRunResultLine = -106;
inline constexpr int kRunResultLink = -109;
// Percent, speed and time left beside the byte line; files and the run's
// speed beside the file line.
inline constexpr int kByteProgressDetail = -107;
inline constexpr int kFileProgressDetail = -108;
// Beside the ranges: the number of combinations ("全 360 ファイル") and the
// button that lists them; labels in front of the four boxes.
inline constexpr int kCountLine = -112;
inline constexpr int kPreviewButton = 1080;
inline constexpr int kUrlBaseLabel = -113;
inline constexpr int kUrlExpansionLabel = -114;
inline constexpr int kFolderBaseLabel = -115;
inline constexpr int kFolderExpansionLabel = -116;
} // namespace ordinex::form
