#include "SettingsWidgets.h"

#include "lang/StringTable.h"
#include "settings/core/AddressText.h"

#include <QGroupBox>

#include <QVBoxLayout>

#include <QGridLayout>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace qmx::ui::settingswidgets {

QComboBox* makeList(QWidget* parent, const char* name, std::span<const std::string_view> items, int current)
{
    auto* list = named(new QComboBox(parent), name);
    list->setEditable(false);
    for (const auto item : items) {
        list->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    }
    list->setCurrentIndex(current);
    return list;
}

void bindListItems(TextBindings& texts, QComboBox* list, std::span<const std::string_view> items,
                   std::span<const std::string_view> ids)
{
    QPointer<QComboBox> guarded(list);
    texts.bindCustom([guarded, items, ids](const TextBindings::Lookup& lookup) {
        if (!guarded) {
            return;
        }
        // Renaming items in place keeps the selection and sends no change of selection.
        const QSignalBlocker quiet(guarded.data());
        const int count = std::min({static_cast<int>(items.size()), static_cast<int>(ids.size()), guarded->count()});
        for (int i = 0; i < count; ++i) {
            const auto index = static_cast<std::size_t>(i);
            const QString shown = ids[index].empty() ? QString() : lookup(ids[index]);
            // An item without an identifier, or whose identifier has no text, stays as the list
            // table has it.
            guarded->setItemText(i, shown.isEmpty() ? QString::fromUtf8(items[index].data(),
                                                                        static_cast<qsizetype>(items[index].size()))
                                                    : shown);
        }
    });
}

QString polishText(std::string_view id)
{
    return lang::lookupText(id, lang::Language::Polish);
}

QLineEdit* makeEdit(QWidget* parent, const char* name, const QString& text)
{
    return named(new QLineEdit(text, parent), name);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QPushButton(caption, parent), name);
}

QLabel* makeLabel(QWidget* parent, const QString& caption)
{
    return new QLabel(caption, parent);
}

void markRefused(QWidget* field, bool refused)
{
    const QPalette normal = QApplication::palette(field);
    QPalette p = field->palette();
    const QColor error(settings::ErrorColor);
    p.setColor(QPalette::Base, refused ? error : normal.color(QPalette::Base));
    // A closed drop-down list paints its face with the button colour.
    if (qobject_cast<QComboBox*>(field) != nullptr) {
        p.setColor(QPalette::Button, refused ? error : normal.color(QPalette::Button));
    }
    field->setPalette(p);
}

bool isMarkedRefused(const QWidget* field)
{
    return field->palette().color(QPalette::Base) == QColor(settings::ErrorColor);
}

void selectOrClear(QComboBox* list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

settings::RealFieldResult checkRealField(QLineEdit* edit, int decimals, float lower, float upper,
                                         const display::NumberLocale& locale)
{
    markRefused(edit, false);
    const auto result = settings::ValidateRealField(edit->text(), decimals, lower, upper, locale);
    if (result.rewritten) {
        edit->setText(*result.rewritten);
    }
    if (!result.ok) {
        markRefused(edit, true);
    }
    return result;
}

settings::IntegerFieldResult checkIntegerField(QLineEdit* edit, std::int32_t lower, std::int32_t upper)
{
    markRefused(edit, false);
    const auto result = settings::ValidateIntegerField(edit->text(), lower, upper);
    if (!result.ok) {
        markRefused(edit, true);
    }
    return result;
}

int checkListSelection(QComboBox* list)
{
    const int index = list->currentIndex();
    markRefused(list, index < 0);
    return index;
}

bool holdsValidValue(const CheckedField& f, const display::NumberLocale& locale)
{
    switch (f.kind) {
    case CheckedField::Kind::Real:
        if (const auto* edit = qobject_cast<const QLineEdit*>(f.field)) {
            return settings::ValidateRealField(edit->text(), 0, static_cast<float>(f.lower), static_cast<float>(f.upper),
                                               locale)
                .ok;
        }
        return false;
    case CheckedField::Kind::Integer:
        if (const auto* edit = qobject_cast<const QLineEdit*>(f.field)) {
            return settings::ValidateIntegerField(edit->text(), static_cast<std::int32_t>(f.lower),
                                                  static_cast<std::int32_t>(f.upper))
                .ok;
        }
        return false;
    case CheckedField::Kind::List:
        if (const auto* list = qobject_cast<const QComboBox*>(f.field)) {
            return list->currentIndex() >= 0;
        }
        return false;
    case CheckedField::Kind::Ipv4:
        if (const auto* edit = qobject_cast<const QLineEdit*>(f.field)) {
            return settings::TextToIp(edit->text()).has_value();
        }
        return false;
    case CheckedField::Kind::Mac:
        if (const auto* edit = qobject_cast<const QLineEdit*>(f.field)) {
            return settings::TextToMac(edit->text()).has_value();
        }
        return false;
    }
    return false;
}

void clearMarksOfValidFields(std::span<const CheckedField> fields, const display::NumberLocale& locale)
{
    for (const CheckedField& f : fields) {
        if (isMarkedRefused(f.field) && holdsValidValue(f, locale)) {
            markRefused(f.field, false);
        }
    }
}

QVBoxLayout* topLeftBlock(QWidget* page, QGroupBox* group, QWidget*& content)
{
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(group);
    content = new QWidget(group);
    auto* place = new QGridLayout(group);
    place->setContentsMargins(4, 4, 4, 4);
    place->addWidget(content, 0, 0);
    place->setRowStretch(1, 1);
    place->setColumnStretch(1, 1);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    return column;
}

} // namespace qmx::ui::settingswidgets
