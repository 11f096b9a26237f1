#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace qmx::ui {

QtTranslations::QtTranslations(QString folder)
    : m_folder(folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : std::move(folder))
{
}

QtTranslations::~QtTranslations()
{
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
    }
}

QString QtTranslations::catalogueName(lang::Language language)
{
    return language == lang::Language::English ? QStringLiteral("qtbase_en") : QStringLiteral("qtbase_pl");
}

bool QtTranslations::use(lang::Language language)
{
    if (m_installed == language) {
        return true;
    }
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
        m_installed.reset();
    }
    // QTranslator::load drops what was loaded before, also when it fails.
    if (!m_translator.load(catalogueName(language), m_folder)) {
        return false;
    }
    if (!QCoreApplication::installTranslator(&m_translator)) {
        return false;
    }
    m_installed = language;
    return true;
}

} // namespace qmx::ui
