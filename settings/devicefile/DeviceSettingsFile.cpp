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

DeviceSettingsValues readDeviceSettings(const SectionKeyReader& read)
{
    DeviceSettingsValues v;
    for (const Row& row : rows(v)) {
        const auto text = read(row.section, row.key);
        std::visit(Overloaded{[&](int* i) { *i = readInteger(text, *i); }, [&](bool* b) { *b = readBool(text, *b); },
                              [&](QString* s) { *s = readString(text, *s); }},
                   row.field);
    }
    return v;
}

} // namespace qmx::settings
