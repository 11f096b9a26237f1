#pragma once
// What the main window is made of, as tables: every control with its kind, caption or initial
// text and container; the lists with their items and selections; the tooltips; the named fonts;
// the header bars; the fixed sizes. The layout tests walk these tables against the real window.

#include <QSize>
#include <QStringList>

#include <vector>

namespace qmx::test::layout {

/// One control. `text` is the caption or initial text (the title for a group box, the caption
/// for a header bar); nullptr when the control has none to check. `container` names the nearest
/// container the control must sit in.
struct ControlRow {
    const char* name;
    const char* kind;
    const char* text;
    const char* container;
};

/// A text that the start-up sequence writes over the design text, and why.
struct StartUpText {
    const char* name;
    const char* text;
    const char* why;
};

/// One drop-down list: its items, the selection at design and the selection after start-up.
struct ListRow {
    const char* name;
    QStringList items;
    int designSelection;
    int startUpSelection;
};

/// A control with a tooltip, and the tooltip.
struct TooltipRow {
    const char* name;
    const char* tooltip;
};

/// A control with a font of its own.
struct FontRow {
    const char* name;
    const char* family;
    int pixelSize;
    bool bold;
};

/// A header bar: caption and caption height in pixels.
struct HeaderRow {
    const char* name;
    const char* caption;
    int captionPixels;
};

/// A control with a fixed width and/or height (0: that side is not fixed).
struct SizeRow {
    const char* name;
    int width;
    int height;
};

const std::vector<ControlRow>& controls();
const std::vector<StartUpText>& startUpTexts();
const std::vector<ListRow>& lists();
const std::vector<TooltipRow>& tooltips();
const std::vector<FontRow>& fonts();
const std::vector<HeaderRow>& headers();
const std::vector<SizeRow>& fixedSizes();
/// The measurement page's readouts and their groups: the designed size is their smallest, they grow
/// with the window.
const std::vector<SizeRow>& grownFromSizes();

} // namespace qmx::test::layout
