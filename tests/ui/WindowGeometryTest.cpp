// The main window's place, size and last page, and the large readout's place and size, kept in
// the preferences file from one run to the next and brought back onto a screen when the screen
// they were on is gone.

#include "FakeBackend.h"

#include "ui/MainWindow.h"
#include "ui/windows/LargeReadoutWindow.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class WindowGeometry : public ::testing::Test {
protected:
    QRect primary() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    QTemporaryDir dir;
    QString config = dir.filePath(QStringLiteral("config.ini"));
    test::FakeBackend backend;
};

} // namespace

TEST_F(WindowGeometry, PlaceSizePageAndLargeWindowComeBackAtTheNextStart)
{
    const QPoint place = primary().topLeft() + QPoint(30, 20);
    const QSize size(720, 690);
    const QPoint bigPlace = primary().topLeft() + QPoint(40, 50);
    const QSize bigSize(600, 210);
    {
        ui::MainWindow window(backend, config);
        ui::LargeReadoutWindow big;
        window.attachWindows({nullptr, nullptr, nullptr, &big, nullptr});
        window.show();
        window.move(place);
        window.resize(size);
        window.pageTabs->setCurrentIndex(2);
        big.show();
        big.move(bigPlace);
        big.resize(bigSize);
        ASSERT_TRUE(window.close());
    }
    const QString text = readAll(config);
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nWindowLeft=%1\r\nWindowTop=%2\r\nWindowWidth=720\r\nWindowHeight=690\r\n"
                                             "LastTab=2\r\n")
                                  .arg(place.x())
                                  .arg(place.y())))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nBigWindowWidth=600\r\nBigWindowHeight=210\r\n"))) << text.toStdString();

    ui::MainWindow window(backend, config);
    ui::LargeReadoutWindow big;
    window.attachWindows({nullptr, nullptr, nullptr, &big, nullptr});
    EXPECT_EQ(window.pos(), place);
    EXPECT_EQ(window.size(), size);
    EXPECT_EQ(window.pageTabs->currentIndex(), 2);
    EXPECT_EQ(big.pos(), bigPlace);
    EXPECT_EQ(big.size(), bigSize);
}

TEST_F(WindowGeometry, APlaceOffEveryScreenIsMovedOntoThePrimaryScreen)
{
    const QRect screen = primary();
    {
        QFile f(config);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[Options]\r\nWindowLeft=%1\r\nWindowTop=%2\r\nWindowWidth=700\r\nWindowHeight=680\r\n"
                               "BigWindowLeft=-5000\r\nBigWindowTop=-5000\r\nBigWindowWidth=500\r\nBigWindowHeight=200\r\n")
                    .arg(screen.right() + 3000)
                    .arg(screen.bottom() + 2000)
                    .toUtf8());
    }
    ui::MainWindow window(backend, config);
    ui::LargeReadoutWindow big;
    window.attachWindows({nullptr, nullptr, nullptr, &big, nullptr});
    EXPECT_EQ(window.pos(), screen.topLeft());
    EXPECT_EQ(window.width(), 700);
    EXPECT_EQ(big.pos(), screen.topLeft());
    EXPECT_EQ(big.size(), QSize(500, 200));
}

TEST_F(WindowGeometry, WithoutStoredValuesTheWindowOpensAsBefore)
{
    ui::MainWindow window(backend, config);
    EXPECT_EQ(window.pos(), QPoint(0, 0));
    EXPECT_EQ(window.pageTabs->currentIndex(), 0);
    // A page number outside the tabs is passed over.
    QFile f(config);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Options]\r\nLastTab=9\r\n");
    f.close();
    ui::MainWindow second(backend, config);
    EXPECT_EQ(second.pageTabs->currentIndex(), 0);
}
