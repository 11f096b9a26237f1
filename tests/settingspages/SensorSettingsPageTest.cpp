// The sensor settings page: filling it from a reply, the write with its checks, the buttons and
// the derived labels, through a real link controller.

#include "PagesFixture.h"

#include "link/Protocol.h"
#include "settings/core/SensorSettings.h"
#include "ui/pages/SensorSettingsPage.h"
#include "ui/pages/SettingsWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace qmx;
using namespace qmx::test;
using PK = qmx::test::PromptEvent::Kind;
using ui::settingswidgets::isMarkedRefused;

namespace {

class SensorPage : public PagesFixture {
protected:
    ui::SensorSettingsPage& s() { return *page.sensorPage; }

    /// Types valid values into every field.
    void typeValidFields()
    {
        for (std::size_t i = 0; i < 4; ++i) {
            s().sensors[i].range->setText(QString::number(1000 * (i + 1)));
            s().sensors[i].sens->setText(QStringLiteral("2.5"));
            s().sensors[i].sign->setChecked(false);
        }
        s().filterLevelList->setCurrentIndex(3);
        s().adRateList->setCurrentIndex(4);
        s().unitsList->setCurrentIndex(1);
        s().sumSelectionList->setCurrentIndex(3);
        s().stabilityMaxDifferenceEdit->setText(QStringLiteral("0.5"));
        s().stabilitySamplesEdit->setText(QStringLiteral("50"));
        s().sumOffsetEdit->setText(QStringLiteral("-12.5"));
    }

    void applyReply(const settings::SensorSettings& settings)
    {
        s().applySensorSettings(
            toQByteArray(frameOf(link::CMD_GET_SENSOR_SETTINGS, settings::encodeSensorSettingsRequest(settings))));
    }

