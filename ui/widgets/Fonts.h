#pragma once
// The fonts the window names (Tahoma, Arial, Calibri, Courier New), each with faces of the same
// letter widths to fall back on where it is not installed, so texts keep to their places.

#include <QFont>

namespace qmx::ui {

enum class NamedFont { Tahoma, Arial, Calibri, CourierNew };

/// The named font at `pixels` character height.
QFont namedFont(NamedFont family, int pixels, bool bold = false);

} // namespace qmx::ui
