#pragma once
// The standard error box: titled with the application title; a full stop is appended when the
// message's last character sorts after the full stop.

#include <QString>

class QWidget;

namespace qmx::ui {

/// The message as the error box shows it.
QString errorBoxText(const QString& message);
/// Shows the error box (modal).
void showErrorBox(QWidget* parent, const QString& message);

} // namespace qmx::ui
