#include "SettingsPrompts.h"

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

} // namespace qmx::ui
