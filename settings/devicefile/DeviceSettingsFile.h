#pragma once
// The device settings file: every value of the three settings pages as an INI file, so that
// several transducers can be configured alike. The file mirrors the controls, not the device.

#include "settings/profile/ProfileFile.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace qmx::settings {

/// One output row of the outputs page. Indices are list positions, -1 for none.
struct OutputRowValues {
    int Source = 0;
    int mode1 = 0;
    QString number1 = QStringLiteral("100");
    int condition = 0;
    int mode2 = 0;
    QString number2 = QStringLiteral("200");
    int state = 0;
    friend bool operator==(const OutputRowValues&, const OutputRowValues&) = default;
};

/// One sensor column of the sensor page.
struct SensorColumnValues {
    QString Range = QStringLiteral("500");
    QString Sens = QStringLiteral("2.000");
    bool Sign = false;
    friend bool operator==(const SensorColumnValues&, const SensorColumnValues&) = default;
};

/// The 42 values of the file. Default-constructed, it holds the load defaults.
struct DeviceSettingsValues {
    int SelTens = 0;
    QString SumOffset = QStringLiteral("0");
    int Rate = 0;
    int Filter = 0;
    QString StabMaxDiff = QStringLiteral("1");
    QString StabSamplesNo = QStringLiteral("50");
    int Units = 0;
    int Decp = 1;
    std::array<SensorColumnValues, 4> Tens{};
    int Baudrate = 2;
    int Parity = 0;
    int Address = 0; ///< list position: address minus one
    QString IP = QStringLiteral("192.168.0.102");
    QString Mask = QStringLiteral("255.255.255.0");
    QString Gate = QStringLiteral("192.168.0.1");
    bool Out1Stab = false;
    bool Out2Overload = false;
    OutputRowValues Out1{};
    OutputRowValues Out2{};
    friend bool operator==(const DeviceSettingsValues&, const DeviceSettingsValues&) = default;
};

/// One line to write: section, key and text.
using DeviceSettingsEntry = ProfileEntry;

/// Reads a key of a section; nullopt when missing.
using SectionKeyReader = std::function<std::optional<QString>(const QString& section, const QString& key)>;

/// The 42 entries in the file's order (10 sections).
std::vector<DeviceSettingsEntry> deviceSettingsEntries(const DeviceSettingsValues& values);

/// Reads every key; missing keys and unreadable indices or flags take the load defaults; texts
/// are taken unchanged.
DeviceSettingsValues readDeviceSettings(const SectionKeyReader& read);

/// The ten section names, in the file's order.
QStringList deviceSettingsSections();

/// The values read from a document, and what was not in it as it should be.
struct DeviceSettingsRead {
    DeviceSettingsValues values;  ///< as readDeviceSettings() reads them
    QStringList missingKeys;      ///< "Section/Key" of every key that is not in the document
    QStringList unreadableKeys;   ///< "Section/Key: why" of every index or flag that is not an integer
    int sectionsFound = 0;        ///< how many of the file's sections the document holds
};

/// Reads every key of `document` and tells which keys are missing or unreadable.
DeviceSettingsRead readDeviceSettingsReport(const ProfileDocument& document);

} // namespace qmx::settings
