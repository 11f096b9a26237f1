#pragma once
// The modal boxes of the settings pages behind one interface, so that the pages can be driven by
// tests (which answer the boxes from a recorder) without ever blocking on a dialog.

#include <QString>

#include <memory>
#include <string_view>

class QWidget;

namespace qmx::ui {

/// String-table identifiers of the caption and the text of the question asked before every
/// factory restore of the settings pages ("Konfiguracja", "Przywrócić domyślne?").
inline constexpr std::string_view kFactoryRestoreCaptionId = "IDS_SettingsPageRestoreCaption";
inline constexpr std::string_view kFactoryRestoreQuestionId = "IDS_SettingsPageRestoreQuestion";

/// Modal boxes a settings page asks for. Every call returns when the box was closed.
class SettingsPrompts {
public:
    virtual ~SettingsPrompts() = default;
    /// Warning box with an OK button (refusal of a write).
    virtual void warning(const QString& caption, const QString& text) = 0;
    /// Information box with an OK button (the notice before an I/O settings write).
    virtual void information(const QString& caption, const QString& text) = 0;
    /// Question box with OK and Cancel; true when the user chose OK.
    virtual bool confirm(const QString& caption, const QString& text) = 0;
    /// The standard error box, captioned with the application title.
    virtual void error(const QString& message) = 0;
};

/// Prompts shown as real message boxes over `parent`.
std::unique_ptr<SettingsPrompts> makeMessageBoxPrompts(QWidget* parent);

} // namespace qmx::ui
