#include "ui/widgets/Indicators.h"

#include "ui/widgets/HeaderBar.h"

#include <QLineEdit>
#include <QPalette>

namespace qmx::ui {

void setStateEdit(QLineEdit* edit, const QString& onText, const QString& offText, bool on)
{
    if (edit == nullptr) {
        return;
    }
    const QString& text = on ? onText : offText;
    // setText would reset the cursor and emit signals even for the same text.
    if (edit->text() != text) {
        edit->setText(text);
    }
    const QColor color(on ? kIndicatorOnColor : kIndicatorOffColor);
    // A palette change makes the widget re-resolve its palette and repaint; skip it when unchanged.
    if (edit->palette().color(QPalette::Active, QPalette::Base) != color
        || edit->palette().color(QPalette::Inactive, QPalette::Base) != color) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, color);
        edit->setPalette(palette);
    }
}

void setStateHeader(HeaderBar* header, const QString& onCaption, const QString& offCaption, bool on)
{
    if (header == nullptr) {
        return;
    }
    header->setCaption(on ? onCaption : offCaption);
    if (on) {
        header->setGradient(QColor(kHeaderOnStart), QColor(kHeaderOnEnd));
    } else {
        header->setGradient(QColor(kHeaderOffStart), std::nullopt);
    }
}

} // namespace qmx::ui
