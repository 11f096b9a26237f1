// The virtual transducers through the HID backend interface, as the link sees them.

#include "sim/SimBackend.h"

#include "LinkTestSupport.h"

#include "link/Protocol.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace qmx;
using namespace std::chrono_literals;
using sim::SimBackend;

namespace {

std::vector<std::uint8_t> request(std::initializer_list<std::uint8_t> payload)
{
    std::vector<std::uint8_t> report(65, 0);
    report[0] = 1;
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    return report;
}

/// Reads one report; returns its bytes, empty on time-out or failure.
std::vector<std::uint8_t> readOne(link::HidDevice& device, std::chrono::milliseconds timeout = 1000ms)
{
    std::vector<std::uint8_t> buffer(65);
    const int n = device.read(buffer, timeout);
    buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return buffer;
}

class SimBackendTest : public ::testing::Test {
protected:
    std::unique_ptr<link::HidDevice> openFirst()
    {
        const auto devices = backend.enumerate();
        EXPECT_FALSE(devices.empty());
        if (devices.empty()) {
            return nullptr;
        }
        auto opened = backend.open(devices.back());
        EXPECT_TRUE(opened.device) << opened.error;
        return std::move(opened.device);
    }

    SimBackend backend{SimBackend::Clock::Manual};
};

} // namespace

TEST_F(SimBackendTest, ListsOneTransducerByDefault)
{
    const auto devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].product, u"QMX80NET");
    EXPECT_EQ(devices[0].path, "sim:qmx80net");
    EXPECT_EQ(devices[0].vendorId, 0x1209);
    EXPECT_EQ(devices[0].productId, 0x0001);
}

TEST_F(SimBackendTest, OpenedDeviceAnswersThroughWriteAndRead)
{
    auto device = openFirst();
    ASSERT_TRUE(device);
    EXPECT_EQ(device->inputReportLength(), 65u);
    EXPECT_EQ(device->outputReportLength(), 65u);
    ASSERT_TRUE(device->write(request({link::CMD_SET_LINK_STATE, 1})));
    const auto reply = readOne(*device);
    ASSERT_EQ(reply.size(), 65u);
    EXPECT_EQ(reply[0], 1);
    EXPECT_EQ(reply[1], 0x85);
    EXPECT_EQ(reply[2], 1);
}

TEST_F(SimBackendTest, ReadTimesOutWithZeroWhenNothingIsQueued)
{
    auto device = openFirst();
    ASSERT_TRUE(device);
    std::vector<std::uint8_t> buffer(65);
    EXPECT_EQ(device->read(buffer, 1ms), 0);
}

TEST_F(SimBackendTest, ManualClockStreamsOnlyWhenAdvanced)
{
    auto device = openFirst();
    ASSERT_TRUE(device);
    ASSERT_TRUE(device->write(request({link::CMD_GET_MEASUREMENT})));
    std::vector<std::uint8_t> buffer(65);
    EXPECT_EQ(device->read(buffer, 1ms), 0);
    backend.advance(100ms);
    for (int i = 0; i < 10; ++i) {
        const auto report = readOne(*device);
        ASSERT_EQ(report.size(), 65u);
        EXPECT_EQ(report[1], link::CMD_GET_MEASUREMENT);
    }
    EXPECT_EQ(device->read(buffer, 1ms), 0);
}

TEST_F(SimBackendTest, ShortBufferGetsTheReportCutToFit)
{
    auto device = openFirst();
    ASSERT_TRUE(device);
    device->write(request({link::CMD_GET_INFO}));
    std::vector<std::uint8_t> buffer(8, 0xEE);
    EXPECT_EQ(device->read(std::span(buffer).first(4), 1000ms), 4);
    EXPECT_EQ(buffer[4], 0xEE);
}

TEST_F(SimBackendTest, UnplugReleasesAReaderBlockedInRead)
{
    auto device = openFirst();
    ASSERT_TRUE(device);
    std::promise<void> started;
    auto result = std::async(std::launch::async, [&] {
        std::vector<std::uint8_t> buffer(65);
        started.set_value();
        return device->read(buffer, 60s);
    });
    started.get_future().wait();
    backend.unplug();
    // Generous bound: without the wake-up the reader would sit out its full minute.
    ASSERT_EQ(result.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(result.get(), -1);
}

TEST_F(SimBackendTest, UnpluggedTransducerIsGoneUntilReplugged)
{
    auto device = openFirst();
    ASSERT_TRUE(device);
    backend.unplug();
    EXPECT_TRUE(backend.enumerate().empty());
    EXPECT_FALSE(backend.open({SimBackend::transducerPath(0), u"QMX80NET", 0x1209, 0x0001}).device);
    EXPECT_FALSE(device->write(request({link::CMD_GET_INFO})));
    std::vector<std::uint8_t> buffer(65);
    EXPECT_EQ(device->read(buffer, 1ms), -1);

    backend.replug();
    EXPECT_EQ(device->read(buffer, 1ms), -1) << "a handle from before the unplug stays dead";
    auto fresh = openFirst();
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh->write(request({link::CMD_GET_INFO})));
    EXPECT_EQ(readOne(*fresh).size(), 65u);
}

