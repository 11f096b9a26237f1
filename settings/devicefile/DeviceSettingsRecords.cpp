#include "DeviceSettingsRecords.h"

#include "settings/core/AddressText.h"
#include "settings/core/ListItems.h"
#include "settings/validation/FieldValidation.h"

namespace qmx::settings {

namespace {

int listIndex(std::uint8_t byte, std::size_t count)
{
    return byte < count ? byte : -1;
}

/// Collects refusals while the records are built.
class Checker {
public:
    Checker(int decimals, const display::NumberLocale& locale) : m_decimals(decimals), m_locale(locale) {}

    std::uint8_t list(int index, std::size_t count, const QString& name)
    {
        if (index < 0 || static_cast<std::size_t>(index) >= count) {
            refuse(name, QStringLiteral("no item of the list is selected (%1)").arg(index));
            return 0;
        }
        return static_cast<std::uint8_t>(index);
    }
    std::int32_t integer(const QString& text, std::int32_t lower, std::int32_t upper, const QString& name)
    {
        const auto r = ValidateIntegerField(text, lower, upper);
        if (!r.ok) {
            refuse(name, QStringLiteral("'%1' is not a whole number from %2 to %3").arg(text).arg(lower).arg(upper));
        }
        return r.value;
    }
    float real(const QString& text, int decimals, float lower, float upper, const QString& name)
    {
        const auto r = ValidateRealField(text, decimals, lower, upper, m_locale);
        if (!r.ok) {
            refuse(name, QStringLiteral("'%1' is not a number from %2 to %3")
                             .arg(text, realBoundText(lower, m_locale), realBoundText(upper, m_locale)));
        }
        return r.value;
    }
    float real(const QString& text, float lower, float upper, const QString& name)
    {
        return real(text, m_decimals, lower, upper, name);
    }
    std::array<std::uint8_t, 4> ip(const QString& text, const QString& name)
    {
        const auto r = TextToIp(text);
        if (!r) {
            refuse(name, QStringLiteral("'%1' is not an IPv4 address").arg(text));
            return {};
        }
        return *r;
    }
    QStringList problems;

private:
    void refuse(const QString& name, const QString& why) { problems << name + QStringLiteral(": ") + why; }
    int m_decimals;
    const display::NumberLocale& m_locale;
};

OutputRowValues rowValues(const OutputSettings& o, int decimals, const display::NumberLocale& locale)
{
    return {listIndex(o.Source, kOutSourceItems.size()),
            listIndex(o.mode1, kOutModeItems.size()),
            settingText(o.number1, kFieldPrecision, decimals, locale),
            listIndex(o.condition, kOutConditionItems.size()),
            listIndex(o.mode2, kOutModeItems.size()),
            settingText(o.number2, kFieldPrecision, decimals, locale),
            listIndex(o.state, kOutStateItems.size())};
}

OutputSettings rowRecord(const OutputRowValues& v, const QString& section, Checker& check)
{
    OutputSettings o;
    o.Source = check.list(v.Source, kOutSourceItems.size(), section + QStringLiteral("/Source"));
    o.mode1 = check.list(v.mode1, kOutModeItems.size(), section + QStringLiteral("/mode1"));
    o.number1 = check.real(v.number1, kThresholdMin, kThresholdMax, section + QStringLiteral("/number1"));
    o.condition = check.list(v.condition, kOutConditionItems.size(), section + QStringLiteral("/condition"));
    o.mode2 = check.list(v.mode2, kOutModeItems.size(), section + QStringLiteral("/mode2"));
    o.number2 = check.real(v.number2, kThresholdMin, kThresholdMax, section + QStringLiteral("/number2"));
    o.state = check.list(v.state, kOutStateItems.size(), section + QStringLiteral("/state"));
    return o;
}

} // namespace

DeviceSettingsValues valuesFromRecords(const SensorSettings& s, const IoSettings& io, int decimals,
                                       const display::NumberLocale& locale)
{
    DeviceSettingsValues v;
    v.SelTens = listIndex(s.SelTens, kSelTensItems.size());
    v.SumOffset = settingText(s.SumOffset, kFieldPrecision, decimals, locale);
    v.Rate = listIndex(s.Rate, kAdRateItems.size());
    v.Filter = listIndex(s.Filter, kFiltLevelItems.size());
    v.StabMaxDiff = settingText(s.StabMaxDiff, kStabMaxDiffPrecision, decimals, locale);
    v.StabSamplesNo = QString::number(s.StabSamplesNo);
    v.Units = listIndex(s.Units, kUnitsItems.size());
    v.Decp = decimals;
    for (std::size_t i = 0; i < 4; ++i) {
        v.Tens[i] = {QString::number(s.Range[i]), settingText(s.Sens[i], kFieldPrecision, kSensDecimals, locale),
                     (s.SignBits & (1U << i)) != 0};
    }
    v.Baudrate = listIndex(io.Baudrate, kModbusBaudItems.size());
    v.Parity = listIndex(io.Parity, kModbusParityItems.size());
    v.Address = io.Address >= kModbusAddressMin && io.Address <= kModbusAddressMax ? io.Address - 1 : -1;
    v.IP = IpToText(io.IP);
    v.Mask = IpToText(io.Mask);
    v.Gate = IpToText(io.Gate);
    v.Out1Stab = (io.IndicatorFlags & kOut1StabFlag) != 0;
    v.Out2Overload = (io.IndicatorFlags & kOut2OverloadFlag) != 0;
    v.Out1 = rowValues(io.Out1, decimals, locale);
    v.Out2 = rowValues(io.Out2, decimals, locale);
    return v;
}

RecordsFromValues recordsFromValues(const DeviceSettingsValues& v, const std::array<std::uint8_t, 6>& mac,
                                    const display::NumberLocale& locale)
{
    Checker check(std::max(0, v.Decp), locale);
    check.list(v.Decp, kDecpItems.size(), QStringLiteral("TensAllConfig/Decp"));

    SensorSettings s;
    s.SelTens = check.list(v.SelTens, kSelTensItems.size(), QStringLiteral("TensAllConfig/SelTens"));
    s.SumOffset = check.real(v.SumOffset, kSumOffsetMin, kSumOffsetMax, QStringLiteral("TensAllConfig/SumOffset"));
    s.Rate = check.list(v.Rate, kAdRateItems.size(), QStringLiteral("TensAllConfig/Rate"));
    s.Filter = check.list(v.Filter, kFiltLevelItems.size(), QStringLiteral("TensAllConfig/Filter"));
    s.StabMaxDiff = check.real(v.StabMaxDiff, kStabMaxDiffMin, kStabMaxDiffMax, QStringLiteral("TensAllConfig/StabMaxDiff"));
    s.StabSamplesNo = static_cast<std::uint16_t>(
        check.integer(v.StabSamplesNo, 0, kStabSamplesMax, QStringLiteral("TensAllConfig/StabSamplesNo")));
    s.Units = check.list(v.Units, kUnitsItems.size(), QStringLiteral("TensAllConfig/Units"));
    s.SignBits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const QString section = QStringLiteral("Tens%1Config/").arg(i + 1);
        s.Range[i] = check.integer(v.Tens[i].Range, kRangeMin, kRangeMax, section + QStringLiteral("Range"));
        s.Sens[i] = check.real(v.Tens[i].Sens, kSensDecimals, kSensMin, kSensMax, section + QStringLiteral("Sens"));
        if (v.Tens[i].Sign) {
            s.SignBits = static_cast<std::uint8_t>(s.SignBits | (1U << i));
        }
    }

