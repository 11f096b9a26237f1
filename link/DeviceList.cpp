#include "DeviceList.h"

#include "Protocol.h"

namespace qmx::link {

QString deviceEntryText(const HidDeviceInfo& info)
{
    if (!info.product.empty()) {
        return QString::fromStdU16String(info.product);
    }
    const auto hex4 = [](std::uint16_t v) { return QStringLiteral("%1").arg(v, 4, 16, QChar(u'0')).toUpper(); };
    return QStringLiteral("Device VID=%1 PID=%2").arg(hex4(info.vendorId), hex4(info.productId));
}

bool isTransducerText(const QString& text)
{
    return text == QLatin1String(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
}

} // namespace qmx::link