    /// Writes and expects a refusal: one warning box and nothing sent.
    void expectRefusedWrite()
    {
        s().writeSensorSettingsButton->click();
        EXPECT_TRUE(requests().empty());
        ASSERT_EQ(events.size(), 1U);
        EXPECT_EQ(events[0].kind, PK::Warning);
        EXPECT_EQ(events[0].caption, QStringLiteral("Warning"));
        EXPECT_TRUE(events[0].text.startsWith(QStringLiteral("Błędne parametry\n\n"))) << events[0].text.toStdString();
    }
};

settings::SensorSettings sampleSettings()
{
    settings::SensorSettings t;
    t.Range = {1000, 2000, 500, 100000000};
    t.Sens = {2.0F, 1.5151F, 0.1F, 3.25F};
    t.SignBits = 0x05;
    t.Filter = 3;
    t.Rate = 4;
    t.Units = 3;
    t.SelTens = 2;
    t.SumOffset = -12.5F;
    t.StabSamplesNo = 50;
    t.StabMaxDiff = 0.25F;
    return t;
}

TEST_F(SensorPage, StartsAtRateSixteenWithTheDerivedLabels)
{
    EXPECT_EQ(s().adRateList->currentIndex(), 2);
    EXPECT_EQ(s().filterLevelList->currentIndex(), 0);
    EXPECT_EQ(s().responseDelayLabel->text(), QStringLiteral("62 ms"));
    EXPECT_EQ(s().stabilityTimeLabel->text(), QStringLiteral("0.00 s"));
    EXPECT_EQ(s().sumFormulaLabel->text(), QStringLiteral("Wartosc sumaryczna"));
    EXPECT_TRUE(page.unitsText().isEmpty());
}

TEST_F(SensorPage, AllZeroReplyShowsZerosAndTheFirstItems)
{
    s().adRateList->setCurrentIndex(5);
    s().unitsList->setCurrentIndex(2);
    QString units;
    QObject::connect(&page, &ui::SettingsPage::unitsTextChanged, [&](const QString& u) { units = u; });
    applyReply(settings::SensorSettings{});
    for (const auto& sensor : s().sensors) {
        EXPECT_EQ(sensor.range->text(), QStringLiteral("0"));
        EXPECT_EQ(sensor.sens->text(), QStringLiteral("0.0000"));
        EXPECT_FALSE(sensor.sign->isChecked());
    }
    EXPECT_EQ(s().filterLevelList->currentText(), QStringLiteral("1"));
    EXPECT_EQ(s().adRateList->currentText(), QStringLiteral("4 / sek"));
    EXPECT_EQ(s().unitsList->currentText(), QStringLiteral("N - niutony"));
    EXPECT_EQ(s().sumSelectionList->currentText(), QStringLiteral("1"));
    EXPECT_EQ(page.unitsText(), QStringLiteral(" N"));
    EXPECT_EQ(units, QStringLiteral(" N"));
    EXPECT_EQ(s().sumFormulaLabel->text(), QStringLiteral("Czujnik 1 + Offset"));
}

TEST_F(SensorPage, ReplyFillsEveryFieldAndTheDerivedLabels)
{
    s().decimalsList->setCurrentIndex(1);
    applyReply(sampleSettings());
    EXPECT_EQ(s().sensors[0].range->text(), QStringLiteral("1000"));
    EXPECT_EQ(s().sensors[3].range->text(), QStringLiteral("100000000"));
    EXPECT_EQ(s().sensors[0].sens->text(), QStringLiteral("2.0000"));
    EXPECT_EQ(s().sensors[1].sens->text(), QStringLiteral("1.5151"));
    EXPECT_EQ(s().sensors[2].sens->text(), QStringLiteral("0.1000"));
    const std::array<bool, 4> signs{true, false, true, false};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(s().sensors[i].sign->isChecked(), signs[i]) << i;
    }
    EXPECT_EQ(s().filterLevelList->currentIndex(), 3);
    EXPECT_EQ(s().adRateList->currentIndex(), 4);
    EXPECT_EQ(s().unitsList->currentIndex(), 3);
    EXPECT_EQ(s().sumSelectionList->currentIndex(), 2);
    EXPECT_EQ(s().sumOffsetEdit->text(), QStringLiteral("-12.5"));
    EXPECT_EQ(s().stabilitySamplesEdit->text(), QStringLiteral("50"));
    // Precision 5, Decp 1, and the second decimal that 0.25 needs to be shown exactly.
    EXPECT_EQ(s().stabilityMaxDifferenceEdit->text(), QStringLiteral("0.25"));
    EXPECT_EQ(page.unitsText(), QStringLiteral(" kg"));
    EXPECT_EQ(s().responseDelayLabel->text(), QStringLiteral("160 ms")); // filter 8 at 50/s
    EXPECT_EQ(s().stabilityTimeLabel->text(), QStringLiteral("1.00 s"));
    EXPECT_EQ(s().sumFormulaLabel->text(), QStringLiteral("Czujnik 1 + Czujnik 2 + Czujnik 3+ Offset"));
    EXPECT_EQ(s().currentSettings(), sampleSettings());
}

TEST_F(SensorPage, ReplyBytesOutsideTheListsLeaveThoseListsAndTheUnitsAsTheyWere)
{
    applyReply(sampleSettings());
    auto odd = sampleSettings();
    odd.Filter = 8;
    odd.Rate = 7;
    odd.Units = 5;
    odd.SelTens = 4;
    odd.Range[0] = 777;
    applyReply(odd);
    EXPECT_EQ(s().filterLevelList->currentIndex(), 3);
    EXPECT_EQ(s().adRateList->currentIndex(), 4);
    EXPECT_EQ(s().unitsList->currentIndex(), 3);
    EXPECT_EQ(s().sumSelectionList->currentIndex(), 2);
    EXPECT_EQ(page.unitsText(), QStringLiteral(" kg"));
    EXPECT_EQ(s().sensors[0].range->text(), QStringLiteral("777"));
}

