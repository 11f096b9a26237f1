#pragma once
// Qt's own texts (message box buttons, file and print dialogs) in the program's language: Qt's
// translation catalogue for the language is installed on the application. A catalogue that is
// missing or unreadable leaves Qt's texts in its built-in English; start-up goes on regardless.
// Only the texts Qt shows itself are translated: the reasons of file and device errors that the
// program quotes in its own messages ("No space left on device") stay as they were.

#include "lang/StringTable.h"

#include <QString>
#include <QTranslator>

#include <optional>

namespace qmx::ui {

class QtTranslations {
public:
    /// Catalogues are looked for in `folder`; empty: Qt's own translations folder.
    explicit QtTranslations(QString folder = {});
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    /// Installs the catalogue of `language` in place of the one installed before. Returns false
    /// when the catalogue could not be loaded; Qt's texts are then its built-in English.
    bool use(lang::Language language);

    /// The language whose catalogue is installed, if any.
    std::optional<lang::Language> installed() const { return m_installed; }

    /// The catalogue's base name for `language` ("qtbase_pl", "qtbase_en").
    static QString catalogueName(lang::Language language);

    /// Whether texts of the Qt translation context `context` are translated (false for the
    /// contexts of file and device error reasons).
    static bool translatesContext(const char* context);

private:
    /// Qt's catalogue without the error-reason contexts.
    class DialogTranslator : public QTranslator {
    public:
        QString translate(const char* context, const char* sourceText, const char* disambiguation,
                          int n) const override;
    };

    QString m_folder;
    DialogTranslator m_translator;
    std::optional<lang::Language> m_installed;
};

} // namespace qmx::ui
