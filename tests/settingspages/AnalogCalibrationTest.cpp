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
#include "ui/windows/TFormAnCalib.h"

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
        link.JvHidDeviceController1DeviceChange();
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
    ui::TFormAnCalib window;
};

TEST_F(AnalogCalibration, StartsWithVoltageSelectedAndTestClear)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Wyjście analogowe - kalibracja"));
    EXPECT_TRUE(window.Rb_0_10V->isChecked());
    EXPECT_FALSE(window.RadioButton2->isChecked());
    EXPECT_FALSE(window.Cb_Test->isChecked());
    EXPECT_EQ(window.Edit1_0_10V->text(), QStringLiteral("0"));
    EXPECT_EQ(window.Edit1_4_20mA->text(), QStringLiteral("0"));
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
}

TEST_F(AnalogCalibration, StartFramesCarryChannelFlagAndTestLevel)
{
    window.Button1->click();
    window.RadioButton2->setChecked(true);
    window.Cb_Test->setChecked(true);
    window.Button1->click();
    const auto r = requests();
    ASSERT_EQ(r.size(), 2U);
    EXPECT_EQ(r[0], padded({0xA8, 0x00, 0x00, 0x00, 0x00, 0x10, 0x41}));
    EXPECT_EQ(r[1], padded({0xA8, 0x01, 0x01, 0x00, 0x00, 0x90, 0x41}));
}

TEST_F(AnalogCalibration, StopIsTheCodeAlone)
{
    window.Button2->click();
    EXPECT_EQ(requests(), (std::vector<std::vector<std::uint8_t>>{padded({0xA9})}));
}

TEST_F(AnalogCalibration, StoredVoltageIsSentAsFloat32AndShownWithThreeDecimals)
{
    window.Edit1_0_10V->setText(QStringLiteral("9,012"));
    window.Btn_Calib_0_10->click();
    auto expected = std::vector<std::uint8_t>{0xAA, 0x00};
    const auto f = floatBytes(9.012F);
    expected.insert(expected.end(), f.begin(), f.end());
    EXPECT_EQ(requests(), (std::vector<std::vector<std::uint8_t>>{padded(expected)}));
    EXPECT_EQ(window.Edit1_0_10V->text(), QStringLiteral("9.012"));
    EXPECT_FALSE(isMarkedRefused(window.Edit1_0_10V));
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
    QLineEdit* edit = c.current ? window.Edit1_4_20mA : window.Edit1_0_10V;
    edit->setText(QString::fromLatin1(c.text));
    (c.current ? window.Btn_Calib_4_20 : window.Btn_Calib_0_10)->click();
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
    window.Edit1_0_10V->setText(QStringLiteral("9.5"));
    window.Btn_readFactors->click();
    EXPECT_EQ(requests(), (std::vector<std::vector<std::uint8_t>>{padded({0x03})}));
    EXPECT_EQ(window.Edit1_0_10V->text(), QStringLiteral("9.5"));
    EXPECT_EQ(window.Label_CalibVal_0_10V->text(), QStringLiteral("0"));
    EXPECT_EQ(window.Label_CalibVal_0_20mA->text(), QStringLiteral("0"));
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
            window.Button1->click();
        } else if (*p == 'p') {
            window.Button2->click();
        } else {
            window.RadioButton2->setChecked(true);
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
    window.Button1->click();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{0xA8, 0xA9}));

    // Esc from inside a field closes it too; what was typed stays.
    window.showModal();
    window.Edit1_0_10V->setText(QStringLiteral("9.1"));
    QTest::keyClick(window.Edit1_0_10V, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Edit1_0_10V->text(), QStringLiteral("9.1"));
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{0xA8, 0xA9}));
}

TEST(AnalogCalibrationPlace, OutputsPageButtonOpensTheWindowWithTheLink)
{
    FakeBackend backend;
    auto dev = backend.add(u"QMX80NET");
    link::LinkController link(backend, polish);
    ui::SettingsPage page(link, polish);
    ui::TFormAnCalib window;
    page.setAnalogCalibrationWindow(&window);
    link.JvHidDeviceController1DeviceChange();
    dev->clearWrites();
    EXPECT_FALSE(window.isVisible());
    page.TabSheet4->Btn_AnalogOutCalib->click();
    EXPECT_TRUE(window.isVisible());
    window.Button2->click();
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{link::CMD_ANALOG_TEST_STOP}));
    window.close();
}

} // namespace
