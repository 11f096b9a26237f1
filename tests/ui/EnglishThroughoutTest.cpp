// With English chosen, no window of the program shows a Polish text, while the transducer is
// connected and measuring and after each window has been opened; choosing Polish again brings
// back the Polish texts. The language is chosen through the menu, as a user does.

#include "LinkTestSupport.h"
#include "ShownTexts.h"

#include "sim/SimBackend.h"
#include "ui/MainWindow.h"
#include "ui/pages/RecordingPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/windows/AboutBox.h"
#include "ui/windows/AnalogCalibrationWindow.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/LargeReadoutWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QMap>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace qmx;
using namespace std::chrono_literals;
using qmx::test::polishTextsIn;
using qmx::test::waitUntil;

namespace {

class EnglishThroughout : public ::testing::Test {
protected:
    EnglishThroughout() : sim(sim::SimBackend::Clock::Manual), window(sim)
    {
        window.setErrorBox([this](const QString& text) { errors << text; });
        window.link().setMeasurementSilenceLimit(60'000);
        window.link().setStartupRetryInterval(60'000);
        window.attachWindows({&about, &calibration, &big, &help});
        window.link().onDeviceChange();
    }

    void choose(const char* actionName)
    {
        auto* action = window.findChild<QAction*>(QString::fromLatin1(actionName));
        ASSERT_NE(action, nullptr) << actionName;
        action->trigger();
    }

    bool connectedAndMeasuring()
    {
        if (!waitUntil([&] { return window.link().pollTimer().isEnabled() && sim.transducer().receivedCodes().size() >= 5; })) {
            return false;
        }
        const auto before = window.link().measurementsHandled();
        window.link().pollTick();
        if (!waitUntil([&] { return sim.transducer().streaming(); })) {
            return false;
        }
        sim.advance(1s);
        if (!waitUntil([&] { return window.link().measurementsHandled() >= before + 100; })) {
            return false;
        }
        window.displayTick();
        return true;
    }

    void visitPages()
    {
        for (int page = 0; page < window.pageTabs->count(); ++page) {
            window.pageTabs->setCurrentIndex(page);
            window.displayTick();
        }
        window.pageTabs->setCurrentIndex(0);
    }

    // Texts that are the same in every language: the window caption, each language's own name and
    // the recording file's name (the user's file, not a caption).
    QStringList sameInEveryLanguage() const
    {
        return {window.windowTitle(), QStringLiteral("Polski"), QStringLiteral("English"),
                window.recordingPage->fileNameEdit->text()};
    }

    sim::SimBackend sim;
    ui::MainWindow window;
    ui::AboutBox about;
    ui::AnalogCalibrationWindow calibration;
    ui::LargeReadoutWindow big;
    ui::HelpWindow help;
    QStringList errors;
};

} // namespace

TEST_F(EnglishThroughout, EveryWindowShowsOnlyEnglishOnceEnglishIsChosenFromTheMenu)
{
    ASSERT_TRUE(connectedAndMeasuring());
    const QList<const QWidget*> windows{&window, &about, &calibration, &big, &help};
    // What the windows show in Polish gives the words that must not be seen in English.
    visitPages();
    // The transducer's own name and version (as it reports them) and the program's name are the
    // same in every language.
    const QSet<QString> polishWords =
        test::polishWordsShownBy(windows) - test::wordsOf(QStringLiteral("QMX80NET-PC QMX80NET 1.05 virtual"));
    choose("languageEnglishAction");
    EXPECT_EQ(window.activeLanguage(), lang::Language::English);
    visitPages();
    for (const QWidget* shown : windows) {
        const QStringList polish = polishTextsIn(shown, polishWords, sameInEveryLanguage());
        EXPECT_TRUE(polish.isEmpty()) << shown->objectName().toStdString() << " shows in Polish:\n"
                                      << polish.join(u'\n').toStdString();
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(EnglishThroughout, ChoosingPolishAgainBringsBackThePolishCaptions)
{
    choose("languageEnglishAction");
    choose("languagePolishAction");
    EXPECT_EQ(window.activeLanguage(), lang::Language::Polish);
    EXPECT_EQ(window.pageTabs->tabText(0), QStringLiteral("&Pomiary"));
    EXPECT_EQ(window.languageMenu->title(), QStringLiteral("Język"));
    EXPECT_TRUE(window.findChild<QAction*>(QStringLiteral("languagePolishAction"))->isChecked());
    EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("languageEnglishAction"))->isChecked());
}

namespace {

// The Alt letter of a caption ("&Tare" gives 'T'); none when it has no single ampersand.
QChar altLetter(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (caption[i + 1] == u'&') {
                ++i;
                continue;
            }
            return caption[i + 1].toUpper();
        }
    }
    return {};
}

} // namespace

TEST_F(EnglishThroughout, AltLettersOnViewAtOnceNeverCollideInEitherLanguage)
{
    window.show();
    ui::SettingsPage& settings = *window.settingsPage;
    for (const char* language : {"languagePolishAction", "languageEnglishAction"}) {
        choose(language);
        for (int page = 0; page < window.pageTabs->count(); ++page) {
            window.pageTabs->setCurrentIndex(page);
            const int innerPages = window.pageTabs->currentWidget() == &settings ? settings.settingsTabs->count() : 1;
            for (int inner = 0; inner < innerPages; ++inner) {
                settings.settingsTabs->setCurrentIndex(inner);
                // The page tabs, the inner tabs on view and every button on view share the window's Alt keys.
                QMap<QChar, QString> owners;
                QStringList collisions;
                const auto claim = [&](const QString& caption) {
                    const QChar letter = altLetter(caption);
                    if (letter.isNull()) {
                        return;
                    }
                    if (owners.contains(letter)) {
                        collisions << owners.value(letter) + QStringLiteral(" / ") + caption;
                    }
                    owners.insert(letter, caption);
                };
                for (int tab = 0; tab < window.pageTabs->count(); ++tab) {
                    claim(window.pageTabs->tabText(tab));
                }
                if (window.pageTabs->currentWidget() == &settings) {
                    for (int tab = 0; tab < settings.settingsTabs->count(); ++tab) {
                        claim(settings.settingsTabs->tabText(tab));
                    }
                }
                for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
                    if (button->isVisibleTo(&window)) {
                        claim(button->text());
                    }
                }
                EXPECT_TRUE(collisions.isEmpty())
                    << language << ", page " << page << "." << inner << ": " << collisions.join(u", ").toStdString();
            }
        }
    }
}
