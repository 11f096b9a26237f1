// The "Pomiary" page and the large readout window follow the interface language chosen from the
// menu: no Polish text is left in English, the channel states and the large window's caption
// already shown change at once, Polish again gives the texts shown before, and the Alt letters of
// the page's buttons stay distinct from the tabs' in either language.

#include "FakeBackend.h"
#include "LinkTestSupport.h"
#include "ShownTexts.h"

#include "link/Protocol.h"
#include "ui/MainWindow.h"
#include "ui/pages/MeasurementPage.h"
#include "ui/pages/RecordingPage.h"
#include "ui/widgets/HeaderBar.h"
#include "ui/windows/LargeReadoutWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace qmx;
using qmx::test::FakeBackend;
using qmx::test::FakeDeviceState;
using qmx::test::waitUntil;

namespace {

QStringList shownLines(const QWidget* root)
{
    QStringList lines;
    for (const auto& shown : test::shownTexts(root)) {
        lines << shown.where + QStringLiteral(": ") + shown.text;
    }
    return lines;
}

// The letter after a single "&", lower case; none when the text has no Alt letter.
std::optional<QChar> altLetter(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] == u'&') {
                ++i;
                continue;
            }
            return text[i + 1].toLower();
        }
    }
    return std::nullopt;
}

class MeasurementLanguage : public ::testing::Test {
protected:
    MeasurementLanguage() : window(backend)
    {
        window.setErrorBox([this](const QString& text) { errors << text; });
        window.attachWindows({nullptr, nullptr, &big, nullptr});
        window.link().setStartupRetryInterval(60'000);
    }

    std::shared_ptr<FakeDeviceState> connect()
    {
        auto dev = backend.add(u"QMX80NET");
        window.onDeviceChange();
        EXPECT_TRUE(window.link().connected());
        return dev;
    }

    void deliver(FakeDeviceState& dev, const link::Measurement& m)
    {
        std::vector<std::uint8_t> bytes(64, 0);
        link::encodeMeasurement(m, bytes);
        const auto before = window.link().measurementsHandled();
        dev.inject(bytes);
        ASSERT_TRUE(waitUntil([&] { return window.link().measurementsHandled() > before; }));
    }

    void choose(const char* actionName)
    {
        auto* action = window.findChild<QAction*>(QString::fromLatin1(actionName));
        ASSERT_NE(action, nullptr) << actionName;
        action->trigger();
    }

    ui::MeasurementPage& page() { return *window.measurementPage; }

    FakeBackend backend;
    ui::MainWindow window;
    ui::LargeReadoutWindow big;
    QStringList errors;
};

link::Measurement everyState()
{
    link::Measurement m;
    m.SumValue = 1234.5F;
    m.DeviceMax = 1500.0F;
    m.ChannelStatus = {0, 1, 2, 4};
    m.ChannelLoad = {0, 130, 175, 250};
    m.ChannelValue = {12.25F, 12.3F, -7.5F, 1.0F};
    return m;
}

} // namespace

TEST_F(MeasurementLanguage, EnglishLeavesNoPolishOnThePageOrTheLargeWindowAndPolishBringsItBack)
{
    auto dev = connect();
    page().showSensor2Radio->setChecked(true);
    deliver(*dev, everyState());
    window.displayTick();
    ASSERT_EQ(big.captionHeader->caption(), QStringLiteral("Czujnik 2"));
    const QSet<QString> polishWords = test::polishWordsShownBy({&page(), &big});
    const QStringList polishPage = shownLines(&page());
    const QStringList polishBig = shownLines(&big);
    std::array<QColor, 4> colours;
    for (std::size_t ch = 0; ch < 4; ++ch) {
        colours[ch] = page().channels[ch].statusEdit->palette().color(QPalette::Base);
    }

    // Right after the switch, before the display writes again, the states shown are English.
    choose("languageEnglishAction");
    EXPECT_EQ(test::polishTextsIn(&page(), polishWords), QStringList());
    EXPECT_EQ(test::polishTextsIn(&big, polishWords), QStringList());
    const char* states[] = {"Converter error", "No sensor", "Unstable", "Sensor overloaded"};
    for (std::size_t ch = 0; ch < 4; ++ch) {
        EXPECT_EQ(page().channels[ch].statusEdit->text(), QString::fromUtf8(states[ch])) << ch;
        EXPECT_EQ(page().channels[ch].statusEdit->palette().color(QPalette::Base), colours[ch]) << ch;
    }
    EXPECT_EQ(big.captionHeader->caption(), QStringLiteral("Sensor 2"));

    // What the display writes while English is chosen is English too.
    page().showSumRadio->setChecked(true);
    deliver(*dev, everyState());
    window.displayTick();
    EXPECT_EQ(big.captionHeader->caption(), QStringLiteral("Sum value"));
    EXPECT_EQ(test::polishTextsIn(&page(), polishWords), QStringList());
    EXPECT_EQ(test::polishTextsIn(&big, polishWords), QStringList());

    page().showSensor2Radio->setChecked(true);
    window.displayTick();
    choose("languagePolishAction");
    EXPECT_EQ(shownLines(&page()), polishPage);
    EXPECT_EQ(shownLines(&big), polishBig);
    window.displayTick();
    EXPECT_EQ(shownLines(&page()), polishPage);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(MeasurementLanguage, TheLargeWindowOpensWithItsOwnCaptionInTheLanguageChosen)
{
    const QSet<QString> polishWords = test::polishWordsShownBy({&big});
    choose("languageEnglishAction");
    EXPECT_EQ(test::polishTextsIn(&big, polishWords), QStringList());
    EXPECT_EQ(big.windowTitle(), QStringLiteral("QMX80 - measured value"));
    EXPECT_EQ(big.captionHeader->caption(), QStringLiteral("Sum of the sensors"));
    choose("languagePolishAction");
    EXPECT_EQ(big.windowTitle(), QStringLiteral("QMX80 - wartosc pomiaru"));
    EXPECT_EQ(big.captionHeader->caption(), QStringLiteral("Wartosc sumaryczna z czujników"));
}

TEST_F(MeasurementLanguage, AltLettersOfThePageButtonsDoNotCollideWithTheTabsInEitherLanguage)
{
    for (const char* action : {"languagePolishAction", "languageEnglishAction"}) {
        choose(action);
        for (const QWidget* shownPage : {static_cast<QWidget*>(&page()), static_cast<QWidget*>(window.recordingPage)}) {
            QMap<QChar, QString> taken;
            const auto take = [&](const QString& text) {
                if (const auto letter = altLetter(text)) {
                    EXPECT_FALSE(taken.contains(*letter))
                        << action << ": \"" << text.toStdString() << "\" and \"" << taken.value(*letter).toStdString()
                        << "\" share Alt+" << QString(*letter).toStdString();
                    taken.insert(*letter, text);
                }
            };
            for (int tab = 0; tab < window.pageTabs->count(); ++tab) {
                take(window.pageTabs->tabText(tab));
            }
            int buttonLetters = 0;
            for (const QAbstractButton* button : shownPage->findChildren<QAbstractButton*>()) {
                buttonLetters += altLetter(button->text()) ? 1 : 0;
                take(button->text());
            }
            EXPECT_GE(buttonLetters, 1) << action << " " << shownPage->objectName().toStdString();
        }
    }
}
