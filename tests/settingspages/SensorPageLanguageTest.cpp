// The settings page's frame and the sensor inputs page follow the interface language: with English
// chosen no Polish text is left on them or in the boxes they raise, what they send stays the same,
// and Polish again gives the old texts.

#include "PagesFixture.h"
#include "ShownTexts.h"

#include "link/Protocol.h"
#include "settings/core/ListItems.h"
#include "settings/core/SensorSettings.h"
#include "settings/validation/SensorPageTexts.h"
#include "ui/pages/CommunicationPage.h"
#include "ui/pages/OutputsPage.h"
#include "ui/pages/SensorSettingsPage.h"
#include "ui/widgets/HeaderBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace qmx;
using qmx::test::PromptEvent;

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// The settings page as the main window holds it: its texts are looked up in the language chosen
/// now, and a change of language is followed by retranslate().
class SettingsLanguage : public ::testing::Test {
protected:
    SettingsLanguage()
        : dev(backend.add(u"QMX80NET")), link(backend, lookup()), page(link, lookup())
    {
        page.setNumberLocale(display::NumberLocale::c());
        page.setPrompts(std::make_unique<test::RecordingPrompts>(events, confirmAnswer,
                                                                 [this] { return dev->writes().size(); }));
        page.fillModbusAddressList();
        page.adRateChanged();
        link.onDeviceChange();
        EXPECT_TRUE(link.connected());
        dev->clearWrites();
    }

    std::function<QString(std::string_view)> lookup()
    {
        return [this](std::string_view id) { return lang::lookupText(id, language); };
    }
    void choose(lang::Language chosen)
    {
        language = chosen;
        page.retranslate();
    }
    ui::SensorSettingsPage& sensors() { return *page.sensorPage; }

    /// Gives every sensor a valid range and constant, so that a write is sent.
    void fillValidSensors()
    {
        for (const auto& column : sensors().sensors) {
            column.range->setText(QStringLiteral("100"));
            column.sens->setText(QStringLiteral("2"));
        }
    }

    /// Delivers a sensor settings reply holding `s` and waits until the page has it.
    void deliverSensorSettings(const settings::SensorSettings& s)
    {
        auto frame = settings::encodeSensorSettingsRequest(s);
        std::vector<std::uint8_t> reply(frame.begin(), frame.end());
        reply[0] = link::CMD_GET_SENSOR_SETTINGS;
        reply.resize(64, 0);
        bool seen = false;
        auto c = QObject::connect(&link, &link::LinkController::replyDispatched,
                                  [&](std::uint8_t code) { seen = seen || code == link::CMD_GET_SENSOR_SETTINGS; });
        dev->inject(std::move(reply));
        EXPECT_TRUE(test::waitUntil([&] { return seen; }));
        QObject::disconnect(c);
    }

    /// The header and the three tab captions of the frame.
    QStringList frameTexts() const
    {
        QStringList texts{page.findChild<ui::HeaderBar*>(QStringLiteral("JvNavPanelHeader18"))->caption()};
        for (int i = 0; i < page.settingsTabs->count(); ++i) {
            texts << page.settingsTabs->tabText(i);
        }
        return texts;
    }

    /// Raises every box of the pages that the frame and the sensor page show: the sensor page's
    /// refusal (a range below its bound, an offset above it), its factory-restore question, the
    /// refusal of the communication block (an unselected baud rate, a threshold beyond its bound),
    /// the Ethernet notice of an accepted write and the factory-restore question of both other pages.
    void raiseEveryBox()
    {
        events.clear();
        confirmAnswer = false;
        fillValidSensors();
        sensors().sensors[1].range->setText(QStringLiteral("0"));
        sensors().sumOffsetEdit->setText(QStringLiteral("1e9"));
        sensors().writeSensorSettings();
        sensors().sensors[1].range->setText(QStringLiteral("100"));
        sensors().sumOffsetEdit->setText(QStringLiteral("0"));
        sensors().restoreSensorDefaults();

        page.communicationPage->modbusBaudList->setCurrentIndex(-1);
        page.outputsPage->out1.number1->setText(QStringLiteral("1e12"));
        page.writeIoSettings();
        page.communicationPage->modbusBaudList->setCurrentIndex(0);
        page.outputsPage->out1.number1->setText(QStringLiteral("0"));
        page.writeIoSettings();
        page.restoreCommunicationDefaults();
        page.restoreOutputsDefaults();
    }

