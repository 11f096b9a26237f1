#include "SettingsCommand.h"

#include "CliSession.h"
#include "ExitCodes.h"
#include "StandardOutput.h"

#include "settings/core/AddressText.h"
#include "settings/core/IoSettings.h"
#include "settings/core/ListItems.h"
#include "settings/core/SensorSettings.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <string_view>

namespace qmx::cli {

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// The item text of `index`, or a note that the transducer holds an index outside the list.
template <std::size_t N>
QString itemText(const std::array<std::string_view, N>& items, std::uint8_t index)
{
    if (index < N) {
        return fromView(items[index]).trimmed();
    }
    return QStringLiteral("(index %1 outside the list)").arg(index);
}

/// The shortest fixed-point text that reads back as the same float32 ("0.5", "100000000").
QString floatText(float value)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc{}) {
        return QString::number(static_cast<double>(value), 'g', 9);
    }
    return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

QString yesNo(bool on)
{
    return on ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

std::optional<QStringList> settingsShowLines(std::span<const std::uint8_t> sensorFrame,
                                             std::span<const std::uint8_t> ioFrame)
{
    const auto sensor = settings::decodeSensorSettings(sensorFrame);
    const auto io = settings::decodeIoSettings(ioFrame);
    if (!sensor || !io) {
        return std::nullopt;
    }
    QStringList lines;
    const auto add = [&lines](const QString& name, const QString& value) { lines.append(name + u'\t' + value); };

    for (std::size_t i = 0; i < 4; ++i) {
        add(QStringLiteral("Range%1").arg(i + 1), QString::number(sensor->Range[i]));
    }
    for (std::size_t i = 0; i < 4; ++i) {
        add(QStringLiteral("Sens%1").arg(i + 1), floatText(sensor->Sens[i]));
    }
    for (std::size_t i = 0; i < 4; ++i) {
        add(QStringLiteral("SignInverted%1").arg(i + 1), yesNo((sensor->SignBits >> i & 1U) != 0));
    }
    add(QStringLiteral("Filter"), itemText(settings::kFiltLevelItems, sensor->Filter));
    QString rate = itemText(settings::kAdRateItems, sensor->Rate);
    if (const auto perSecond = settings::sampleRate(sensor->Rate)) {
        rate += QStringLiteral(" (%1 samples/s)").arg(*perSecond);
    }
    add(QStringLiteral("Rate"), rate);
    add(QStringLiteral("Units"), itemText(settings::kUnitsItems, sensor->Units));
    add(QStringLiteral("SelTens"), itemText(settings::kSelTensItems, sensor->SelTens));
    add(QStringLiteral("SumOffset"), floatText(sensor->SumOffset));
    add(QStringLiteral("StabSamplesNo"), QString::number(sensor->StabSamplesNo));
    add(QStringLiteral("StabMaxDiff"), floatText(sensor->StabMaxDiff));

    add(QStringLiteral("Baudrate"), itemText(settings::kModbusBaudItems, io->Baudrate));
    if (io->Address >= settings::kModbusAddressMin && io->Address <= settings::kModbusAddressMax) {
        add(QStringLiteral("Address"), QString::number(io->Address));
    } else {
        add(QStringLiteral("Address"), QStringLiteral("(%1 outside 1-247)").arg(io->Address));
    }
    add(QStringLiteral("Parity"), itemText(settings::kModbusParityItems, io->Parity));
    add(QStringLiteral("IP"), settings::IpToText(io->IP));
    add(QStringLiteral("Mask"), settings::IpToText(io->Mask));
    add(QStringLiteral("Gate"), settings::IpToText(io->Gate));
    add(QStringLiteral("MAC"), settings::MacToText(io->MAC));
    // The output fields in the order of the page's columns.
    const std::array<std::pair<const char*, const settings::OutputSettings*>, 2> outputs{
        {{"Out1", &io->Out1}, {"Out2", &io->Out2}}};
    for (const auto& [name, out] : outputs) {
        const QString prefix = QString::fromLatin1(name) + u'.';
        add(prefix + QStringLiteral("Source"), itemText(settings::kOutSourceItems, out->Source));
        add(prefix + QStringLiteral("mode1"), itemText(settings::kOutModeItems, out->mode1));
        add(prefix + QStringLiteral("number1"), floatText(out->number1));
        add(prefix + QStringLiteral("condition"), itemText(settings::kOutConditionItems, out->condition));
        add(prefix + QStringLiteral("mode2"), itemText(settings::kOutModeItems, out->mode2));
        add(prefix + QStringLiteral("number2"), floatText(out->number2));
        add(prefix + QStringLiteral("state"), itemText(settings::kOutStateItems, out->state));
    }
    add(QStringLiteral("Out1StabilityIndicator"), yesNo((io->IndicatorFlags & settings::kOut1StabFlag) != 0));
    add(QStringLiteral("Out2OverloadIndicator"), yesNo((io->IndicatorFlags & settings::kOut2OverloadFlag) != 0));
    return lines;
}

int runSettings(CliSession& session, const QStringList& args)
{
    if (args != QStringList{QStringLiteral("show")}) {
        std::fputs("qmx80net-cli: settings: expected 'settings show'\n", stderr);
        return kExitUsage;
    }
    const QByteArray& sensor = session.sensorSettingsFrame();
    const QByteArray& io = session.ioSettingsFrame();
    const auto bytes = [](const QByteArray& frame) {
        return std::span(reinterpret_cast<const std::uint8_t*>(frame.constData()), static_cast<std::size_t>(frame.size()));
    };
    const auto lines = settingsShowLines(bytes(sensor), bytes(io));
    if (!lines) {
        std::fputs("qmx80net-cli: settings: the transducer sent no complete settings\n", stderr);
        return kExitNotKept;
    }
    QByteArray text;
    for (const QString& line : *lines) {
        text += line.toLocal8Bit() + '\n';
    }
    return writeStandardOutput(text) ? 0 : kExitWriteError;
}

} // namespace qmx::cli
