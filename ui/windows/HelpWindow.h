#pragma once
// The help window: the user's manual, a MIME HTML archive kept beside the executable, shown inside
// the program. The window is created once at start-up, hidden, and reads the manual afresh each
// time it is shown, so the manual always opens at its beginning.

#include "doc/manual/mhtml/MhtArchive.h"
#include "lang/StringTable.h"
#include "ui/widgets/TextBindings.h"

#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <optional>
#include <string_view>

namespace qmx::ui {

/// The browser of the help window: shows the page of a MIME HTML archive with its pictures, lets
/// the reader follow the links inside the page, and hands web and mail links to the desktop.
/// A file that is missing, unreadable or not an archive is shown as a page that says so.
class ManualView : public QTextBrowser {
    Q_OBJECT
public:
    explicit ManualView(QWidget* parent = nullptr);

    /// Reads the archive at the file: address `address` afresh and shows its page from the top.
    void navigate(const QUrl& address);
    /// The address of the last navigation.
    const QUrl& address() const { return m_address; }
    /// True when the last navigation found an archive and shows its page.
    bool showsArchive() const { return m_archive.has_value(); }
    /// The language of the page that says why the manual cannot be shown (Polish at first).
    void setLanguage(lang::Language language) { m_language = language; }

protected:
    /// Pictures and style sheets of the page come from the archive, never from the disk.
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void showProblem(const QString& what, const QString& detail);
    void followLink(const QUrl& link);
    void scrollToTop();

    QString text(std::string_view id) const { return lang::lookupText(id, m_language); }

    std::optional<manual::MhtArchive> m_archive;
    QUrl m_address;
    lang::Language m_language = lang::Language::Polish;
};

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    /// Name of the manual's file in the executable's folder.
    static constexpr const char* kManualFileName = "QMX80NET_instrukcja.mht";
    /// Name of the English manual's file, beside the Polish one.
    static constexpr const char* kEnglishManualFileName = "QMX80NET_manual_en.mht";
    /// Client area of a new window.
    static constexpr int kInitialClientWidth = 655;
    static constexpr int kInitialClientHeight = 611;

    /// The window showing the manual from the executable's folder.
    explicit HelpWindow(QWidget* parent = nullptr);
    /// The window showing the manual from `manualFolder` instead.
    explicit HelpWindow(QString manualFolder, QWidget* parent = nullptr);

    /// The manual's address in `folder`: a file: URL made from the local path, so blanks and
    /// letters outside ASCII in the folder's name are kept as they are.
    static QUrl manualAddress(const QString& folder);
    /// The address of the manual in `language` in `folder`; the Polish manual when the English
    /// one is not there.
    static QUrl manualAddress(const QString& folder, lang::Language language);

    /// Puts the window's caption into `language`; the manual in `language` is opened from now on,
    /// and at once when the window is shown, so nothing in the window stays in the old language.
    void setLanguage(lang::Language language);
    lang::Language language() const { return m_language; }

    /// The embedded browser, filling the window.
    ManualView* manualView = nullptr;

public slots:
    /// "Pomoc" / "Instrukcja obsługi": shows the window without blocking the main window; a window
    /// already shown is brought to the front.
    void showManual();

protected:
    void showEvent(QShowEvent* event) override;

private:
    /// Runs each time the window goes from hidden to shown: navigates to the manual afresh.
    void refreshContents();

    QString m_manualFolder;
    lang::Language m_language = lang::Language::Polish;
    TextBindings m_texts{[this](std::string_view id) { return lang::lookupText(id, m_language); }};
};

} // namespace qmx::ui
