#include "FakeBackend.h"

#include "ui/ErrorBox.h"
#include "ui/MainWindow.h"
#include "ui/QtTranslations.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace qmx;

namespace {

class LanguageFixture : public ::testing::Test {
protected:
    LanguageFixture() : window(backend)
    {
        window.setErrorBox([this](const QString& text) { errors << text; });
    }
    test::FakeBackend backend;
    ui::MainWindow window;
    QStringList errors;
};

// The text Qt gives a standard button made now, in the Qt translation installed now.
QString standardButtonText(QDialogButtonBox::StandardButton which)
{
    QDialogButtonBox box(which);
    return box.button(which)->text();
}

} // namespace

TEST_F(LanguageFixture, QtsOwnDialogTextsFollowTheLanguage)
{
    // Polish from the start: message box and dialog buttons made by Qt itself.
    EXPECT_EQ(standardButtonText(QDialogButtonBox::Cancel), QStringLiteral("Anuluj"));
    EXPECT_EQ(standardButtonText(QDialogButtonBox::Yes), QStringLiteral("&Tak"));

    window.languageList->setCurrentIndex(1);
    window.applySelectedLanguage();
    EXPECT_EQ(standardButtonText(QDialogButtonBox::Cancel), QStringLiteral("Cancel"));
    EXPECT_EQ(standardButtonText(QDialogButtonBox::Yes), QStringLiteral("&Yes"));

    window.languageList->setCurrentIndex(0);
    window.applySelectedLanguage();
    EXPECT_EQ(standardButtonText(QDialogButtonBox::Cancel), QStringLiteral("Anuluj"));
}

TEST_F(LanguageFixture, ReasonsOfFileErrorsStayAsTheSystemGivesThemInPolishToo)
{
    // The program quotes these in its own messages; only Qt's dialogs are translated.
    QFile missing(QStringLiteral("/nonexistent-folder-for-the-test/x.csv"));
    EXPECT_FALSE(missing.open(QIODevice::WriteOnly));
    EXPECT_EQ(missing.errorString(), QStringLiteral("No such file or directory"));
    EXPECT_EQ(standardButtonText(QDialogButtonBox::Cancel), QStringLiteral("Anuluj"));
}

TEST(QtTranslations, AMissingCatalogueLeavesQtsEnglishAndALaterOneStillLoads)
{
    const QTemporaryDir empty;
    ui::QtTranslations missing(empty.path());
    EXPECT_FALSE(missing.use(lang::Language::Polish));
    EXPECT_FALSE(missing.installed().has_value());
    EXPECT_EQ(standardButtonText(QDialogButtonBox::Cancel), QStringLiteral("Cancel"));

    {
        ui::QtTranslations found;
        EXPECT_TRUE(found.use(lang::Language::Polish));
        EXPECT_EQ(standardButtonText(QDialogButtonBox::Cancel), QStringLiteral("Anuluj"));
    }
    // Gone with its owner.
    EXPECT_EQ(standardButtonText(QDialogButtonBox::Cancel), QStringLiteral("Cancel"));
}

TEST_F(LanguageFixture, EnglishSetsThePropertyTableCaptionsAndTheWindowsOwn)
{
    window.languageList->setCurrentIndex(1);
    window.applySelectedLanguage();
    EXPECT_EQ(window.activeLanguage(), lang::Language::English);
    EXPECT_EQ(window.connectionCaptionLabel->text(), QStringLiteral("Connection status"));
    EXPECT_EQ(window.recordingCaptionLabel->text(), QStringLiteral("Acquisition to file:"));
    EXPECT_EQ(window.recordingStateEdit->text(), QStringLiteral("INACTIVE"));
    EXPECT_EQ(window.languageCaptionLabel->text(), QStringLiteral("Language"));
    EXPECT_EQ(window.statusCaptionLabel->text(), QStringLiteral("Status:"));   // no English entry
    EXPECT_EQ(window.statusLabel->text(), QStringLiteral("...")); // no English entry
    EXPECT_EQ(window.pageTabs->tabText(0), QStringLiteral("&Measurement")); // Alt+M
    EXPECT_EQ(window.lookupText("IDS_44"), QStringLiteral("Connected"));
    EXPECT_TRUE(errors.isEmpty());

    // Looked-up texts follow the language from now on.
    window.link().onDeviceChange();
    EXPECT_EQ(window.connectionStatusEdit->text(), QStringLiteral("No connection"));
}

TEST_F(LanguageFixture, ALanguageOutsideTheListIsRefusedWithTheErrorBox)
{
    window.languageList->setCurrentIndex(-1);
    window.applySelectedLanguage();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], QStringLiteral("TForm1: 0 - is not a valid property value!\nValue must be within [1..2]!"));
    EXPECT_EQ(window.activeLanguage(), lang::Language::Polish);
    EXPECT_EQ(window.connectionCaptionLabel->text(), QStringLiteral("Status połączenia"));
}

TEST(ErrorBox, FullStopIsAppendedWhenTheLastCharacterSortsAfterIt)
{
    EXPECT_EQ(ui::errorBoxText(QStringLiteral("Unable to write to x")), QStringLiteral("Unable to write to x."));
    EXPECT_EQ(ui::errorBoxText(QStringLiteral("Done.")), QStringLiteral("Done."));
    EXPECT_EQ(ui::errorBoxText(QStringLiteral("What!")), QStringLiteral("What!")); // '!' sorts before '.'
    EXPECT_EQ(ui::errorBoxText(QStringLiteral("[1..2]!")), QStringLiteral("[1..2]!"));
    EXPECT_EQ(ui::errorBoxText(QString()), QString());
}
