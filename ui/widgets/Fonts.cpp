#include "Fonts.h"

#include <QStringList>

namespace qmx::ui {

QFont namedFont(NamedFont family, int pixels, bool bold)
{
    QStringList families;
    QFont::StyleHint hint = QFont::SansSerif;
    switch (family) {
    case NamedFont::Tahoma:
        families = {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                    QStringLiteral("DejaVu Sans Condensed")};
        break;
    case NamedFont::Arial:
        families = {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")};
        break;
    case NamedFont::Calibri:
        families = {QStringLiteral("Calibri"), QStringLiteral("Carlito"), QStringLiteral("DejaVu Sans Condensed")};
        break;
    case NamedFont::CourierNew:
        families = {QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("Cousine")};
        hint = QFont::Monospace;
        break;
    }
    QFont font(families.front());
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace qmx::ui
