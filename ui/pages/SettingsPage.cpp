#include "SettingsPage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qmx::ui {

namespace {
QWidget* innerPage(const char* name, QTabWidget* tabs, const QString& caption)
{
    auto* page = new QWidget(tabs);
    page->setObjectName(QString::fromLatin1(name));
    tabs->addTab(page, caption);
    return page;
}
} // namespace

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet5"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);

    PageControl2 = new QTabWidget(this);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    TabSheet6 = innerPage("TabSheet6", PageControl2, QStringLiteral("Wejścia tensometryczne"));
    TabSheet7 = innerPage("TabSheet7", PageControl2, QStringLiteral("Komunikacja"));
    TabSheet4 = innerPage("TabSheet4", PageControl2, QStringLiteral("Wyjścia "));
    PageControl2->setCurrentWidget(TabSheet7);
    layout->addWidget(PageControl2);

    Cb_FiltLevel = new QComboBox(TabSheet6);
    Cb_FiltLevel->setObjectName(QStringLiteral("Cb_FiltLevel"));
    for (const char* item : {"1", "2", "4", "8", "16", "32", "64", "128"}) {
        Cb_FiltLevel->addItem(QString::fromLatin1(item));
    }
    Cb_Decp = new QComboBox(TabSheet6);
    Cb_Decp->setObjectName(QStringLiteral("Cb_Decp"));
    Cb_Decp->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    Cb_Decp->setCurrentIndex(0);

    Cb_ModbusAddress = new QComboBox(TabSheet7);
    Cb_ModbusAddress->setObjectName(QStringLiteral("Cb_ModbusAddress"));
    Label_Rs485FPS = new QLabel(QStringLiteral("0"), TabSheet7);
    Label_Rs485FPS->setObjectName(QStringLiteral("Label_Rs485FPS"));
    Label_EthFps = new QLabel(QStringLiteral("0"), TabSheet7);
    Label_EthFps->setObjectName(QStringLiteral("Label_EthFps"));

    for (auto [edit, name] : {std::pair{&Out1Status, "Out1Status"}, std::pair{&Out2Status, "Out2Status"}}) {
        *edit = new QLineEdit(QStringLiteral("OFF"), TabSheet4);
        (*edit)->setObjectName(QString::fromLatin1(name));
        (*edit)->setReadOnly(true);
    }
}

} // namespace qmx::ui
