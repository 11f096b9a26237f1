#pragma once
// Identification of the transducer (reply to CMD_GET_INFO) and the connection text built from it.

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace qmx::link {

/// Firmware version and description of the transducer.
struct DeviceInfo {
    float FirmwareVersion = 0.0F; ///< version byte (signed) times 0.01
    QString Description;          ///< 8-bit text up to the first zero byte, control characters replaced
};

/// Decodes an info reply (offset 0 = code). Needs at least the code and the version byte; the text
/// ends at the first zero byte or at the end of the reply, whichever comes first.
std::optional<DeviceInfo> decodeDeviceInfo(std::span<const std::uint8_t> reply);

/// `connectedTo` followed by "QMX80NET : 1.05 <description>", the version with two decimals and
/// the given decimal separator. The transducer's name, version and description are its own texts
/// and stay as they are in every language.
QString connectionText(const DeviceInfo& info, QChar decimalSeparator, const QString& connectedTo);
/// The same with the Polish "Połączono z " in front.
QString connectionText(const DeviceInfo& info, QChar decimalSeparator);

} // namespace qmx::link
