#include "DeviceSettingsFile.h"

#include "settings/profile/ProfileValues.h"

#include <variant>

namespace qmx::settings {

namespace {

// A value's place: index and flag fields are read as integers, texts unchanged.
using Field = std::variant<int*, bool*, QString*>;

struct Row {
    QString section;
    QString key;
    Field field;
};

/// The file's rows in the order of writing, bound to the fields of `v`.
std::vector<Row> rows(DeviceSettingsValues& v)
{
    std::vector<Row> r{
        {"TensAllConfig", "SelTens", &v.SelTens},
        {"TensAllConfig", "SumOffset", &v.SumOffset},
        {"TensAllConfig", "Rate", &v.Rate},
        {"TensAllConfig", "Filter", &v.Filter},
        {"TensAllConfig", "StabMaxDiff", &v.StabMaxDiff},
        {"TensAllConfig", "StabSamplesNo", &v.StabSamplesNo},
        {"TensAllConfig", "Units", &v.Units},
        {"TensAllConfig", "Decp", &v.Decp},
    };
    for (int i = 0; i < 4; ++i) {
        const QString section = QStringLiteral("Tens%1Config").arg(i + 1);
        auto& column = v.Tens[static_cast<std::size_t>(i)];
        r.push_back({section, "Range", &column.Range});
        r.push_back({section, "Sens", &column.Sens});
        r.push_back({section, "Sign", &column.Sign});
    }
    r.push_back({"ModbusRtu", "Baudrate", &v.Baudrate});
    r.push_back({"ModbusRtu", "Parity", &v.Parity});
    r.push_back({"ModbusRtu", "Address", &v.Address});
    r.push_back({"Ethernet", "IP", &v.IP});
    r.push_back({"Ethernet", "Mask", &v.Mask});
    r.push_back({"Ethernet", "Gate", &v.Gate});
    r.push_back({"Out", "Out1Stab", &v.Out1Stab});
    r.push_back({"Out", "Out2Overload", &v.Out2Overload});
    for (auto [name, row] : {std::pair{"Out1", &v.Out1}, std::pair{"Out2", &v.Out2}}) {
        const QString section = QString::fromLatin1(name);
        r.push_back({section, "Source", &row->Source});
        r.push_back({section, "mode1", &row->mode1});
        r.push_back({section, "number1", &row->number1});
        r.push_back({section, "condition", &row->condition});
        r.push_back({section, "mode2", &row->mode2});
        r.push_back({section, "number2", &row->number2});
        r.push_back({section, "state", &row->state});
    }
    return r;
}

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

} // namespace

std::vector<DeviceSettingsEntry> deviceSettingsEntries(const DeviceSettingsValues& values)
{
    DeviceSettingsValues copy = values; // rows() binds to a mutable record
    std::vector<DeviceSettingsEntry> entries;
    for (const Row& row : rows(copy)) {
        QString text;
        std::visit(Overloaded{[&](int* i) { text = integerText(*i); }, [&](bool* b) { text = flagText(*b); },
                              [&](QString* s) { text = *s; }},
                   row.field);
        entries.push_back({row.section, row.key, text});
    }
    return entries;
}

namespace {

/// Reads every row into `v`; for each key, `noticed` learns whether it was missing and whether an
/// index or flag could not be read as an integer.
void readRows(DeviceSettingsValues& v, const SectionKeyReader& read,
              const std::function<void(const Row&, const std::optional<QString>&, bool unreadable)>& noticed)
{
    for (const Row& row : rows(v)) {
        const auto text = read(row.section, row.key);
        bool unreadable = false;
        std::visit(Overloaded{[&](int* i) {
                                  unreadable = text && !readIntegerText(*text);
                                  *i = readInteger(text, *i);
                              },
                              [&](bool* b) {
                                  unreadable = text && !readIntegerText(*text);
                                  *b = readBool(text, *b);
                              },
                              [&](QString* s) { *s = readString(text, *s); }},
                   row.field);
        noticed(row, text, unreadable);
    }
}

} // namespace

DeviceSettingsValues readDeviceSettings(const SectionKeyReader& read)
{
    DeviceSettingsValues v;
    readRows(v, read, [](const Row&, const std::optional<QString>&, bool) {});
    return v;
}

QStringList deviceSettingsSections()
{
    QStringList sections;
    DeviceSettingsValues v;
    for (const Row& row : rows(v)) {
        if (!sections.contains(row.section))
            sections << row.section;
    }
    return sections;
}

DeviceSettingsRead readDeviceSettingsReport(const ProfileDocument& document)
{
    DeviceSettingsRead result;
    readRows(
        result.values,
        [&](const QString& section, const QString& key) { return document.value(section, key); },
        [&](const Row& row, const std::optional<QString>& text, bool unreadable) {
            const QString name = row.section + u'/' + row.key;
            if (!text)
                result.missingKeys << name;
            else if (unreadable)
                result.unreadableKeys << name + QStringLiteral(": '%1' is not a whole number").arg(*text);
        });
    for (const QString& section : deviceSettingsSections()) {
        if (document.hasSection(section))
            ++result.sectionsFound;
    }
    return result;
}

} // namespace qmx::settings
