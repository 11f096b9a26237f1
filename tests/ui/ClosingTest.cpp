// Closing the main window ends the program, whatever other windows are open.

#include "FakeBackend.h"

#include "link/Protocol.h"
#include "ui/MainWindow.h"
#include "ui/windows/AboutBox.h"
#include "ui/windows/AnalogCalibrationWindow.h"
#include "ui/windows/LargeReadoutWindow.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

/// Runs the application's message loop as the program does; the loop's exit code, or -1 when it
/// did not end by itself within a generous limit.
int runMessageLoop()
{
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    limit.start(20000);
    return QApplication::exec();
}

struct OpenWindows {
    bool bigDisplay;
    bool calibrationForced;
    bool aboutBox;
};

class ClosingWithWindowsOpen : public ::testing::TestWithParam<OpenWindows> {};

TEST_P(ClosingWithWindowsOpen, EndsTheProgramThroughTheNormalClosingPath)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("config.ini"));
    test::FakeBackend backend;
    auto dev = backend.add(u"QMX80NET");
    ui::MainWindow window(backend, config);
    ui::AboutBox about;
    ui::AnalogCalibrationWindow calibration;
    ui::LargeReadoutWindow big;
    window.attachWindows({&about, nullptr, &calibration, &big, nullptr});
    window.link().onDeviceChange();
    ASSERT_TRUE(window.link().connected());
    window.show();

    const OpenWindows open = GetParam();
    if (open.bigDisplay) {
        big.show();
    }
    if (open.calibrationForced) {
        calibration.showModal();
        calibration.testStartButton->click();
    }
    dev->clearWrites();
    // The about box runs a loop of its own; the close comes while it is open, as a signal would.
    QTimer::singleShot(0, &window, [&] {
        if (open.aboutBox) {
            QTimer::singleShot(0, &window, [&] { window.close(); });
            window.showAboutBox();
        } else {
            window.close();
        }
    });

    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(big.isVisible());
    EXPECT_FALSE(calibration.isVisible());
    EXPECT_FALSE(about.isVisible());
    // The preferences were written on the way.
    EXPECT_TRUE(QFile::exists(config));
    // A test level still forced on the analog output was stopped before the end.
    EXPECT_EQ(dev->codes(), open.calibrationForced ? std::vector<std::uint8_t>{link::CMD_ANALOG_TEST_STOP}
                                                    : std::vector<std::uint8_t>{});
}

INSTANTIATE_TEST_SUITE_P(Windows, ClosingWithWindowsOpen,
                         ::testing::Values(OpenWindows{false, false, false}, OpenWindows{true, false, false},
                                           OpenWindows{false, true, false}, OpenWindows{true, true, false},
                                           OpenWindows{true, false, true}));

} // namespace
