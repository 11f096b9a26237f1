#pragma once
// On/off indicators: a read-only edit or a header bar showing one of two texts in on or off colours.

#include <QColor>
#include <QString>

class QLineEdit;

namespace qmx::ui {

class HeaderBar;

/// Background of an edit indicator in the on state.
inline constexpr QRgb kIndicatorOnColor = qRgb(175, 216, 135);
/// Background of an edit indicator in the off state.
inline constexpr QRgb kIndicatorOffColor = qRgb(253, 124, 102);
/// Header gradient in the on state, top to bottom.
inline constexpr QRgb kHeaderOnStart = qRgb(0, 255, 0);
inline constexpr QRgb kHeaderOnEnd = qRgb(0, 128, 0);
/// Header colour in the off state (no end colour: a flat fill).
inline constexpr QRgb kHeaderOffStart = qRgb(111, 104, 104);

/// Shows `onText` on RGB(175,216,135) or `offText` on RGB(253,124,102) in `edit` (background via
/// QPalette::Base). Text and palette are only touched when they differ, since indicators are set
/// at every display tick. A null edit is ignored.
void setStateEdit(QLineEdit* edit, const QString& onText, const QString& offText, bool on);

/// Shows `onCaption` with the gradient RGB(0,255,0) to RGB(0,128,0), or `offCaption` on a flat
/// RGB(111,104,104) (start colour without end colour), in `header`. A null header is ignored.
void setStateHeader(HeaderBar* header, const QString& onCaption, const QString& offCaption, bool on);

} // namespace qmx::ui