TEST_F(SimBackendTest, RefusedOpenReportsItsReasonButTheDeviceStaysListed)
{
    backend.setOpenRefused(true, "permission denied");
    const auto devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 1u);
    const auto opened = backend.open(devices[0]);
    EXPECT_FALSE(opened.device);
    EXPECT_EQ(opened.error, "permission denied");
    backend.setOpenRefused(false);
    EXPECT_TRUE(backend.open(devices[0]).device);
}

TEST_F(SimBackendTest, ForeignDevicesAreListedFirstButCannotBeOpened)
{
    backend.addForeignDevice({"", u"USB Keyboard", 0x046D, 0xC31C});
    backend.addForeignDevice({"", u"", 0x1A2B, 0x00FF});
    backend.addForeignDevice({"", u"qmx80net", 0x1209, 0x0001});
    const auto devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 4u);
    EXPECT_EQ(devices[0].product, u"USB Keyboard");
    EXPECT_EQ(devices[1].vendorId, 0x1A2B);
    EXPECT_EQ(devices[3].path, "sim:qmx80net");
    EXPECT_NE(devices[0].path, devices[1].path);
    const auto opened = backend.open(devices[2]);
    EXPECT_FALSE(opened.device);
    EXPECT_EQ(opened.error, "not a transducer");
    backend.clearForeignDevices();
    EXPECT_EQ(backend.enumerate().size(), 1u);
}

TEST_F(SimBackendTest, TwoTransducersAreTwoModels)
{
    backend.setTransducerCount(2);
    backend.transducer(1).setInfo(106, "second");
    const auto devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[1].path, "sim:qmx80net-2");
    auto second = backend.open(devices[1]).device;
    ASSERT_TRUE(second);
    second->write(request({link::CMD_GET_INFO}));
    const auto reply = readOne(*second);
    ASSERT_EQ(reply.size(), 65u);
    EXPECT_EQ(reply[2], 106);
    EXPECT_EQ(backend.transducer(0).receivedRequests().size(), 0u);
    EXPECT_NE(backend.transducer(0).ioSettings().MAC, backend.transducer(1).ioSettings().MAC);

    backend.setTransducerCount(0);
    EXPECT_TRUE(backend.enumerate().empty());
    std::vector<std::uint8_t> buffer(65);
    EXPECT_EQ(second->read(buffer, 1ms), -1);
}

TEST_F(SimBackendTest, NewerHandleTakesTheDeviceOver)
{
    auto first = openFirst();
    auto second = openFirst();
    ASSERT_TRUE(first && second);
    std::vector<std::uint8_t> buffer(65);
    EXPECT_EQ(first->read(buffer, 1ms), -1);
    EXPECT_FALSE(first->write(request({link::CMD_GET_INFO})));
    EXPECT_TRUE(second->write(request({link::CMD_GET_INFO})));
}

TEST_F(SimBackendTest, InjectedWriteFailureReachesTheCaller)
{
    auto device = openFirst();
    ASSERT_TRUE(device);
    backend.transducer().failNextWrites(1);
    EXPECT_FALSE(device->write(request({link::CMD_GET_INFO})));
    EXPECT_TRUE(device->write(request({link::CMD_GET_INFO})));
}

TEST_F(SimBackendTest, BusChangesAreAnnouncedFromTheEventLoop)
{
    QSignalSpy spy(&backend, &link::HidBackend::devicesChanged);
    const std::vector<std::function<void()>> changes{
        [&] { backend.unplug(); },
        [&] { backend.replug(); },
        [&] { backend.addForeignDevice({"", u"Mouse", 1, 2}); },
        [&] { backend.clearForeignDevices(); },
        [&] { backend.setTransducerCount(2); },
        [&] { backend.setOpenRefused(true); },
    };
    int expected = 0;
    for (const auto& change : changes) {
        change();
        EXPECT_EQ(spy.count(), expected) << "not inside the call";
        ++expected;
        EXPECT_TRUE(test::waitUntil([&] { return spy.count() == expected; }));
    }
}

TEST(SimBackendRealTime, PumpStreamsReportsWithTheWallClock)
{
    SimBackend backend(SimBackend::Clock::RealTime);
    auto device = backend.open(backend.enumerate().at(0)).device;
    ASSERT_TRUE(device);
    ASSERT_TRUE(device->write(request({link::CMD_GET_MEASUREMENT})));
    int measurements = 0;
    for (int i = 0; i < 20; ++i) {
        const auto report = readOne(*device, 5000ms);
        ASSERT_EQ(report.size(), 65u);
        measurements += report[1] == link::CMD_GET_MEASUREMENT ? 1 : 0;
    }
    EXPECT_EQ(measurements, 20);
}

TEST(LinkOverSim, LinkControllerReadsTheVirtualTransducerAtStartUp)
{
    SimBackend backend(SimBackend::Clock::Manual);
    link::LinkController link(backend, [](std::string_view id) { return QString::fromUtf8(id.data(), qsizetype(id.size())); });
    QByteArray ioFrame;
    QObject::connect(&link, &link::LinkController::ioSettingsReceived, [&](const QByteArray& f) { ioFrame = f; });
    link.onDeviceChange();
    ASSERT_TRUE(test::waitUntil([&] {
        return backend.transducer().receivedCodes() ==
               std::vector<std::uint8_t>{0x85, 0x00, 0x02, 0x03, 0x85};
    }));
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(link.deviceInfo().Description, QStringLiteral("virtual"));
    EXPECT_EQ(ioFrame.size(), 64);
}