    IoSettings io;
    io.Baudrate = check.list(v.Baudrate, kModbusBaudItems.size(), QStringLiteral("ModbusRtu/Baudrate"));
    io.Parity = check.list(v.Parity, kModbusParityItems.size(), QStringLiteral("ModbusRtu/Parity"));
    io.Address = static_cast<std::uint8_t>(
        check.list(v.Address, kModbusAddressMax, QStringLiteral("ModbusRtu/Address")) + 1);
    io.IP = check.ip(v.IP, QStringLiteral("Ethernet/IP"));
    io.Mask = check.ip(v.Mask, QStringLiteral("Ethernet/Mask"));
    io.Gate = check.ip(v.Gate, QStringLiteral("Ethernet/Gate"));
    io.MAC = mac;
    io.Out1 = rowRecord(v.Out1, QStringLiteral("Out1"), check);
    io.Out2 = rowRecord(v.Out2, QStringLiteral("Out2"), check);
    io.IndicatorFlags = static_cast<std::uint8_t>((v.Out1Stab ? kOut1StabFlag : 0) | (v.Out2Overload ? kOut2OverloadFlag : 0));

    RecordsFromValues result;
    result.problems = check.problems;
    if (result.problems.isEmpty()) {
        result.sensor = s;
        result.io = io;
    }
    return result;
}

} // namespace qmx::settings
