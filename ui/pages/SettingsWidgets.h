#pragma once
// Small helpers shared by the settings pages: named controls, lists filled from the item tables,
// the refusal colour, and applying a field check to its edit.

#include "settings/validation/FieldValidation.h"
#include "ui/widgets/TextBindings.h"

#include <QString>
#include <QStringList>

#include <span>
#include <string_view>

class QComboBox;
class QLabel;
class QVBoxLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace qmx::ui::settingswidgets {

/// Gives `widget` its object name and returns it.
template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

/// A drop-down list without free text holding `items`, with `current` selected.
QComboBox* makeList(QWidget* parent, const char* name, std::span<const std::string_view> items, int current = 0);
/// Binds the items of a value list to the texts shown for them: `ids[i]` is the string-table
/// identifier of `items[i]`, or empty where the item is shown as it is (a number or a symbol); an
/// identifier without a text also leaves the item as it is.
/// The items remain what files and the transducer hold (the list's position is the value); only
/// the words on screen follow the language. The selection is kept and no change is signalled.
void bindListItems(TextBindings& texts, QComboBox* list, std::span<const std::string_view> items,
                   std::span<const std::string_view> ids);
/// The text of the string-table identifier `id` in Polish, the language the pages are laid out in.
QString polishText(std::string_view id);
/// A plain edit field with a start text.
QLineEdit* makeEdit(QWidget* parent, const char* name, const QString& text = QStringLiteral("0"));
/// A push button.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption);
/// A plain caption label.
QLabel* makeLabel(QWidget* parent, const QString& caption);

/// Lays `group` out to fill `page` and returns the column of a block (`content`) that keeps its
/// size and place at the group's top left when the page grows.
QVBoxLayout* topLeftBlock(QWidget* page, QGroupBox* group, QWidget*& content);

/// Gives a field (edit or list) the refusal colour, or its normal background.
void markRefused(QWidget* field, bool refused);
/// True when the field shows the refusal colour.
bool isMarkedRefused(const QWidget* field);

/// Selects `index` when it is inside the list, otherwise leaves the list without a selection.
void selectOrClear(QComboBox* list, int index);

/// Runs ValidateRealField on the edit: normal background first, the rewritten text, and the
/// refusal colour when refused. Returns the verdict.
settings::RealFieldResult checkRealField(QLineEdit* edit, int decimals, float lower, float upper,
                                         const display::NumberLocale& locale);
/// Runs ValidateIntegerField on the edit (the text is left alone) and colours it.
settings::IntegerFieldResult checkIntegerField(QLineEdit* edit, std::int32_t lower, std::int32_t upper);
/// A list must have a selection to be written: colours it and returns its index, or -1.
int checkListSelection(QComboBox* list);

/// A field that a settings write checks: the control, the caption the refusal box names it by,
/// and what the field accepts. A table of these per settings block lets the pages tell the user
/// which fields were refused and take the mark off a field once it holds a valid value again.
struct CheckedField {
    enum class Kind {
        Real,    ///< a real number from `lower` to `upper` (float32 comparison)
        Integer, ///< a whole number from `lower` to `upper`
        List,    ///< a list with a selection
        Ipv4,    ///< an IPv4 address text
        Mac,     ///< a hardware address text
    };
    QWidget* field = nullptr;
    QString caption;
    Kind kind = Kind::List;
    double lower = 0.0;
    double upper = 0.0;
};

/// True when the field's present content would pass its check (nothing is coloured or rewritten).
bool holdsValidValue(const CheckedField& field, const display::NumberLocale& locale);

/// Takes the refusal mark off every marked field that now holds a valid value; fields that are
/// not marked, and marked fields that are still invalid, are left as they are.
void clearMarksOfValidFields(std::span<const CheckedField> fields, const display::NumberLocale& locale);

} // namespace qmx::ui::settingswidgets