TEST_F(SensorPage, WriteSendsTheRecordAtItsByteOffsets)
{
    typeValidFields();
    s().decimalsList->setCurrentIndex(2);
    s().sensors[0].range->setText(QStringLiteral("100000000"));
    s().stabilitySamplesEdit->setText(QStringLiteral("200"));
    s().writeSensorSettingsButton->click();
    EXPECT_TRUE(events.empty());
    const auto r = onlyRequest();
    ASSERT_EQ(r.size(), 64U);
    EXPECT_EQ(r[0], 0x8A);
    EXPECT_EQ((std::vector<std::uint8_t>(r.begin() + 1, r.begin() + 5)), (std::vector<std::uint8_t>{0x00, 0xE1, 0xF5, 0x05}));
    EXPECT_EQ(r[5], 0xD0); // 2000 = 0x07D0
    EXPECT_EQ(r[6], 0x07);
    EXPECT_EQ(floatAt(r, 17), 2.5F);
    EXPECT_EQ(floatAt(r, 29), 2.5F);
    EXPECT_EQ(r[33], 0x00);
    EXPECT_EQ(r[34], 3);
    EXPECT_EQ(r[35], 4);
    EXPECT_EQ(r[36], 1);
    EXPECT_EQ(r[37], 3);
    EXPECT_EQ(floatAt(r, 38), -12.5F);
    EXPECT_EQ(r[42], 200); // sample count, low byte first
    EXPECT_EQ(r[43], 0);
    EXPECT_EQ(floatAt(r, 44), 0.5F);
    for (std::size_t i = 48; i < r.size(); ++i) {
        EXPECT_EQ(r[i], 0) << "byte " << i;
    }
    // Fields are rewritten in their normal form.
    EXPECT_EQ(s().sensors[0].sens->text(), QStringLiteral("2.5000"));
    EXPECT_EQ(s().sumOffsetEdit->text(), QStringLiteral("-12.50"));
}

TEST_F(SensorPage, SignBitsFollowTheTickedBoxes)
{
    typeValidFields();
    s().sensors[3].sign->setChecked(true);
    s().writeSensorSettingsButton->click();
    s().sensors[0].sign->setChecked(true);
    s().sensors[1].sign->setChecked(true);
    s().sensors[2].sign->setChecked(true);
    s().writeSensorSettingsButton->click();
    const auto r = requests();
    ASSERT_EQ(r.size(), 2U);
    EXPECT_EQ(r[0][33], 0x08);
    EXPECT_EQ(r[1][33], 0x0F);
}

struct FieldCase {
    const char* field; // which edit
    const char* text;
    bool ok;
    const char* shown; // text after the check
};

std::ostream& operator<<(std::ostream& os, const FieldCase& c)
{
    return os << c.field << " \"" << c.text << '"';
}

class SensorFieldBounds : public SensorPage, public ::testing::WithParamInterface<FieldCase> {
protected:
    QLineEdit* edit(const char* field)
    {
        const QString f = QString::fromLatin1(field);
        if (f == u"range") return s().sensors[1].range;
        if (f == u"sens") return s().sensors[2].sens;
        if (f == u"samples") return s().stabilitySamplesEdit;
        if (f == u"maxdiff") return s().stabilityMaxDifferenceEdit;
        return s().sumOffsetEdit;
    }
};

