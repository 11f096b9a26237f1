// The tool's "settings save" followed by "settings apply" against the virtual transducer: the
// transducer ends up holding exactly the bytes it held when the file was saved.

#include "cli/CliSession.h"
#include "cli/SettingsFileCommand.h"
#include "link/Protocol.h"
#include "sim/FactoryDefaults.h"
#include "sim/SimBackend.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace qmx;

namespace {

class SaveApply : public ::testing::TestWithParam<int> {
protected:
    SaveApply() : sim(sim::SimBackend::Clock::RealTime) {}

    std::unique_ptr<cli::CliSession> session()
    {
        auto s = std::make_unique<cli::CliSession>(sim);
        EXPECT_EQ(s->connect(), cli::SessionError::None);
        return s;
    }
    sim::VirtualTransducer& device() { return sim.transducer(); }

    /// The request with `code` the device received, or an empty one.
    std::vector<std::uint8_t> received(std::uint8_t code)
    {
        for (const auto& r : device().receivedRequests()) {
            if (!r.empty() && r[0] == code) {
                return r;
            }
        }
        return {};
    }

    QTemporaryDir dir;
    sim::SimBackend sim;
};

template <std::size_t N>
bool startsWith(const std::vector<std::uint8_t>& sent, const std::array<std::uint8_t, N>& expected)
{
    return sent.size() >= N && std::equal(expected.begin(), expected.end(), sent.begin());
}

TEST_P(SaveApply, LeavesBothBlocksByteForByteAsTheyWere)
{
    settings::SensorSettings sensor = sim::factorySensorSettings();
    sensor.Sens = {0.1F, 2.25F, 2.1234567F, 3.9876F};
    sensor.SumOffset = 0.75F;
    sensor.StabMaxDiff = 0.75F;
    settings::IoSettings io = sim::factoryIoSettings();
    io.Out1.number1 = 150.25F;
    io.Out1.number2 = -12.5F;
    io.Out2.number1 = 1e6F;
    io.Out2.number2 = 0.1F;
    device().setSensorSettings(sensor);
    device().setIoSettings(io);

    const QString file = dir.filePath(QStringLiteral("awkward.conf"));
    {
        auto s = session();
        ASSERT_EQ(cli::runSettingsSave(*s, file, GetParam()), 0);
    }
    // The transducer is changed in between, so the file has to bring every value back.
    device().setSensorSettings(sim::factorySensorSettings());
    device().setIoSettings(sim::factoryIoSettings());

    auto s = session();
    device().clearReceivedRequests();
    ASSERT_EQ(cli::runSettingsApply(*s, file), 0);
    EXPECT_TRUE(startsWith(received(link::CMD_SET_SENSOR_SETTINGS), settings::encodeSensorSettingsRequest(sensor)));
    EXPECT_TRUE(startsWith(received(link::CMD_SET_IO_SETTINGS), settings::encodeIoSettingsRequest(io)));
    EXPECT_EQ(settings::encodeSensorSettingsRequest(device().sensorSettings()), settings::encodeSensorSettingsRequest(sensor));
    EXPECT_EQ(settings::encodeIoSettingsRequest(device().ioSettings()), settings::encodeIoSettingsRequest(io));
}

INSTANTIATE_TEST_SUITE_P(Decp, SaveApply, ::testing::Values(0, 1, 2, 4));

} // namespace
