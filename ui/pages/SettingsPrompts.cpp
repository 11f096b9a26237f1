#include "SettingsPrompts.h"

#include "SettingsContext.h"

#include "settings/validation/FieldValidation.h"
#include "ui/ErrorBox.h"

#include <QMessageBox>
#include <QPointer>

namespace qmx::ui {

namespace {

class MessageBoxPrompts final : public SettingsPrompts {
public:
    explicit MessageBoxPrompts(QWidget* parent) : m_parent(parent) {}

    void warning(const QString& caption, const QString& text) override
    {
        QMessageBox::warning(m_parent, caption, text, QMessageBox::Ok);
    }
    void information(const QString& caption, const QString& text) override
    {
        QMessageBox::information(m_parent, caption, text, QMessageBox::Ok);
    }
    bool confirm(const QString& caption, const QString& text) override
    {
        return QMessageBox::question(m_parent, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Ok) == QMessageBox::Ok;
    }
    void error(const QString& message) override { showErrorBox(m_parent, message); }

private:
    QPointer<QWidget> m_parent;
};

} // namespace

std::unique_ptr<SettingsPrompts> makeMessageBoxPrompts(QWidget* parent)
{
    return std::make_unique<MessageBoxPrompts>(parent);
}

QString refusalText(const SettingsContext& context, std::span<const settingswidgets::CheckedField> fields)
{
    using Kind = settingswidgets::CheckedField::Kind;
    const QString range = context.text("IDS_SettingsPageAllowedRange");
    QStringList lines;
    for (const settingswidgets::CheckedField& f : fields) {
        if (!settingswidgets::isMarkedRefused(f.field)) {
            continue;
        }
        switch (f.kind) {
        case Kind::Real:
            lines << f.caption + QStringLiteral(": ") +
                         range.arg(settings::realBoundText(static_cast<float>(f.lower), context.locale),
                                   settings::realBoundText(static_cast<float>(f.upper), context.locale));
            break;
        case Kind::Integer:
            lines << f.caption + QStringLiteral(": ") +
                         range.arg(display::formatInteger(static_cast<long long>(f.lower)),
                                   display::formatInteger(static_cast<long long>(f.upper)));
            break;
        case Kind::List:
        case Kind::Ipv4:
        case Kind::Mac:
            lines << f.caption;
            break;
        }
    }
    return settings::refusalBoxText(context.text("IDS_67"), lines);
}

} // namespace qmx::ui