TEST_P(SensorFieldBounds, RefusedFieldIsMarkedAndNothingIsSent)
{
    const FieldCase& c = GetParam();
    typeValidFields();
    s().decimalsList->setCurrentIndex(1);
    QLineEdit* e = edit(c.field);
    e->setText(QString::fromUtf8(c.text));
    if (c.ok) {
        s().writeSensorSettingsButton->click();
        EXPECT_TRUE(events.empty());
        EXPECT_EQ(requests().size(), 1U);
        EXPECT_FALSE(isMarkedRefused(e));
    } else {
        expectRefusedWrite();
        EXPECT_TRUE(isMarkedRefused(e));
    }
    EXPECT_EQ(e->text(), QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SensorFieldBounds,
    ::testing::Values(FieldCase{"range", "1", true, "1"}, FieldCase{"range", "100000000", true, "100000000"},
                      FieldCase{"range", "0", false, "0"}, FieldCase{"range", "100000001", false, "100000001"},
                      FieldCase{"range", "1.5", false, "1.5"}, FieldCase{"sens", "0.1", true, "0.1000"},
                      FieldCase{"sens", "0.09", false, "0.0900"}, FieldCase{"sens", "2,5", true, "2.5000"},
                      FieldCase{"samples", "200", true, "200"}, FieldCase{"samples", "201", false, "201"},
                      FieldCase{"maxdiff", "-1", false, "-1.0"}, FieldCase{"offset", "-100000000", true, "-1E+8"},
                      FieldCase{"offset", "-100000001", true, "-1E+8"}, FieldCase{"offset", "-2E8", false, "-2E+8"}));

TEST_F(SensorPage, TwoRefusedFieldsGiveOneBoxAndBothAreMarked)
{
    typeValidFields();
    s().sensors[0].range->setText(QStringLiteral("0"));
    s().sumOffsetEdit->setText(QStringLiteral("x"));
    expectRefusedWrite();
    EXPECT_TRUE(isMarkedRefused(s().sensors[0].range));
    EXPECT_TRUE(isMarkedRefused(s().sumOffsetEdit));
    EXPECT_FALSE(isMarkedRefused(s().sensors[1].range));
    // Fields that passed are already stored and normalised; a refused one keeps its old value.
    EXPECT_EQ(s().currentSettings().Range[1], 2000);
    EXPECT_EQ(s().currentSettings().Range[0], 0);
    EXPECT_EQ(s().sensors[3].sens->text(), QStringLiteral("2.5000"));

    // Correcting the fields clears the marks at the next write.
    s().sensors[0].range->setText(QStringLiteral("10"));
    s().sumOffsetEdit->setText(QStringLiteral("1"));
    s().writeSensorSettingsButton->click();
    EXPECT_FALSE(isMarkedRefused(s().sensors[0].range));
    EXPECT_FALSE(isMarkedRefused(s().sumOffsetEdit));
    EXPECT_EQ(requests().size(), 1U);
}

TEST_F(SensorPage, SampleCountThatIsNoWholeNumberEndsTheWriteWithTheConversionError)
{
    typeValidFields();
    s().sensors[0].range->setText(QStringLiteral("0"));
    s().stabilitySamplesEdit->setText(QStringLiteral("abc"));
    s().writeSensorSettingsButton->click();
    EXPECT_TRUE(requests().empty());
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].kind, PK::Error);
    EXPECT_EQ(events[0].text, QStringLiteral("'abc' is not a valid integer value"));
    EXPECT_FALSE(isMarkedRefused(s().sensors[0].range)); // nothing was checked
}

TEST_F(SensorPage, WriteRefreshesTheSettlingTimeFromARefusedSampleCount)
{
    typeValidFields();
    s().stabilitySamplesEdit->setText(QStringLiteral("500")); // 500 at 50/s
    expectRefusedWrite();
    EXPECT_EQ(s().stabilityTimeLabel->text(), QStringLiteral("10.00 s"));
}

TEST_F(SensorPage, ListWithoutSelectionIsRefusedAndMarked)
{
    typeValidFields();
    s().unitsList->setCurrentIndex(-1);
    expectRefusedWrite();
    EXPECT_TRUE(isMarkedRefused(s().unitsList));
    EXPECT_FALSE(isMarkedRefused(s().sumSelectionList));
}

TEST_F(SensorPage, ChoosingARateRecomputesTheResponseDelayAndSettlingTime)
{
    s().stabilitySamplesEdit->setText(QStringLiteral("50"));
    s().adRateList->setCurrentIndex(5);
    emit s().adRateList->activated(5);
    EXPECT_EQ(s().responseDelayLabel->text(), QStringLiteral("16 ms")); // 60 per second, not 62
    EXPECT_EQ(s().stabilityTimeLabel->text(), QStringLiteral("0.83 s"));
    s().filterLevelList->setCurrentIndex(7);
    emit s().filterLevelList->activated(7);
    EXPECT_EQ(s().responseDelayLabel->text(), QStringLiteral("2.0 s"));
}

TEST_F(SensorPage, LeavingAStabilityFieldChecksAndUsesTheSampleCount)
{
    s().stabilitySamplesEdit->setText(QStringLiteral("33"));
    s().adRateList->setCurrentIndex(3);
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(s().stabilityMaxDifferenceEdit, &out);
    EXPECT_EQ(s().stabilityTimeLabel->text(), QStringLiteral("1.00 s"));
    EXPECT_EQ(s().currentSettings().StabSamplesNo, 33);

    s().stabilitySamplesEdit->setText(QStringLiteral("201"));
    QCoreApplication::sendEvent(s().stabilitySamplesEdit, &out);
    EXPECT_TRUE(isMarkedRefused(s().stabilitySamplesEdit));
    EXPECT_EQ(s().stabilityTimeLabel->text(), QStringLiteral("1.00 s"));
    EXPECT_EQ(s().currentSettings().StabSamplesNo, 33);
    EXPECT_TRUE(events.empty());
}

