#include "QtPrinters.h"

#include "cli/CliSession.h"
#include "cli/SettingsFileCommand.h"
#include "cli/WatchCommand.h"
#include "link/Protocol.h"
#include "sim/SimBackend.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <unistd.h>

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

TEST_F(CliFixture, AFileThatIsNotACompleteSettingsFileIsRefusedNamingWhatIsWrong)
{
    const QString saved = dir.filePath(QStringLiteral("saved.conf"));
    {
        auto s = session();
        ASSERT_EQ(cli::runSettingsSave(*s, saved, 1), 0);
    }
    QFile savedFile(saved);
    ASSERT_TRUE(savedFile.open(QIODevice::ReadOnly));
    const QByteArray complete = savedFile.readAll();

    QByteArray noise(4096, '\0');
    std::mt19937 random(7);
    for (char& c : noise) {
        c = static_cast<char>(random() & 0xFF);
    }
    QByteArray utf16(2, '\0');
    utf16[0] = '\xFF';
    utf16[1] = '\xFE';
    for (const QChar c : QString::fromUtf8(complete)) {
        utf16.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
    }
    QByteArray withoutIp = complete;
    withoutIp.replace("IP=192.168.0.2\r\n", "");

    struct Case {
        const char* name;
        QByteArray contents;
        std::vector<const char*> told; // texts that stderr must hold
    };
    const Case cases[] = {
        {"one key", "[ModbusRtu]\r\nAddress=4\r\n", {"TensAllConfig/SelTens: missing", "Ethernet/IP: missing", "Out2/state: missing"}},
        {"empty", "", {"TensAllConfig/SelTens: missing", "Out2/state: missing"}},
        {"a word", "garbage", {"Ethernet/IP: missing"}},
        {"random bytes", noise, {"NUL bytes"}},
        {"UTF-16", utf16, {"UTF-16"}},
        {"UTF-16 without mark", utf16.mid(2), {"UTF-16"}},
        {"one key gone", withoutIp, {"Ethernet/IP: missing"}},
        {"an index that is no number", QByteArray(complete).replace("Rate=", "Rate=abc"), {"TensAllConfig/Rate: 'abc"}},
        {"a flag that is no number", QByteArray(complete).replace("Out1Stab=0", "Out1Stab=true"), {"Out/Out1Stab: 'true'"}},
    };
    const auto sensorBefore = sim.transducer().sensorSettings();
    const auto ioBefore = sim.transducer().ioSettings();
    auto s = session();
    for (const Case& c : cases) {
        const QString file = dir.filePath(QStringLiteral("bad.conf"));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.contents);
        f.close();
        sim.transducer().clearReceivedRequests();
        testing::internal::CaptureStderr();
        const int code = cli::runSettingsApply(*s, file);
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(code, 65) << c.name;
        for (const char* text : c.told) {
            EXPECT_NE(told.find(text), std::string::npos) << c.name << ": " << text << " not in\n" << told;
        }
        EXPECT_NE(told.find("nothing was sent"), std::string::npos) << c.name;
        EXPECT_FALSE(sent(sim.transducer(), link::CMD_SET_SENSOR_SETTINGS)) << c.name;
        EXPECT_FALSE(sent(sim.transducer(), link::CMD_SET_IO_SETTINGS)) << c.name;
    }
    EXPECT_EQ(sim.transducer().sensorSettings(), sensorBefore);
    EXPECT_EQ(sim.transducer().ioSettings(), ioBefore);
}

TEST_F(CliFixture, AFileOverTheSizeLimitOrNotAFileIsRefused)
{
    const QString huge = dir.filePath(QStringLiteral("huge.conf"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(17 * 1024 * 1024)); // sparse: cheap to make
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.conf")));
    const struct {
        QString path;
        const char* told;
    } cases[] = {{huge, "File too large"}, {dir.filePath(QStringLiteral("folder.conf")), "Is a directory"}};
    auto s = session();
    for (const auto& c : cases) {
        sim.transducer().clearReceivedRequests();
        testing::internal::CaptureStderr();
        EXPECT_EQ(cli::runSettingsApply(*s, c.path), 65);
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        EXPECT_FALSE(sent(sim.transducer(), link::CMD_SET_SENSOR_SETTINGS));
        EXPECT_FALSE(sent(sim.transducer(), link::CMD_SET_IO_SETTINGS));
    }
}

TEST_F(CliFixture, AFileTheUserMayNotReadIsRefusedSayingWhy)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not apply to root";
    }
    const QString file = dir.filePath(QStringLiteral("locked.conf"));
    {
        auto s = session();
        ASSERT_EQ(cli::runSettingsSave(*s, file, 1), 0);
    }
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::WriteOwner));
    auto s = session();
    sim.transducer().clearReceivedRequests();
    testing::internal::CaptureStderr();
    EXPECT_EQ(cli::runSettingsApply(*s, file), 65);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Permission denied"), std::string::npos);
    EXPECT_FALSE(sent(sim.transducer(), link::CMD_SET_SENSOR_SETTINGS));
}

TEST(Watch, LinesAreTabSeparatedWithAHeaderOfTheSameWidth)
{
    link::Measurement m;
    m.SumValue = 12.5F;
    m.ChannelValue = {1.0F, -2.25F, 0.1F, 0.0F};
    m.ChannelStatus = {3, 2, 1, 0};
    m.InputState = 2;
    m.OutputState = 1;
    const QString line = cli::watchLine(1.5, m);
    // Values rounded to the default one decimal, as the program shows them.
    EXPECT_EQ(line, QStringLiteral("1.500\t12.5\t1.0\t-2.3\t0.1\t0.0\t3\t2\t1\t0\t0\t1\t1\t0"));
    EXPECT_EQ(line.count(u'\t'), cli::watchHeader().count(u'\t'));
}
