// The about box and the help window follow the interface language: with English chosen they show
// no Polish text (captions, the about box's lines, the page that says why the manual cannot be
// shown), and with Polish chosen again they show exactly the texts they showed before.

#include "FakeBackend.h"
#include "QtPrinters.h"
#include "ShownTexts.h"

#include "ui/MainWindow.h"
#include "ui/windows/AboutBox.h"
#include "ui/windows/AnalogCalibrationWindow.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/LargeReadoutWindow.h"

#include "doc/manual/mhtml/MhtWriter.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

using namespace qmx;
using lang::Language;

QStringList paragraphs(const QTextEdit* edit)
{
    QStringList lines;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        lines << block.text();
    }
    return lines;
}

/// Every text the about box shows, its text box's lines too.
QList<test::ShownText> aboutBoxTexts(const ui::AboutBox& about)
{
    QList<test::ShownText> texts = test::shownTexts(&about);
    for (const QString& line : paragraphs(about.infoText)) {
        texts.append({QStringLiteral("Info.line"), line});
    }
    return texts;
}

/// Every text as "where: text", to compare one run with another.
QStringList listed(const QList<test::ShownText>& texts)
{
    QStringList lines;
    for (const auto& shown : texts) {
        lines << shown.where + QStringLiteral(": ") + shown.text;
    }
    return lines;
}

/// The Polish ones among `texts`, as "where: text".
QStringList polishAmong(const QList<test::ShownText>& texts, const QSet<QString>& polishWords)
{
    QStringList found;
    for (const auto& shown : texts) {
        if (test::looksPolish(shown.text, polishWords)) {
            found << shown.where + QStringLiteral(": ") + shown.text;
        }
    }
    return found;
}

/// The main window with its four secondary windows, switched between languages through the
/// language menu, as the user does it.
class SecondaryWindowsLanguage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        window.attachWindows({&about, &calibration, &big, &help});
    }

    void choose(Language language)
    {
        QAction* choice = window.findChild<QAction*>(language == Language::English ? QStringLiteral("languageEnglishAction")
                                                                                   : QStringLiteral("languagePolishAction"));
        ASSERT_NE(choice, nullptr);
        choice->trigger();
    }

    /// Opens the about box from the menu as the user does; returns what it shows while open.
    QList<test::ShownText> openAboutBox()
    {
        QList<test::ShownText> seen;
        QTimer::singleShot(0, &about, [this, &seen] {
            seen = aboutBoxTexts(about);
            about.closeButton->click();
        });
        window.aboutAction->trigger();
        return seen;
    }

    QTemporaryDir m_folder;
    test::FakeBackend backend;
    ui::MainWindow window{backend};
    ui::AboutBox about;
    ui::AnalogCalibrationWindow calibration;
    ui::LargeReadoutWindow big;
    ui::HelpWindow help{m_folder.path()};
};

TEST_F(SecondaryWindowsLanguage, AboutBoxIsEnglishWhenEnglishIsChosenAndAsBeforeInPolishAgain)
{
    const QList<test::ShownText> polish = openAboutBox();
    QSet<QString> polishWords = test::polishWordsShownBy({&about});
    for (const auto& shown : polish) {
        polishWords += test::wordsOf(shown.text);
    }
    polishWords -= test::englishTableWords();
    // Caption, three maker lines, the button and the five lines: all found Polish.
    ASSERT_GE(polishAmong(polish, polishWords).size(), 7) << listed(polish).join(u'\n').toStdString();

    choose(Language::English);
    const QList<test::ShownText> english = openAboutBox();
    EXPECT_EQ(listed(english).size(), listed(polish).size());
    EXPECT_EQ(polishAmong(english, polishWords), QStringList()) << listed(english).join(u'\n').toStdString();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About program"));
    EXPECT_EQ(about.closeButton->text(), QStringLiteral("Close"));
    EXPECT_EQ(paragraphs(about.infoText), ui::AboutBox::infoLines(Language::English));
    EXPECT_EQ(paragraphs(about.infoText).size(), 5);
    EXPECT_TRUE(paragraphs(about.infoText).first().startsWith(QStringLiteral("QMX80NET-PC version: 1.01")));

    choose(Language::Polish);
    EXPECT_EQ(listed(openAboutBox()), listed(polish));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("O programie"));
    EXPECT_EQ(about.closeButton->text(), QStringLiteral("Zamknij"));
}