TEST_F(SensorPage, ChoosingSummedChannelsShowsTheFormula)
{
    s().sumSelectionList->setCurrentIndex(3);
    emit s().sumSelectionList->activated(3);
    EXPECT_EQ(s().sumFormulaLabel->text(), QStringLiteral("Czujnik 1 + Czujnik 2 + Czujnik 3 + Czujnik 4 + Offset"));
    for (const auto& sensor : s().sensors) {
        EXPECT_TRUE(sensor.box->isEnabled());
    }
}

TEST_F(SensorPage, UnitsChangeOnlyAfterTheWriteIsAcknowledged)
{
    applyReply(settings::SensorSettings{});
    typeValidFields();
    s().unitsList->setCurrentIndex(1);
    EXPECT_EQ(page.unitsText(), QStringLiteral(" N"));
    QString status;
    QObject::connect(&link, &link::LinkController::statusMessage, [&](const QString& t) { status = t; });
    s().writeSensorSettingsButton->click();
    EXPECT_EQ(page.unitsText(), QStringLiteral(" N"));
    deliver(reply({link::CMD_SET_SENSOR_SETTINGS}));
    EXPECT_EQ(page.unitsText(), QStringLiteral(" kN"));
    EXPECT_EQ(status, QStringLiteral("Parametry wejść tensometrycznych zapisane"));
}

TEST_F(SensorPage, AcknowledgedWriteReadsSensorThenIoSettingsBack)
{
    typeValidFields();
    s().writeSensorSettingsButton->click();
    deliver(reply({link::CMD_SET_SENSOR_SETTINGS}));
    auto readBack = frameOf(link::CMD_GET_SENSOR_SETTINGS, settings::encodeSensorSettingsRequest(sampleSettings()));
    deliver(readBack);
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{0x8A, 0x02, 0x03}));
    EXPECT_EQ(s().sensors[3].range->text(), QStringLiteral("100000000"));
}

TEST_F(SensorPage, ButtonsSendTheirOneByteRequests)
{
    const std::vector<std::pair<QPushButton*, std::uint8_t>> table{
        {s().readSensorSettingsButton, 0x02},      {s().sensorDefaultsButton, 0x9F},
        {s().sensors[0].zero, 0x8C},           {s().sensors[1].zero, 0x8D},
        {s().sensors[2].zero, 0x8E},           {s().sensors[3].zero, 0x8F},
        {s().zeroAllButton, 0x90},                   {s().sumTareButton, 0x91}};
    for (const auto& [button, code] : table) {
        dev->clearWrites();
        button->click();
        const auto r = onlyRequest();
        EXPECT_EQ(r[0], code) << button->objectName().toStdString();
        EXPECT_TRUE(std::all_of(r.begin() + 1, r.end(), [](std::uint8_t b) { return b == 0; }));
    }
    ASSERT_EQ(events.size(), 1U); // the factory restore was asked first (and answered OK)
    EXPECT_EQ(events[0].kind, PK::Confirm);
}

TEST_F(SensorPage, FactoryRestoreAsksTheSameQuestionAsTheOtherPagesAndCancelSendsNothing)
{
    confirmAnswer = false;
    s().sensorDefaultsButton->click();
    EXPECT_TRUE(requests().empty());
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].kind, PK::Confirm);
    EXPECT_EQ(events[0].caption, QStringLiteral("Konfiguracja"));
    EXPECT_EQ(events[0].text, QStringLiteral("Przywrócić domyślne?"));
    EXPECT_EQ(events[0].writesBefore, 0U);

    confirmAnswer = true;
    s().sensorDefaultsButton->click();
    EXPECT_EQ(onlyRequest().at(0), link::CMD_FACTORY_SENSOR_SETTINGS);
}

