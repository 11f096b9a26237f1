#pragma once
// Labels of the HID devices found by the device search.

#include "HidBackend.h"

#include <QString>

namespace qmx::link {

/// The entry text of a device: its product string when not empty (control characters replaced,
/// see printableDeviceText), otherwise "Device VID=%04X PID=%04X" with the vendor and product IDs.
QString deviceEntryText(const HidDeviceInfo& info);

/// A text that came from a device, safe to show in a field or print to a terminal: every control
/// or formatting character (escape sequences, line breaks, tabs, bidirectional overrides) is
/// replaced by "?".
QString printableDeviceText(const QString& text);

/// True when an entry text names the transducer: exactly "QMX80NET", case and blanks included.
bool isTransducerText(const QString& text);

} // namespace qmx::link
