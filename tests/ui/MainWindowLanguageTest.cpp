// The main window's frame (menus, page tabs, connection and status strips) and the texts the link
// and the window's own operations write there follow the language chosen from the menu: English
// leaves no Polish text, and Polish again gives back exactly the texts shown before.

#include "FakeBackend.h"
#include "LinkTestSupport.h"
#include "ShownTexts.h"

#include "sim/SimBackend.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace qmx;
using namespace std::chrono_literals;
using qmx::test::waitUntil;

namespace {

class MainWindowLanguage : public ::testing::Test {
protected:
    MainWindowLanguage() : sim(sim::SimBackend::Clock::Manual), window(sim)
    {
        window.setErrorBox([this](const QString& text) { errors << text; });
        window.link().setMeasurementSilenceLimit(60'000);
        window.link().setStartupRetryInterval(60'000);
        window.link().onDeviceChange();
    }

    void choose(const char* actionName)
    {
        auto* action = window.findChild<QAction*>(QString::fromLatin1(actionName));
        ASSERT_NE(action, nullptr) << actionName;
        action->trigger();
    }

    /// Connected, identified and the read-out of the settings done.
    bool identified()
    {
        return waitUntil([&] {
            return window.link().pollTimer().isEnabled() && sim.transducer().receivedCodes().size() >= 5;
        });
    }

    /// Tares the sum and waits for the transducer's reply in the status line.
    bool tared(const QString& reply)
    {
        window.tareSelected();
        return waitUntil([&] { return window.statusLabel->text() == reply; });
    }

    /// The frame's parts: menu bar (with its menus and items), connection strip and status strip.
    QList<const QWidget*> frame() const
    {
        return {window.menuBar(), window.findChild<QWidget*>(QStringLiteral("Panel1")), window.statusStrip};
    }

    /// Every text of the frame, the tab captions and the window caption included, as "where: text".
    QStringList frameTexts() const
    {
        QStringList texts{QStringLiteral("caption: ") + window.windowTitle()};
        for (const QWidget* part : frame()) {
            for (const auto& shown : test::shownTexts(part)) {
                texts << shown.where + QStringLiteral(": ") + shown.text;
            }
        }
        for (int tab = 0; tab < window.pageTabs->count(); ++tab) {
            texts << QStringLiteral("tab: ") + window.pageTabs->tabText(tab);
        }
        return texts;
    }

    QString writeFile(const char* name, const QByteArray& contents)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }

    QTemporaryDir dir;
    sim::SimBackend sim;
    ui::MainWindow window;
    QStringList errors;
};

} // namespace

TEST_F(MainWindowLanguage, EnglishLeavesNoPolishInTheFrameAndRewritesWhatTheLinkWrote)
{
    ASSERT_TRUE(identified());
    ASSERT_TRUE(tared(QStringLiteral("Wartość wytarowana")));
    window.displayTick();
    QSet<QString> polishWords = test::polishWordsShownBy(frame());
    for (int tab = 0; tab < window.pageTabs->count(); ++tab) {
        polishWords += test::wordsOf(window.pageTabs->tabText(tab));
    }
    polishWords -= test::englishTableWords();
    // Texts that are the same in both languages: the transducer's own name and description, the
    // window caption and the status line's caption.
    polishWords -= test::wordsOf(QStringLiteral("QMX80NET ") + window.link().deviceInfo().Description);
    polishWords -= test::wordsOf(window.windowTitle() + QStringLiteral(" Status:"));

    choose("languageEnglishAction");
    ASSERT_EQ(window.activeLanguage(), lang::Language::English);
    // At once, not at the next connection or reply; the transducer's name and version stay.
    EXPECT_EQ(window.connectionStatusEdit->text(), QStringLiteral("Connected to QMX80NET : 1.05 virtual"));
    EXPECT_EQ(window.statusLabel->text(), QStringLiteral("Tare ok"));
    window.displayTick();
    for (const QWidget* part : frame()) {
        // The languages are named in their own language.
        const QStringList polish = test::polishTextsIn(part, polishWords, {QStringLiteral("Polski"), QStringLiteral("English")});
        EXPECT_TRUE(polish.isEmpty()) << part->objectName().toStdString() << " shows in Polish:\n"
                                      << polish.join(u'\n').toStdString();
    }
    const QStringList tabs{QStringLiteral("&Measurement"), QStringLiteral("&Chart"), QStringLiteral("&Recording"),
                           QStringLiteral("&Settings")};
    for (int tab = 0; tab < window.pageTabs->count(); ++tab) {
        EXPECT_EQ(window.pageTabs->tabText(tab), tabs.value(tab));
    }
    // Texts written after the switch are English too.
    ASSERT_TRUE(tared(QStringLiteral("Tare ok")));

    // Settings files that cannot be loaded: the error boxes, and the status line of a file that
    // lacked values.
    window.loadDeviceSettingsFile(dir.filePath(QStringLiteral("none.conf")));
    window.loadDeviceSettingsFile(writeFile("garbage.conf", "garbage"));
    window.loadDeviceSettingsFile(writeFile("utf16.conf", QByteArray("\xFF\xFE[\0T\0", 6)));
    ASSERT_EQ(errors.size(), 3);
    for (const QString& error : errors) {
        EXPECT_FALSE(test::looksPolish(error, polishWords)) << error.toStdString();
    }
    window.loadDeviceSettingsFile(writeFile("partial.conf", "[TensAllConfig]\r\nSelTens=2\r\n"));
    EXPECT_EQ(window.statusLabel->text(),
              QStringLiteral("File partial.conf: 41 keys missing: TensAllConfig/SumOffset, TensAllConfig/Rate, "
                             "TensAllConfig/Filter, … (defaults taken)"));
    choose("languagePolishAction");
    EXPECT_EQ(window.statusLabel->text(),
              QStringLiteral("Plik partial.conf: brak 41 kluczy: TensAllConfig/SumOffset, TensAllConfig/Rate, "
                             "TensAllConfig/Filter, … (przyjęto wartości domyślne)"));
}

TEST_F(MainWindowLanguage, PolishAgainShowsExactlyTheTextsShownBefore)
{
    ASSERT_TRUE(identified());
    ASSERT_TRUE(tared(QStringLiteral("Wartość wytarowana")));
    window.displayTick();
    const QStringList polish = frameTexts();
    EXPECT_TRUE(polish.contains(QStringLiteral("N1.title: Konfiguracja"))) << polish.join(u'\n').toStdString();
    EXPECT_TRUE(polish.contains(QStringLiteral("tab: &Pomiary")));
    EXPECT_TRUE(polish.contains(QStringLiteral("ConnectionStatus.text: Połączono z QMX80NET : 1.05 virtual")));

    choose("languageEnglishAction");
    window.displayTick();
    const QStringList english = frameTexts();
    EXPECT_NE(english, polish);
    // The caption and the names of the languages stay as they are.
    EXPECT_TRUE(english.contains(QStringLiteral("caption: QMX80NET-PC  ver.: 1.01")));
    EXPECT_TRUE(english.contains(QStringLiteral("languagePolishAction.text: Polski")));
    EXPECT_TRUE(english.contains(QStringLiteral("languageEnglishAction.text: English")));

    choose("languagePolishAction");
    window.displayTick();
    EXPECT_EQ(frameTexts(), polish);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(MainWindowLanguage, AStatusLineWrittenByAnotherPartIsNotReplacedBySwitching)
{
    ASSERT_TRUE(identified());
    ASSERT_TRUE(tared(QStringLiteral("Wartość wytarowana")));
    window.statusLabel->setText(QStringLiteral("written by a page"));
    choose("languageEnglishAction");
    EXPECT_EQ(window.statusLabel->text(), QStringLiteral("written by a page"));
}

TEST_F(MainWindowLanguage, TheLinkStatesBeforeTheIdentificationFollowTheLanguageToo)
{
    sim.unplug();
    window.link().onDeviceChange();
    ASSERT_TRUE(waitUntil([&] { return !window.link().connected(); }));
    const QString polish = window.connectionStatusEdit->text();
    ASSERT_TRUE(polish == QStringLiteral("Brak połączenia") || polish == QStringLiteral("Rozłączony")) << polish.toStdString();
    choose("languageEnglishAction");
    EXPECT_EQ(window.connectionStatusEdit->text(),
              polish == QStringLiteral("Brak połączenia") ? QStringLiteral("No connection") : QStringLiteral("Disconnected"));
    choose("languagePolishAction");
    EXPECT_EQ(window.connectionStatusEdit->text(), polish);
}

TEST(MainWindowFiles, FilesWrittenInEnglishAreByteForByteThoseWrittenInPolish)
{
    QTemporaryDir dir;
    test::FakeBackend backend;
    std::map<int, QByteArray> settingsFiles;
    std::map<int, QByteArray> preferences;
    for (const int position : {0, 1}) {
        const QString config = dir.filePath(QStringLiteral("config%1.ini").arg(position));
        const QString settings = dir.filePath(QStringLiteral("settings%1.conf").arg(position));
        {
            ui::MainWindow window(backend, config);
            QStringList errors;
            window.setErrorBox([&](const QString& text) { errors << text; });
            window.languageList->setCurrentIndex(position);
            window.applySelectedLanguage();
            ASSERT_TRUE(window.saveDeviceSettingsFile(settings));
            window.close();
            EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        }
        QFile written(settings);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        settingsFiles[position] = written.readAll();
        QFile stored(config);
        ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
        // The language chosen is the one value that differs.
        preferences[position] = stored.readAll().replace("Language=1", "Language=0");
    }
    EXPECT_FALSE(settingsFiles[0].isEmpty());
    EXPECT_EQ(settingsFiles[0], settingsFiles[1]);
    EXPECT_TRUE(preferences[0].contains("Language=0"));
    EXPECT_EQ(preferences[0], preferences[1]);
}
