#pragma once
#include <array>
#include <map>

namespace ordinex::form {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool operator==(const Rect&) const = default;
};

// Sizes measured from the real controls in the current font and theme.
struct FormMetrics {
    int margin = 8;       // left edge of the URL group (M)
    int buttonWidth = 90; // width of the "参照..." column (B)
    int entryHeight = 24;
    int buttonHeight = 26;
    int lineHeight = 17; // one line of static text
    int iconSize = 16;
    int labelColumn = 120; // labels in front of the URL and destination boxes
    int separatorWidth = 8;
    int groupCaption = 18; // a group box's caption above its first row
    int groupPadding = 8;
    int rowGap = 1;
    int checkWidth = 20;
    int rangeLabelWidth = 28;
    int rangeBoxWidth = 64;
    int tildeWidth = 16;
    int closingLabelWidth = 140;
    std::array<int, 4> runButtonWidths{120, 120, 120, 120};
    int gaugeHeight = 10;
    int checkHeight = 17;
    int minimumBoxWidth = 120; // the URL and destination boxes at their narrowest
    // The texts right of the byte and file lines (0: none), at most half
    // the status area's width.
    int progressDetailWidth = 0;
    // The link at the right end of the result line (0: none).
    int resultLinkWidth = 0;
    int previewButtonWidth = 60;
};

// Positions of every part of the form for a client width. Left edges and
// heights never depend on the width: only right edges move, so that the
// boxes grow and the button column keeps to the right. The status area lies
// below the run buttons; the frame uncovers it by growing.
struct FormGeometry {
    std::map<int, Rect> rects;
    int width = 0;          // the width laid out: never below minimumWidth
    int minimumWidth = 0;   // narrower, some control would lose its natural size
    int contentBottom = 0;  // bottom of the run buttons
    int statusBottom = 0;   // bottom of the file progress bar
    int idleHeight = 0;     // the form down to the run buttons and their margin
    int expandedHeight = 0; // the form down to the file progress bar and its margin
    // Right of the range group's last column and of the run buttons: a
    // rectangle that holds no control (empty when the form is too narrow).
    Rect freeCorner;
};
// With runResult, a line under the run buttons holds a run's result; it
// belongs to the idle form, and the status area moves down by it.
FormGeometry LayoutForm(const FormMetrics& m, int clientWidth, bool runResult = false);

} // namespace ordinex::form
