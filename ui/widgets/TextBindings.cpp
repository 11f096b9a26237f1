#include "TextBindings.h"

#include <QSignalBlocker>

namespace qmx::ui {

void TextBindings::add(std::function<void(const Lookup&)> update)
{
    if (m_lookup) {
        update(m_lookup);
    }
    m_updates.push_back(std::move(update));
}

void TextBindings::bindTab(QTabWidget* tabs, int index, std::string_view id)
{
    QPointer<QTabWidget> guarded(tabs);
    add([guarded, index, id](const Lookup& lookup) {
        if (guarded && index < guarded->count()) {
            guarded->setTabText(index, lookup(id));
        }
    });
}

void TextBindings::bindItems(QComboBox* list, std::vector<std::string_view> ids)
{
    QPointer<QComboBox> guarded(list);
    add([guarded, ids = std::move(ids)](const Lookup& lookup) {
        if (!guarded) {
            return;
        }
        // Renaming items in place keeps the selection and sends no change of selection.
        const QSignalBlocker quiet(guarded.data());
        for (int i = 0; i < static_cast<int>(ids.size()); ++i) {
            const QString text = lookup(ids[static_cast<std::size_t>(i)]);
            if (i < guarded->count()) {
                guarded->setItemText(i, text);
            } else {
                guarded->addItem(text);
            }
        }
    });
}

void TextBindings::apply() const
{
    if (!m_lookup) {
        return;
    }
    for (const auto& update : m_updates) {
        update(m_lookup);
    }
}

} // namespace qmx::ui
