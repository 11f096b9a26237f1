#include "FakeBackend.h"

#include "ui/ErrorBox.h"
#include "ui/MainWindow.h"

#include <QComboBox>
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

} // namespace

TEST_F(LanguageFixture, EnglishChangesOnlyThePropertyTableCaptions)
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
    EXPECT_EQ(window.pageTabs->tabText(0), QStringLiteral("&Pomiary")); // Alt+P
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
