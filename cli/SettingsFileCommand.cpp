#include "SettingsFileCommand.h"

#include "CliSession.h"
#include "ExitCodes.h"

#include "link/Protocol.h"
#include "settings/core/IoSettings.h"
#include "settings/core/SensorSettings.h"
#include "settings/devicefile/DeviceSettingsRecords.h"
#include "settings/profile/ProfileFile.h"

#include <QFileInfo>

#include <cstdio>

namespace qmx::cli {

namespace {

constexpr int kReplyTimeoutMs = 5000;

std::span<const std::uint8_t> bytes(const QByteArray& frame)
{
    return {reinterpret_cast<const std::uint8_t*>(frame.constData()), static_cast<std::size_t>(frame.size())};
}

void error(const QString& text)
{
    std::fputs(("qmx80net-cli: settings: " + text + u'\n').toLocal8Bit().constData(), stderr);
}

} // namespace

int runSettingsSave(CliSession& session, const QString& path, int decimals)
{
    const auto sensor = settings::decodeSensorSettings(bytes(session.sensorSettingsFrame()));
    const auto io = settings::decodeIoSettings(bytes(session.ioSettingsFrame()));
    if (!sensor || !io) {
        error(QStringLiteral("the transducer sent no complete settings"));
        return kExitNotKept;
    }
    const auto values = settings::valuesFromRecords(*sensor, *io, decimals, display::NumberLocale::system());
    if (const auto failure = settings::writeEntries(path, settings::deviceSettingsEntries(values))) {
        error(failure->message());
        return kExitFileError;
    }
    return 0;
}

int runSettingsApply(CliSession& session, const QString& path)
{
    if (!QFileInfo::exists(path)) {
        error(QStringLiteral("%1: no such file").arg(path));
        return kExitFileError;
    }
    // Nothing of a file that was not read in full, or that lacks a value, is sent: on a transducer
    // a default in place of a lost value can change its network address and cut it off the network.
    const settings::ProfileRead file = settings::readProfile(path);
    if (file.failure) {
        error(QStringLiteral("%1 refused, nothing was sent: %2").arg(path, file.failure->detail));
        return kExitDataError;
    }
    const auto io0 = settings::decodeIoSettings(bytes(session.ioSettingsFrame()));
    if (!io0) {
        error(QStringLiteral("the transducer sent no complete settings"));
        return kExitNotKept;
    }
    const settings::DeviceSettingsRead read = settings::readDeviceSettingsReport(file.document);
    QStringList problems;
    for (const QString& key : read.missingKeys) {
        problems << key + QStringLiteral(": missing");
    }
    problems << read.unreadableKeys;
    const auto records = settings::recordsFromValues(read.values, io0->MAC, display::NumberLocale::system());
    problems << records.problems;
    if (!problems.isEmpty()) {
        error(QStringLiteral("%1 refused, nothing was sent:").arg(path));
        for (const QString& p : problems) {
            std::fputs(("  " + p + u'\n').toLocal8Bit().constData(), stderr);
        }
        return kExitDataError;
    }

    link::LinkController& link = session.link();
    // Each write is acknowledged, then read back (sensor block, then I/O block) by the link itself.
    bool sensorAcknowledged = false;
    bool ioAcknowledged = false;
    std::optional<settings::SensorSettings> sensorBack;
    std::optional<settings::IoSettings> ioBack;
    const auto c1 = QObject::connect(&link, &link::LinkController::replyDispatched, [&](std::uint8_t code) {
        sensorAcknowledged = sensorAcknowledged || code == link::CMD_SET_SENSOR_SETTINGS;
        ioAcknowledged = ioAcknowledged || code == link::CMD_SET_IO_SETTINGS;
    });
    const auto c2 = QObject::connect(&link, &link::LinkController::sensorSettingsReceived, [&](const QByteArray& f) {
        if (sensorAcknowledged) {
            sensorBack = settings::decodeSensorSettings(bytes(f));
        }
    });
    const auto c3 = QObject::connect(&link, &link::LinkController::ioSettingsReceived, [&](const QByteArray& f) {
        if (ioAcknowledged) {
            ioBack = settings::decodeIoSettings(bytes(f));
        }
    });
    const auto disconnectAll = [&] {
        QObject::disconnect(c1);
        QObject::disconnect(c2);
        QObject::disconnect(c3);
    };

    // A transducer that goes away ends the wait at once: the link was lost (exit 3), not a write
    // the transducer refused.
    const auto gone = [&] { return session.linkLost() || !link.connected(); };
    const auto notConfirmed = [&](const QString& block) {
        disconnectAll();
        if (gone()) {
            if (!session.linkLost()) { // a lost link has told the user already
                error(QStringLiteral("the transducer went away before it confirmed the %1").arg(block));
            }
            return kExitDeviceGone;
        }
        error(QStringLiteral("the transducer did not confirm the %1").arg(block));
        return kExitNotKept;
    };
    link.suspendPollForRequest();
    link.sendReport(settings::encodeSensorSettingsRequest(*records.sensor));
    if (!runUntil([&] { return sensorBack.has_value() || gone(); }, kReplyTimeoutMs) || !sensorBack) {
        return notConfirmed(QStringLiteral("sensor settings"));
    }
    link.suspendPollForRequest();
    link.sendReport(settings::encodeIoSettingsRequest(*records.io));
    if (!runUntil([&] { return ioBack.has_value() || gone(); }, kReplyTimeoutMs) || !ioBack) {
        return notConfirmed(QStringLiteral("communication and output settings"));
    }
    disconnectAll();

    QStringList differ;
    if (!(*sensorBack == *records.sensor)) {
        differ << QStringLiteral("sensor settings");
    }
    if (!(*ioBack == *records.io)) {
        differ << QStringLiteral("communication and output settings");
    }
    if (!differ.isEmpty()) {
        error(QStringLiteral("the transducer did not keep the %1 as written").arg(differ.join(QStringLiteral(" and "))));
        return kExitNotKept;
    }
    std::fputs("settings written and confirmed\n", stdout);
    return 0;
}

} // namespace qmx::cli
