// The analog output calibration window: its frames byte for byte and the checks of the measured
// values, sent through a real link controller.

#include "FakeBackend.h"
#include "LinkTestSupport.h"

#include "lang/StringTable.h"
#include "link/LinkController.h"
#include "link/Protocol.h"
#include "ui/pages/OutputsPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/pages/SettingsWidgets.h"
#include "ui/windows/AnalogCalibrationWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

using namespace qmx;
using qmx::test::FakeBackend;
using qmx::test::FakeDeviceState;
using ui::settingswidgets::isMarkedRefused;

namespace {

QString polish(std::string_view id)
{
    return lang::lookupText(id, lang::Language::Polish);
}

/// A 63-byte request padded as the output report carries it (64 payload bytes).
std::vector<std::uint8_t> padded(std::vector<std::uint8_t> head)
{
    head.resize(64, 0);
    return head;
}

std::vector<std::uint8_t> floatBytes(float f)
{
    std::array<std::uint8_t, 4> b{};
    std::memcpy(b.data(), &f, 4);
    return {b.begin(), b.end()};
}

class AnalogCalibration : public ::testing::Test {
protected:
    AnalogCalibration() : dev(backend.add(u"QMX80NET")), link(backend, polish)
    {
        window.attachLink(&link);
        window.setNumberLocale(display::NumberLocale::c());
        link.onDeviceChange();
        EXPECT_TRUE(link.connected());
        dev->clearWrites();
    }

    std::vector<std::vector<std::uint8_t>> requests()
    {
        std::vector<std::vector<std::uint8_t>> result;
        for (auto w : dev->writes()) {
            w.erase(w.begin());
            result.push_back(std::move(w));
        }
        return result;
    }

    FakeBackend backend;
    std::shared_ptr<FakeDeviceState> dev;
    link::LinkController link;
    ui::AnalogCalibrationWindow window;
};

TEST_F(AnalogCalibration, StartsWithVoltageSelectedAndTestClear)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Wyjście analogowe - kalibracja"));
    EXPECT_TRUE(window.voltageRadio->isChecked());
    EXPECT_FALSE(window.currentRadio->isChecked());
    EXPECT_FALSE(window.testCheck->isChecked());
    EXPECT_EQ(window.voltageEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(window.currentEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
}

TEST_F(AnalogCalibration, StartFramesCarryChannelFlagAndTestLevel)
{
    window.testStartButton->click();
    window.currentRadio->setChecked(true);
    window.testCheck->setChecked(true);
    window.testStartButton->click();
    const auto r = requests();
    ASSERT_EQ(r.size(), 2U);
    EXPECT_EQ(r[0], padded({0xA8, 0x00, 0x00, 0x00, 0x00, 0x10, 0x41}));
    EXPECT_EQ(r[1], padded({0xA8, 0x01, 0x01, 0x00, 0x00, 0x90, 0x41}));
}

TEST_F(AnalogCalibration, StopIsTheCodeAlone)
{
    window.testStopButton->click();
    EXPECT_EQ(requests(), (std::vector<std::vector<std::uint8_t>>{padded({0xA9})}));
}

TEST_F(AnalogCalibration, StoredVoltageIsSentAsFloat32AndShownWithThreeDecimals)
{
    window.voltageEdit->setText(QStringLiteral("9,012"));
    window.calibrateVoltageButton->click();
    auto expected = std::vector<std::uint8_t>{0xAA, 0x00};
    const auto f = floatBytes(9.012F);
    expected.insert(expected.end(), f.begin(), f.end());
    EXPECT_EQ(requests(), (std::vector<std::vector<std::uint8_t>>{padded(expected)}));
    EXPECT_EQ(window.voltageEdit->text(), QStringLiteral("9.012"));
    EXPECT_FALSE(isMarkedRefused(window.voltageEdit));
}

struct CalibCase {
    bool current;
    const char* text;
    bool sent;
    const char* shown;
};

std::ostream& operator<<(std::ostream& os, const CalibCase& c)
{
    return os << (c.current ? "current \"" : "voltage \"") << c.text << '"';
}

class CalibrationBounds : public AnalogCalibration, public ::testing::WithParamInterface<CalibCase> {};

TEST_P(CalibrationBounds, OutOfRangeValueIsOnlyMarked)
{
    const CalibCase& c = GetParam();
    QLineEdit* edit = c.current ? window.currentEdit : window.voltageEdit;
    edit->setText(QString::fromLatin1(c.text));
    (c.current ? window.calibrateCurrentButton : window.calibrateVoltageButton)->click();
    const auto r = requests();
    EXPECT_EQ(r.size(), c.sent ? 1U : 0U);
    if (c.sent) {
        EXPECT_EQ(r[0][1], c.current ? 1 : 0);
    }
    EXPECT_EQ(isMarkedRefused(edit), !c.sent);
    EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown));
}