TEST_F(SecondaryWindowsLanguage, HelpWindowCaptionAndManualFollowTheLanguageAtOnce)
{
    const auto write = [this](const char* name, const QString& heading) {
        QFile file(QDir(m_folder.path()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(manual::writeMht({heading, QStringLiteral("<h1>%1</h1>").arg(heading).toUtf8(), QString(), {}}));
    };
    write(ui::HelpWindow::kManualFileName, QStringLiteral("Instrukcja"));
    write(ui::HelpWindow::kEnglishManualFileName, QStringLiteral("Manual"));

    window.manualAction->trigger();
    ASSERT_TRUE(help.isVisible());
    EXPECT_EQ(help.windowTitle(), QStringLiteral("QMX80NET instrukcja"));
    EXPECT_EQ(help.manualView->toPlainText(), QStringLiteral("Instrukcja"));

    // The window on view changes with the menu choice, without being opened again.
    choose(Language::English);
    EXPECT_EQ(help.windowTitle(), QStringLiteral("QMX80NET manual"));
    EXPECT_EQ(help.manualView->toPlainText(), QStringLiteral("Manual"));
    EXPECT_TRUE(help.isVisible());

    choose(Language::Polish);
    EXPECT_EQ(help.windowTitle(), QStringLiteral("QMX80NET instrukcja"));
    EXPECT_EQ(help.manualView->toPlainText(), QStringLiteral("Instrukcja"));
}

TEST(HelpWindowLanguage, PageWithoutAManualIsEnglishWhenEnglishIsChosenAndAsBeforeInPolishAgain)
{
    const struct {
        const char* name;
        std::function<void(const QString& path)> prepare;
        const char* englishReason;
    } cases[] = {
        {"missing file", [](const QString&) {}, "The manual's file was not found."},
        {"a folder in its place", [](const QString& path) { QDir().mkpath(path); }, "The manual's file cannot be read: "},
        {"not an archive",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("<html><body>page</body></html>");
         },
         "The file is not a MIME HTML archive (.mht)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        // Only the Polish file's place is prepared: the English window falls back to it.
        c.prepare(ui::HelpWindow::manualAddress(folder.path()).toLocalFile());
        ui::HelpWindow help(folder.path());

        // Qt's own reason why a file cannot be opened is not the window's text.
        QFile probe(ui::HelpWindow::manualAddress(folder.path()).toLocalFile());
        const QString qtReason = probe.open(QIODevice::ReadOnly) ? QString() : probe.errorString();

        help.show();
        const QString polishPage = help.manualView->toHtml();
        QString polishText = help.manualView->toPlainText();
        polishText.remove(qtReason);
        ASSERT_TRUE(polishText.startsWith(QStringLiteral("Nie można wyświetlić instrukcji"))) << polishText.toStdString();
        QSet<QString> polishWords = test::polishWordsShownBy({&help}) + test::wordsOf(polishText);
        polishWords -= test::englishTableWords();

        help.setLanguage(Language::English);
        ASSERT_TRUE(help.isVisible());
        QString englishText = help.manualView->toPlainText();
        EXPECT_TRUE(englishText.startsWith(QStringLiteral("The manual cannot be shown"))) << englishText.toStdString();
        EXPECT_TRUE(englishText.contains(QString::fromUtf8(c.englishReason))) << englishText.toStdString();
        EXPECT_TRUE(englishText.contains(QString::fromLatin1(ui::HelpWindow::kEnglishManualFileName)));
        EXPECT_TRUE(englishText.contains(QString::fromLatin1(ui::HelpWindow::kManualFileName)));
        // The file names and the folder are no words of the window; the rest is English.
        englishText.remove(QString::fromLatin1(ui::HelpWindow::kEnglishManualFileName))
            .remove(QString::fromLatin1(ui::HelpWindow::kManualFileName))
            .remove(QDir::toNativeSeparators(folder.path()))
            .remove(qtReason);
        EXPECT_FALSE(test::looksPolish(englishText, polishWords)) << englishText.toStdString();
        EXPECT_EQ(test::polishTextsIn(&help, polishWords), QStringList());

        help.setLanguage(Language::Polish);
        EXPECT_EQ(help.manualView->toHtml(), polishPage);
        EXPECT_EQ(help.windowTitle(), QStringLiteral("QMX80NET instrukcja"));
    }
}

TEST(AboutBoxLanguage, EnglishTextsFitTheFixedBox)
{
    ui::AboutBox about;
    about.show();
    QApplication::processEvents();
    const qreal polishHeight = about.infoText->document()->size().height();
    about.hide();
    about.setLanguage(Language::English);
    about.show();
    for (const QLabel* line : {about.makerNameLabel, about.makerSiteLabel, about.makerMailLabel}) {
        EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width())
            << line->text().toStdString();
    }
    const QPushButton* close = about.closeButton;
    EXPECT_LE(close->fontMetrics().horizontalAdvance(close->text()) + close->iconSize().width() + 16, close->width());
    // The five lines take no more room in the text box than the Polish ones.
    QApplication::processEvents();
    EXPECT_LE(about.infoText->document()->size().height(), polishHeight);
}

} // namespace