    lang::Language language = lang::Language::Polish;
    test::FakeBackend backend;
    std::shared_ptr<test::FakeDeviceState> dev;
    link::LinkController link;
    ui::SettingsPage page;
    std::vector<PromptEvent> events;
    bool confirmAnswer = false;
};

} // namespace

TEST_F(SettingsLanguage, EnglishLeavesNoPolishOnTheFrameTheSensorPageOrItsBoxes)
{
    settings::SensorSettings s;
    s.SelTens = 1;
    s.Units = 2;
    s.Rate = 5;
    deliverSensorSettings(s);
    const QSet<QString> polishWords = test::polishWordsShownBy({&page});
    ASSERT_FALSE(test::polishTextsIn(&sensors(), polishWords).isEmpty()); // the check sees Polish
    raiseEveryBox();
    ASSERT_EQ(events.size(), 6U);
    for (const PromptEvent& e : events) {
        ASSERT_TRUE(test::looksPolish(e.caption + u' ' + e.text, polishWords)) << e.text.toStdString();
    }

    choose(lang::Language::English);
    for (const QString& text : frameTexts()) {
        EXPECT_FALSE(test::looksPolish(text, polishWords)) << text.toStdString();
    }
    EXPECT_EQ(frameTexts(), (QStringList{"Settings", "Sensor inputs", "Communication", "Outputs"}));
    const QStringList left = test::polishTextsIn(&sensors(), polishWords);
    EXPECT_TRUE(left.isEmpty()) << left.join(u'\n').toStdString();
    // The formula shown before the switch is shown in English at once.
    EXPECT_EQ(sensors().sumFormulaLabel->text(), QStringLiteral("Sensor 1 + Sensor 2 + Offset"));
    EXPECT_EQ(sensors().unitsList->currentText(), QStringLiteral("g - grams"));
    EXPECT_EQ(sensors().adRateList->currentText(), QStringLiteral("62 / s"));

    raiseEveryBox();
    ASSERT_EQ(events.size(), 6U);
    for (const PromptEvent& e : events) {
        EXPECT_FALSE(test::looksPolish(e.caption, polishWords)) << e.caption.toStdString();
        EXPECT_FALSE(test::looksPolish(e.text, polishWords)) << e.text.toStdString();
    }
    EXPECT_EQ(events[0].caption, QStringLiteral("Warning"));
    EXPECT_EQ(events[0].text, QStringLiteral("Parameters error\n\n"
                                             "Sensor range [N] (Sensor 2): from 1 to 100000000\n"
                                             "Offset: from -100000000 to 100000000"));
    EXPECT_EQ(events[1].caption, QStringLiteral("Configuration"));
    EXPECT_EQ(events[1].text, QStringLiteral("Restore factory defaults?"));
    EXPECT_EQ(events[2].text, QStringLiteral("Parameters error\n\nBaud rate\n"
                                             "Value of condition 1 (OUT1): from -100000000 to 100000000"));
    EXPECT_EQ(events[3].kind, PromptEvent::Kind::Information);
    EXPECT_EQ(events[3].caption, QStringLiteral("Ethernet parameters"));
}

