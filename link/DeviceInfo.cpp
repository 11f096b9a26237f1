#include "DeviceInfo.h"

#include "DeviceList.h"
#include "Protocol.h"

#include "lang/StringTable.h"

#include <cmath>
#include <cstdlib>

namespace qmx::link {

std::optional<DeviceInfo> decodeDeviceInfo(std::span<const std::uint8_t> reply)
{
    if (reply.size() < 2) {
        return std::nullopt;
    }
    DeviceInfo info;
    info.FirmwareVersion = static_cast<float>(static_cast<std::int8_t>(reply[1])) * 0.01F;
    QByteArray text;
    for (std::size_t i = 2; i < reply.size() && reply[i] != 0; ++i) {
        text.append(static_cast<char>(reply[i]));
    }
    // The transducer sends 8-bit text; Latin-1 keeps every byte as one character. Control bytes
    // (a terminal escape sequence, say) are replaced before the text is shown anywhere.
    info.Description = printableDeviceText(QString::fromLatin1(text));
    return info;
}

QString connectionText(const DeviceInfo& info, QChar decimalSeparator, const QString& connectedTo)
{
    // Hundredths are exact for a version byte, so round to whole hundredths and write them out.
    const long hundredths = std::lround(static_cast<double>(info.FirmwareVersion) * 100.0);
    const long whole = std::labs(hundredths) / 100;
    const long frac = std::labs(hundredths) % 100;
    QString version = QString::number(whole) + decimalSeparator + QString::number(frac).rightJustified(2, u'0');
    if (hundredths < 0) {
        version.prepend(u'-');
    }
    return connectedTo + QString::fromLatin1(kProductName.data(), kProductName.size()) + QStringLiteral(" : ") +
           version + u' ' + info.Description;
}

QString connectionText(const DeviceInfo& info, QChar decimalSeparator)
{
    return connectionText(info, decimalSeparator, lang::lookupText("IDS_LinkConnectedTo", lang::Language::Polish));
}

} // namespace qmx::link
