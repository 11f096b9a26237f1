#pragma once
// Remembers which control shows which string-table text, so that a change of the interface
// language can put every caption of a window into the new language at once.

#include <QAction>
#include <QComboBox>
#include <QPointer>
#include <QString>
#include <QTabWidget>
#include <QWidget>

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace qmx::ui {

/// A window's or page's captions, each bound to a string-table identifier. Binding a control sets
/// its text at once in the current language; `apply` sets them all again (after a language change).
/// Controls deleted since they were bound are passed over.
class TextBindings {
public:
    /// Gives the text of an identifier in the language currently chosen.
    using Lookup = std::function<QString(std::string_view id)>;
    /// Turns the table's text into what the control shows (for example fills in a number).
    using Finish = std::function<QString(const QString& text)>;

    explicit TextBindings(Lookup lookup) : m_lookup(std::move(lookup)) {}

    /// The text of `id` in the current language.
    QString text(std::string_view id) const { return m_lookup ? m_lookup(id) : QString(); }
    const Lookup& lookup() const { return m_lookup; }

    /// Binds any one-text property: `bind(label, &QLabel::setText, "IDS_...")`,
    /// `bind(group, &QGroupBox::setTitle, "IDS_...")`, `bind(widget, &QWidget::setToolTip, "IDS_...")`.
    template <class Object, class Setter>
    void bind(Object* object, Setter setter, std::string_view id, Finish finish = {})
    {
        QPointer<Object> guarded(object);
        add([guarded, setter, id, finish = std::move(finish)](const Lookup& lookup) {
            if (guarded) {
                const QString text = lookup(id);
                (guarded.data()->*setter)(finish ? finish(text) : text);
            }
        });
    }

    /// Binds the caption of the tab at `index`.
    void bindTab(QTabWidget* tabs, int index, std::string_view id);
    /// Binds a list's items, one identifier per item; the selected position is kept.
    void bindItems(QComboBox* list, std::vector<std::string_view> ids);
    /// Binds anything else that follows the language: `update` is run now and after each change.
    void bindCustom(std::function<void(const Lookup& lookup)> update) { add(std::move(update)); }

    /// Sets every bound text again in the current language.
    void apply() const;

private:
    void add(std::function<void(const Lookup&)> update);

    Lookup m_lookup;
    std::vector<std::function<void(const Lookup&)>> m_updates;
};

} // namespace qmx::ui
