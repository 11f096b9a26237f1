#pragma once
// What the settings pages share: the link they send through, the string lookup, the number
// separators and the modal boxes. Owned by SettingsPage; the inner pages hold a reference.

#include "display/core/NumberFormat.h"
#include "link/LinkController.h"
#include "SettingsPrompts.h"

#include <QString>

#include <functional>
#include <memory>
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
};

} // namespace qmx::ui
