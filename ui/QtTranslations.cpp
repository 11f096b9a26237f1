#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include <algorithm>
#include <iterator>
#include <string_view>

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

bool QtTranslations::translatesContext(const char* context)
{
    // The reasons Qt gives for failed file and device operations (QIODevice holds the system's
    // error texts); the program's messages quote them as they always were.
    static constexpr std::string_view kErrorReasonContexts[] = {
        "QIODevice", "QFile", "QFileDevice", "QSaveFile", "QFSFileEngine", "QLockFile",
    };
    if (context == nullptr) {
        return true;
    }
    const std::string_view name(context);
    return std::find(std::begin(kErrorReasonContexts), std::end(kErrorReasonContexts), name)
        == std::end(kErrorReasonContexts);
}

QString QtTranslations::DialogTranslator::translate(const char* context, const char* sourceText,
                                                    const char* disambiguation, int n) const
{
    if (!translatesContext(context)) {
        return {};
    }
    return QTranslator::translate(context, sourceText, disambiguation, n);
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
