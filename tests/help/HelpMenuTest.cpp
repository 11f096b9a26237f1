// "Pomoc" / "Instrukcja obsługi" of the main window: the manual opens beside the main window,
// which stays usable, and asking again while it is open keeps the reader's place.

#include "FakeBackend.h"

#include "ui/MainWindow.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/AboutBox.h"
#include "ui/windows/AnalogCalibrationWindow.h"
#include "ui/windows/LargeReadoutWindow.h"
#include "ui/windows/TFormCalib.h"

#include "doc/manual/mhtml/MhtWriter.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace qmx;

TEST(HelpMenu, InstructionOpensTheManualBesideTheMainWindow)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QString page = QStringLiteral("<h1>Instrukcja z menu</h1>");
    for (int i = 0; i < 200; ++i) {
        page += QStringLiteral("<p>Akapit %1</p>").arg(i);
    }
    {
        QFile file(ui::HelpWindow::manualAddress(folder.path()).toLocalFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(manual::writeMht({QStringLiteral("Instrukcja"), page.toUtf8(), QString(), {}}));
    }

    test::FakeBackend backend;
    ui::MainWindow window(backend);
    ui::AboutBox about;
    ui::TFormCalib calib;
    ui::AnalogCalibrationWindow analogCalib;
    ui::LargeReadoutWindow bigDisplay;
    ui::HelpWindow help(folder.path());
    window.attachWindows({&about, &calib, &analogCalib, &bigDisplay, &help});
    window.show();

    window.manualAction->trigger();
    ASSERT_TRUE(help.isVisible());
    EXPECT_TRUE(help.manualView->toPlainText().startsWith(QStringLiteral("Instrukcja z menu")));
    // Not modal: the main window goes on taking input while the manual is open.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(help.windowModality(), Qt::NonModal);
    EXPECT_TRUE(window.isEnabled());

    QScrollBar* bar = help.manualView->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    const int place = bar->value();
    ASSERT_GT(place, 0);
    window.manualAction->trigger();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(bar->value(), place);
}

} // namespace
