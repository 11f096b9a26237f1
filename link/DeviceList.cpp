#include "DeviceList.h"

#include "Protocol.h"

namespace qmx::link {

QString deviceEntryText(const HidDeviceInfo& info)
{
    if (!info.product.empty()) {
        return printableDeviceText(QString::fromStdU16String(info.product));
    }
    const auto hex4 = [](std::uint16_t v) { return QStringLiteral("%1").arg(v, 4, 16, QChar(u'0')).toUpper(); };
    return QStringLiteral("Device VID=%1 PID=%2").arg(hex4(info.vendorId), hex4(info.productId));
}

QString printableDeviceText(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            c = u'?';
            break;
        default:
            break;
        }
    }
    return result;
}

bool isTransducerText(const QString& text)
{
    return text == QLatin1String(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
}

} // namespace qmx::link
