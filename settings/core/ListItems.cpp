#include "ListItems.h"

namespace qmx::settings {

QStringList toStringList(std::span<const std::string_view> items)
{
    QStringList result;
    result.reserve(static_cast<qsizetype>(items.size()));
    for (const auto item : items) {
        result.append(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    }
    return result;
}

QStringList modbusAddressItems()
{
    QStringList result;
    result.reserve(kModbusAddressMax - kModbusAddressMin + 1);
    for (int address = kModbusAddressMin; address <= kModbusAddressMax; ++address) {
        result.append(QString::number(address));
    }
    return result;
}

} // namespace qmx::settings