TEST_F(SensorPage, RefusalBoxNamesTheRefusedFieldsWithTheirRanges)
{
    typeValidFields();
    s().sensors[2].sens->setText(QStringLiteral("0.05"));
    s().sensors[3].range->setText(QStringLiteral("0"));
    s().unitsList->setCurrentIndex(-1);
    s().sumOffsetEdit->setText(QStringLiteral("x"));
    expectRefusedWrite();
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].text, QStringLiteral("Błędne parametry\n\n"
                                             "Stała czujnika [mV/V] (Czujnik 3): od 0.1 do 100000000\n"
                                             "Zakres czujnika [N] (Czujnik 4): od 1 do 100000000\n"
                                             "Jednostki\n"
                                             "Offset: od -100000000 do 100000000"));

    // The ranges are written with the user's separator.
    events.clear();
    page.setNumberLocale(display::NumberLocale{u',', u' '});
    s().sensors[3].range->setText(QStringLiteral("10"));
    s().unitsList->setCurrentIndex(0);
    s().sumOffsetEdit->setText(QStringLiteral("0"));
    s().sensors[2].sens->setText(QStringLiteral("0,05"));
    expectRefusedWrite();
    EXPECT_EQ(events[0].text,
              QStringLiteral("Błędne parametry\n\nStała czujnika [mV/V] (Czujnik 3): od 0,1 do 100000000"));
}

TEST_F(SensorPage, ReplyTakesTheMarkOffFieldsItFillsWithValidValues)
{
    typeValidFields();
    s().sensors[0].range->setText(QStringLiteral("0"));
    s().sensors[1].sens->setText(QStringLiteral("abc"));
    s().unitsList->setCurrentIndex(-1);
    s().stabilityMaxDifferenceEdit->setText(QStringLiteral("-1"));
    expectRefusedWrite();

    // The transducer holds a sensor constant of 0 for sensor 2: not a value the page would send.
    auto reply = sampleSettings();
    reply.Sens[1] = 0.0F;
    applyReply(reply);
    EXPECT_FALSE(isMarkedRefused(s().sensors[0].range));
    EXPECT_FALSE(isMarkedRefused(s().unitsList));
    EXPECT_FALSE(isMarkedRefused(s().stabilityMaxDifferenceEdit));
    EXPECT_TRUE(isMarkedRefused(s().sensors[1].sens));
    EXPECT_FALSE(isMarkedRefused(s().sensors[2].sens)); // never marked, stays so
}

TEST_F(SensorPage, UnchangedPageWritesBackTheBytesItRead)
{
    auto awkward = sampleSettings();
    awkward.Sens = {0.1F, 2.25F, 2.1234567F, 100000000.0F};
    awkward.SumOffset = 0.75F;
    awkward.StabMaxDiff = 0.5F;
    awkward.SignBits = 0x0F;
    for (int decp = 0; decp < 5; ++decp) {
        s().decimalsList->setCurrentIndex(decp);
        for (const float offset : {0.75F, -12.5F, 1e6F, 150.25F, 0.1F}) {
            awkward.SumOffset = offset;
            awkward.StabMaxDiff = offset < 0 ? 2.25F : offset;
            applyReply(awkward);
            dev->clearWrites();
            s().writeSensorSettingsButton->click();
            EXPECT_TRUE(events.empty());
            const auto sent = onlyRequest();
            const auto expected = settings::encodeSensorSettingsRequest(awkward);
            ASSERT_GE(sent.size(), expected.size());
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), sent.begin()))
                << "Decp " << decp << " offset " << offset;
        }
    }
}

TEST_F(SensorPage, FactoryRestoreAcknowledgementReadsTheSettingsBack)
{
    s().sensorDefaultsButton->click();
    QString status;
    QObject::connect(&link, &link::LinkController::statusMessage, [&](const QString& t) { status = t; });
    deliver(reply({link::CMD_FACTORY_SENSOR_SETTINGS}));
    EXPECT_EQ(status, QStringLiteral("Ustawienia domyslne czujników siły przywrócone"));
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{0x9F, 0x02}));
}

} // namespace
