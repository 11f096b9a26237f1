#include "QtPrinters.h"

#include "cli/CliSession.h"
#include "cli/SettingsFileCommand.h"
#include "cli/WatchCommand.h"
#include "link/Protocol.h"
#include "sim/SimBackend.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace qmx;

namespace {

class CliFixture : public ::testing::Test {
protected:
    CliFixture() : sim(sim::SimBackend::Clock::RealTime) {}

    /// Connects a fresh session; the start-up exchange has ended when it returns.
    std::unique_ptr<cli::CliSession> session()
    {
        auto s = std::make_unique<cli::CliSession>(sim);
        EXPECT_EQ(s->connect(), cli::SessionError::None);
        return s;
    }

    void replaceInFile(const QString& path, const QByteArray& from, const QByteArray& to)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray text = f.readAll();
        f.close();
        ASSERT_TRUE(text.contains(from));
        text.replace(from, to);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    QTemporaryDir dir;
    sim::SimBackend sim;
};

bool sent(const sim::VirtualTransducer& t, std::uint8_t code)
{
    const auto codes = t.receivedCodes();
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

} // namespace

TEST_F(CliFixture, SaveThenApplyClonesAConfiguration)
{
    const QString file = dir.filePath(QStringLiteral("a.conf"));
    {
        auto s = session();
        ASSERT_EQ(cli::runSettingsSave(*s, file, 1), 0);
    }
    replaceInFile(file, "[Tens2Config]\r\nRange=1000", "[Tens2Config]\r\nRange=2500");
    replaceInFile(file, "IP=192.168.0.2\r\n", "IP=10.1\r\n");

    auto s = session();
    sim.transducer().clearReceivedRequests();
    ASSERT_EQ(cli::runSettingsApply(*s, file), 0);
    EXPECT_TRUE(sent(sim.transducer(), link::CMD_SET_SENSOR_SETTINGS));
    EXPECT_TRUE(sent(sim.transducer(), link::CMD_SET_IO_SETTINGS));
    EXPECT_EQ(sim.transducer().sensorSettings().Range[1], 2500);
    const std::array<std::uint8_t, 4> ip{10, 0, 0, 1};
    EXPECT_EQ(sim.transducer().ioSettings().IP, ip);
}

TEST_F(CliFixture, AFileWithABadValueIsRefusedWholeAndNothingIsSent)
{
    const QString file = dir.filePath(QStringLiteral("b.conf"));
    {
        auto s = session();
        ASSERT_EQ(cli::runSettingsSave(*s, file, 1), 0);
    }
    replaceInFile(file, "StabSamplesNo=50", "StabSamplesNo=201");
    const auto before = sim.transducer().sensorSettings();
    auto s = session();
    sim.transducer().clearReceivedRequests();
    EXPECT_EQ(cli::runSettingsApply(*s, file), 65);
    EXPECT_FALSE(sent(sim.transducer(), link::CMD_SET_SENSOR_SETTINGS));
    EXPECT_FALSE(sent(sim.transducer(), link::CMD_SET_IO_SETTINGS));
    EXPECT_EQ(sim.transducer().sensorSettings(), before);
}

TEST_F(CliFixture, AMissingFileIsAnError)
{
    auto s = session();
    EXPECT_EQ(cli::runSettingsApply(*s, dir.filePath(QStringLiteral("none.conf"))), 74);
}

TEST(Watch, LinesAreTabSeparatedWithAHeaderOfTheSameWidth)
{
    link::TMeasurement m;
    m.SumValue = 12.5F;
    m.ChannelValue = {1.0F, -2.25F, 0.1F, 0.0F};
    m.ChannelStatus = {3, 2, 1, 0};
    m.InputState = 2;
    m.OutputState = 1;
    const QString line = cli::watchLine(1.5, m);
    EXPECT_EQ(line, QStringLiteral("1.500\t12.5\t1\t-2.25\t0.100000001\t0\t3\t2\t1\t0\t0\t1\t1\t0"));
    EXPECT_EQ(line.count(u'\t'), cli::watchHeader().count(u'\t'));
}
