#pragma once
// What the settings pages share: the link they send through, the string lookup, the number
// separators and the modal boxes. Owned by SettingsPage; the inner pages hold a reference.

#include "display/core/NumberFormat.h"
#include "link/LinkController.h"
#include "SettingsPrompts.h"
#include "SettingsWidgets.h"

#include <QString>

#include <functional>
#include <memory>
#include <span>
#include <string_view>

namespace qmx::ui {

/// Looks a text up by string-table identifier in the active language.
using TextLookup = std::function<QString(std::string_view id)>;

/// Services the settings pages use. Lives as long as the pages.
struct SettingsContext {
    link::LinkController& link;
    TextLookup lookupText;
    display::NumberLocale locale = display::NumberLocale::system();
    std::unique_ptr<SettingsPrompts> prompts;

    QString text(std::string_view id) const { return lookupText ? lookupText(id) : QString(); }
    /// Asks the question put before every factory restore; true when the user chose OK.
    bool confirmFactoryRestore() const
    {
        return prompts->confirm(text(kFactoryRestoreCaptionId), text(kFactoryRestoreQuestionId));
    }
};

/// The text of the box that refuses a settings write, in the interface language: the message
/// `IDS_67`, then, after a blank line, one line per field of `fields` that is marked refused, in
/// the table's order: its name and, for numbers, the allowed range ("Offset: od -100000000 do
/// 100000000", in English "Offset: from -100000000 to 100000000").
QString refusalText(const SettingsContext& context, std::span<const settingswidgets::CheckedField> fields);

} // namespace qmx::ui