TEST_F(SettingsLanguage, PolishAgainGivesTheOldTextsAndBoxes)
{
    choose(lang::Language::English);
    sensors().sumSelectionList->setCurrentIndex(3);
    sensors().sumSelectionChanged();
    choose(lang::Language::Polish);

    EXPECT_EQ(frameTexts(), (QStringList{"Ustawienia", "Wejścia tensometryczne", "Komunikacja", "Wyjścia "}));
    EXPECT_EQ(sensors().readSensorSettingsButton->text(), QStringLiteral("&Odczytaj"));
    EXPECT_EQ(sensors().writeSensorSettingsButton->text(), QStringLiteral("&Zapisz"));
    EXPECT_EQ(sensors().sensorDefaultsButton->text(), QStringLiteral("Przywróć fabryczne"));
    EXPECT_EQ(sensors().sumGroup->title(), QStringLiteral("Wartość sumaryczna:"));
    EXPECT_EQ(sensors().sensors[3].header->caption(), QStringLiteral("Czujnik 4"));
    EXPECT_EQ(sensors().sensors[0].sign->text(), QStringLiteral("Odwróć znak"));
    EXPECT_EQ(sensors().dataRateLabel->toolTip(), QStringLiteral("Czestotliwosc próbkowania / kanał"));
    EXPECT_EQ(sensors().sumFormulaLabel->text(),
              QStringLiteral("Czujnik 1 + Czujnik 2 + Czujnik 3 + Czujnik 4 + Offset"));
    EXPECT_EQ(sensors().adRateList->itemText(2), QStringLiteral("16 / sek "));
    EXPECT_EQ(sensors().unitsList->itemText(1), QStringLiteral("kN -kiloniutony"));

    raiseEveryBox();
    ASSERT_EQ(events.size(), 6U);
    EXPECT_EQ(events[0].caption, QStringLiteral("Warning"));
    EXPECT_EQ(events[0].text, QStringLiteral("Błędne parametry\n\n"
                                             "Zakres czujnika [N] (Czujnik 2): od 1 do 100000000\n"
                                             "Offset: od -100000000 do 100000000"));
    EXPECT_EQ(events[1].caption, QStringLiteral("Konfiguracja"));
    EXPECT_EQ(events[1].text, QStringLiteral("Przywrócić domyślne?"));
    EXPECT_EQ(events[2].caption, QStringLiteral("Warning"));
    EXPECT_EQ(events[2].text, QStringLiteral("Błędne parametry\n\nPrędkość transmisji\n"
                                             "Wartość do warunku 1 (OUT1): od -100000000 do 100000000"));
    EXPECT_EQ(events[3].caption, QStringLiteral("Parametry komunikacji ethernet"));
    EXPECT_EQ(events[3].text, QStringLiteral("Ustawienie nowych parametrów dla Ethernet nastąpi po ponownym "
                                             "uruchomieniu urządzenia."));
}

TEST_F(SettingsLanguage, SwitchingKeepsEverySelectionAndSendsTheSameBytes)
{
    sensors().adRateList->setCurrentIndex(4);
    sensors().unitsList->setCurrentIndex(3);
    sensors().sumSelectionList->setCurrentIndex(2);
    fillValidSensors();
    sensors().sensors[0].range->setText(QStringLiteral("500"));
    sensors().sensors[0].sign->setChecked(true);
    sensors().writeSensorSettings();
    const auto polishBytes = dev->writes();
    ASSERT_EQ(polishBytes.size(), 1U);
    dev->clearWrites();

    QSignalSpy rateChanges(sensors().adRateList, &QComboBox::currentIndexChanged);
    choose(lang::Language::English);
    EXPECT_EQ(rateChanges.count(), 0);
    EXPECT_EQ(sensors().adRateList->currentIndex(), 4);
    EXPECT_EQ(sensors().unitsList->currentIndex(), 3);
    EXPECT_EQ(sensors().sumSelectionList->currentIndex(), 2);
    sensors().writeSensorSettings();
    EXPECT_EQ(dev->writes(), polishBytes);
}

// Each English item of the rate and units lists stands for the ListItems item of its index: the
// table's Polish text of the identifier is that item, so the two lists cannot drift apart.
TEST(SensorListTexts, EachIdentifierShowsTheListItemOfItsIndexInPolish)
{
    for (std::size_t i = 0; i < settings::kAdRateItems.size(); ++i) {
        EXPECT_EQ(lang::lookupText(settings::kAdRateItemIds[i], lang::Language::Polish),
                  fromUtf8(settings::kAdRateItems[i]))
            << i;
        EXPECT_FALSE(lang::lookupText(settings::kAdRateItemIds[i], lang::Language::English).contains(u"sek"));
    }
    for (std::size_t i = 0; i < settings::kUnitsItems.size(); ++i) {
        EXPECT_EQ(lang::lookupText(settings::kUnitsItemIds[i], lang::Language::Polish),
                  fromUtf8(settings::kUnitsItems[i]))
            << i;
        // The unit symbol leads the English item as it leads the Polish one.
        EXPECT_TRUE(lang::lookupText(settings::kUnitsItemIds[i], lang::Language::English)
                        .startsWith(fromUtf8(settings::kUnitsSuffixes[i]).trimmed() + u' ') ||
                    lang::lookupText(settings::kUnitsItemIds[i], lang::Language::English) ==
                        fromUtf8(settings::kUnitsSuffixes[i]).trimmed())
            << i;
    }
}