INSTANTIATE_TEST_SUITE_P(Table, CalibrationBounds,
                         ::testing::Values(CalibCase{false, "0.5", false, "0.500"}, CalibCase{false, "15.5", false, "15.500"},
                                           CalibCase{false, "1", true, "1.000"}, CalibCase{false, "15", true, "15.000"},
                                           CalibCase{false, "volts", false, "volts"},
                                           // The current field takes the 18 mA of the test level and up to 25 mA.
                                           CalibCase{true, "18.004", true, "18.004"}, CalibCase{true, "25", true, "25.000"},
                                           CalibCase{true, "25.5", false, "25.500"}, CalibCase{true, "0.5", false, "0.500"},
                                           CalibCase{true, "1", true, "1.000"}));

TEST_F(AnalogCalibration, ReadingFactorsRequestsIoSettingsAndLeavesTheWindowAlone)
{
    window.voltageEdit->setText(QStringLiteral("9.5"));
    window.readFactorsButton->click();
    EXPECT_EQ(requests(), (std::vector<std::vector<std::uint8_t>>{padded({0x03})}));
    EXPECT_EQ(window.voltageEdit->text(), QStringLiteral("9.5"));
    EXPECT_EQ(window.voltageFactorLabel->text(), QStringLiteral("0"));
    EXPECT_EQ(window.currentFactorLabel->text(), QStringLiteral("0"));
}

// What the window sends when it is closed after a sequence of button presses: the stop request
// exactly when a test level is still being driven.
struct CloseCase {
    const char* presses; ///< 's' Start, 'p' Stop, 'c' current range
    std::vector<std::uint8_t> codes;
};

std::ostream& operator<<(std::ostream& os, const CloseCase& c)
{
    return os << '"' << c.presses << '"';
}

class ClosingWhileForced : public AnalogCalibration, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ClosingWhileForced, StopIsSentFirstOnlyWhileALevelIsForced)
{
    window.showModal();
    for (const char* p = GetParam().presses; *p != 0; ++p) {
        if (*p == 's') {
            window.testStartButton->click();
        } else if (*p == 'p') {
            window.testStopButton->click();
        } else {
            window.currentRadio->setChecked(true);
        }
    }
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(dev->codes(), GetParam().codes);
    EXPECT_FALSE(window.testLevelForced());
    // Closed again (nothing forced any more): nothing more is sent.
    window.showModal();
    window.close();
    EXPECT_EQ(dev->codes(), GetParam().codes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClosingWhileForced,
    ::testing::Values(CloseCase{"", {}}, CloseCase{"s", {0xA8, 0xA9}}, CloseCase{"sp", {0xA8, 0xA9}},
                      CloseCase{"scs", {0xA8, 0xA8, 0xA9}}, CloseCase{"p", {0xA9}}, CloseCase{"sps", {0xA8, 0xA9, 0xA8, 0xA9}}));

TEST_F(AnalogCalibration, EscapeClosesTheWindowAndStopsAForcedLevel)
{
    window.showModal();
    QApplication::setActiveWindow(&window);
    window.testStartButton->click();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{0xA8, 0xA9}));

    // Esc from inside a field closes it too; what was typed stays.
    window.showModal();
    window.voltageEdit->setText(QStringLiteral("9.1"));
    QTest::keyClick(window.voltageEdit, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.voltageEdit->text(), QStringLiteral("9.1"));
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{0xA8, 0xA9}));
}

TEST(AnalogCalibrationPlace, OutputsPageButtonOpensTheWindowWithTheLink)
{
    FakeBackend backend;
    auto dev = backend.add(u"QMX80NET");
    link::LinkController link(backend, polish);
    ui::SettingsPage page(link, polish);
    ui::AnalogCalibrationWindow window;
    page.setAnalogCalibrationWindow(&window);
    link.onDeviceChange();
    dev->clearWrites();
    EXPECT_FALSE(window.isVisible());
    page.outputsPage->analogCalibrationButton->click();
    EXPECT_TRUE(window.isVisible());
    window.testStopButton->click();
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{link::CMD_ANALOG_TEST_STOP}));
    window.close();
}

} // namespace
