#include "ui/form_geometry.h"

#include "ui/form_ids.h"

#include <algorithm>
#include <tuple>

namespace ordinex::form {

namespace {

// Space between a group's last row and its lower border.
constexpr int kGroupBottom = 3;

int Centered(int rowTop, int rowHeight, int height) {
    return rowTop + (rowHeight - height) / 2;
}

} // namespace

FormGeometry LayoutForm(const FormMetrics& m, int clientWidth, bool runResult) {
    FormGeometry g;
    auto& r = g.rects;
    const int M = m.margin;
    const int B = m.buttonWidth;
    const int rowHeight = std::max({m.entryHeight, m.buttonHeight, m.checkHeight});
    const int pitch = rowHeight + m.rowGap;
    const int inner = M + m.groupPadding;      // left edge inside a group
    const int boxLeft = inner + m.labelColumn; // left edge of the text boxes

    // The fixed parts decide how narrow the form may get.
    const int rangeWidth =
        m.checkWidth + m.rangeLabelWidth + m.rangeBoxWidth + m.tildeWidth + m.rangeBoxWidth + 8;
    const int columnGap = 3 * M;
    const int closingLeft = inner + 2 * rangeWidth + columnGap + 2 * M;
    const int closingRight = closingLeft + m.closingLabelWidth;
    int runRight = M;
    for (int w : m.runButtonWidths)
        runRight += w + M / 2;
    runRight -= M / 2;
    g.minimumWidth =
        std::max({boxLeft + m.minimumBoxWidth + 5 * M + B, closingRight + M + m.groupPadding, runRight + M,
                  inner + 2 * rangeWidth + columnGap + 2 * M + m.previewButtonWidth + m.groupPadding});
    const int X = std::max(clientWidth, g.minimumWidth);
    g.width = X;

    const int boxRight = X - 5 * M - B;
    const int buttonLeft = X - 2 * M - B;
    const int groupWidth = X - 2 * M;

    auto box = [&](int id, int top) {
        r[id] = {boxLeft, Centered(top, rowHeight, m.entryHeight), boxRight - boxLeft, m.entryHeight};
    };
    auto button = [&](int id, int top) {
        r[id] = {buttonLeft, Centered(top, rowHeight, m.buttonHeight), B, m.buttonHeight};
    };
    auto label = [&](int id, int left, int top, int width) {
        r[id] = {left, Centered(top, rowHeight, m.lineHeight), width, m.lineHeight};
    };
    auto separator = [&](int id, int top) {
        r[id] = {boxLeft - m.separatorWidth - 2, Centered(top, rowHeight, m.lineHeight), m.separatorWidth,
                 m.lineHeight};
    };

    // URL: base, expansion, user name, password, then the composed address.
    int y = M / 2;
    const int urlTop = y;
    y += m.groupCaption;
    const int urlRows[4] = {y, y + pitch, y + 2 * pitch, y + 3 * pitch};
    r[kUrlBaseIcon] = {inner, Centered(urlRows[0], rowHeight, m.iconSize), m.iconSize, m.iconSize};
    r[kUrlExpansionIcon] = {inner, Centered(urlRows[1], rowHeight, m.iconSize), m.iconSize, m.iconSize};
    box(kUrlBase, urlRows[0]);
    separator(kUrlSeparator, urlRows[1]);
    box(kUrlExpansion, urlRows[1]);
    // The boxes' labels sit between the row's mark and the separator.
    const int markedLeft = inner + m.iconSize + 4;
    const int labelRight = boxLeft - m.separatorWidth - 4;
    label(kUrlBaseLabel, markedLeft, urlRows[0], labelRight - markedLeft);
    label(kUrlExpansionLabel, markedLeft, urlRows[1], labelRight - markedLeft);
    label(kUserNameLabel, inner, urlRows[2], m.labelColumn - 4);
    box(kUserName, urlRows[2]);
    label(kPasswordLabel, inner, urlRows[3], m.labelColumn - 4);
    box(kPassword, urlRows[3]);
    const int urlDisplayTop = urlRows[3] + pitch;
    r[kUrlDisplay] = {boxLeft, urlDisplayTop, boxRight - boxLeft, m.lineHeight};
    const int urlButtons[4] = {kBrowserButton, kExplorerButton, kFtpTreeButton, kLinkTreeButton};
    for (int i = 0; i < 4; ++i)
        button(urlButtons[i], urlRows[i]);
    y = urlDisplayTop + m.lineHeight + kGroupBottom;
    r[kUrlGroup] = {M, urlTop, groupWidth, y - urlTop};

    // Destination: base, expansion, then the composed path.
    y += 3;
    const int folderTop = y;
    y += m.groupCaption;
    const int folderRows[2] = {y, y + pitch};
    label(kFolderBaseLabel, inner, folderRows[0], labelRight - inner);
    label(kFolderExpansionLabel, inner, folderRows[1], labelRight - inner);
    box(kFolderBase, folderRows[0]);
    separator(kFolderSeparator, folderRows[1]);
    box(kFolderExpansion, folderRows[1]);
    const int folderDisplayTop = folderRows[1] + pitch;
    r[kFolderDisplay] = {boxLeft, folderDisplayTop, boxRight - boxLeft, m.lineHeight};
    button(kBrowseFolderButton, folderRows[0]);
    button(kCopyUrlButton, folderRows[1]);
    y = folderDisplayTop + m.lineHeight + kGroupBottom;
    r[kFolderGroup] = {M, folderTop, groupWidth, y - folderTop};

    // Ranges: three rows of two, closed by "に変えてダウンロード".
    y += 3;
    const int rangeTop = y;
    y += m.groupCaption;
    const int rangeRowsTop = y;
    for (int k = 0; k < 6; ++k) {
        const int row = y + (k / 2) * pitch;
        int x = inner + (k % 2) * (rangeWidth + columnGap);
        const RangeIds& ids = kRangeIds[k];
        r[ids.check] = {x, Centered(row, rowHeight, m.checkHeight), m.checkWidth, m.checkHeight};
        x += m.checkWidth + 2;
        label(ids.label, x, row, m.rangeLabelWidth);
        x += m.rangeLabelWidth + 2;
        r[ids.start] = {x, Centered(row, rowHeight, m.entryHeight), m.rangeBoxWidth, m.entryHeight};
        x += m.rangeBoxWidth + 2;
        label(ids.tilde, x, row, m.tildeWidth);
        x += m.tildeWidth + 2;
        r[ids.end] = {x, Centered(row, rowHeight, m.entryHeight), m.rangeBoxWidth, m.entryHeight};
    }
    label(kRangeClosingLabel, closingLeft, y + 2 * pitch, m.closingLabelWidth);
    // Right of the ranges' first row: the count and the list of the run.
    const int rangesRight = inner + 2 * rangeWidth + columnGap;
    const int previewLeft = std::max(X - M - m.groupPadding - m.previewButtonWidth, rangesRight + M);
    r[kPreviewButton] = {previewLeft, Centered(y, rowHeight, m.buttonHeight), m.previewButtonWidth,
                         m.buttonHeight};
    label(kCountLine, rangesRight + M, y, std::max(0, previewLeft - M / 2 - rangesRight - M));
    y += 3 * pitch - m.rowGap + kGroupBottom;
    r[kRangeGroup] = {M, rangeTop, groupWidth, y - rangeTop};

    // The run buttons keep their place.
    y += 3;
    const int runIds[4] = {kRunSeriesButton, kFtpListButton, kLinkListButton, kStopButton};
    int x = M;
    for (int i = 0; i < 4; ++i) {
        r[runIds[i]] = {x, y, m.runButtonWidths[i], m.buttonHeight};
        x += m.runButtonWidths[i] + M / 2;
    }
    g.contentBottom = y + m.buttonHeight;
    int below = g.contentBottom;
    if (runResult) {
        const int lineTop = below + M / 2;
        const int link = m.resultLinkWidth > 0 ? m.resultLinkWidth + M : 0;
        r[kRunResultLine] = {M, lineTop, X - 2 * M - link, m.lineHeight};
        if (m.resultLinkWidth > 0)
            r[kRunResultLink] = {X - M - m.resultLinkWidth, lineTop, m.resultLinkWidth, m.lineHeight};
        below += M / 2 + m.lineHeight;
    }
    g.idleHeight = below + M;

    // Nothing but the range group's frame lies right of the last range column,
    // the closing text and the run buttons.
    // (below the first range row, which holds the count and its button)
    const int freeLeft = std::max({closingRight, runRight, rangesRight}) + M;
    const int freeRight = X - M - m.groupPadding;
    const int freeTop = rangeRowsTop + pitch;
    if (freeRight > freeLeft)
        g.freeCorner = {freeLeft, freeTop, freeRight - freeLeft, g.contentBottom - freeTop};

    // Status area, below the run buttons.
    const int statusWidth = X - 2 * M;
    int sy = below + M;
    r[kStatusRule] = {M, sy, statusWidth, 2};
    sy += 4;
    for (int id : {kUrlStatusLine, kFolderStatusLine, kStatusLine, kStatusLine2}) {
        r[id] = {M, sy, statusWidth, m.lineHeight};
        sy += m.lineHeight;
    }
    r[kTransferStatus] = {M, sy, statusWidth, 3 * m.lineHeight};
    sy += 3 * m.lineHeight + 1;
    const int detail = std::min(m.progressDetailWidth, statusWidth / 2);
    const int lineWidth = detail > 0 ? statusWidth - detail - M : statusWidth;
    for (auto [text, bar, more] : {std::tuple{kByteProgressText, kByteProgressBar, kByteProgressDetail},
                                   std::tuple{kFileProgressText, kFileProgressBar, kFileProgressDetail}}) {
        r[text] = {M, sy, lineWidth, m.lineHeight};
        if (detail > 0)
            r[more] = {M + statusWidth - detail, sy, detail, m.lineHeight};
        sy += m.lineHeight;
        r[bar] = {M, sy, statusWidth, m.gaugeHeight};
        sy += m.gaugeHeight + 2;
    }
    g.statusBottom = sy - 2;
    g.expandedHeight = g.statusBottom + M;
    return g;
}

} // namespace ordinex::form
