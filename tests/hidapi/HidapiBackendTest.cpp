#include "EmulatedHidraw.h"

#include "link/ClaimedDevice.h"
#include "link/DeviceList.h"
#include "link/Framing.h"
#include "link/Protocol.h"
#include "link/hidapi/HidapiBackend.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace qmx::link {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr int kWaitMs = 5000;

// Reads one report, waiting up to kWaitMs; the device itself returns after short slices.
int readReport(HidDevice& device, Bytes& buffer)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const int n = device.read(buffer, 50ms);
        if (n != 0) {
            return n;
        }
    }
    return 0;
}

Bytes report(std::initializer_list<std::uint8_t> head, std::size_t length)
{
    Bytes bytes(head);
    bytes.resize(length, 0);
    return bytes;
}

// The emulator is declared first, so it outlives every backend and device of a test.
class HidapiBackendTest : public ::testing::Test {
protected:
    test::EmulatedHidraw hidraw;
};

TEST_F(HidapiBackendTest, EnumerationListsEachNodeOnceWithProductStringAndIds)
{
    hidraw.add({});
    test::NodeOptions unnamed;
    unnamed.index = 1;
    unnamed.product = "";
    hidraw.add(unnamed);
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);

    const auto devices = backend.enumerate();

    ASSERT_EQ(devices.size(), 2U);
    EXPECT_EQ(devices[0].path, "/dev/hidraw0");
    EXPECT_EQ(devices[0].product, u"QMX80NET");
    EXPECT_EQ(devices[0].vendorId, 0x1A2B);
    EXPECT_EQ(devices[0].productId, 0x00FF);
    EXPECT_EQ(deviceEntryText(devices[0]), QStringLiteral("QMX80NET"));
    EXPECT_EQ(devices[1].path, "/dev/hidraw1");
    EXPECT_TRUE(devices[1].product.empty());
    EXPECT_EQ(deviceEntryText(devices[1]), QStringLiteral("Device VID=1A2B PID=00FF"));
}

TEST_F(HidapiBackendTest, NodeWithTwoTopLevelCollectionsIsListedOnce)
{
    // hidapi lists a node once per top-level collection; here a second one (report ID 2) follows
    // the transducer's vendor collection.
    test::NodeOptions options;
    options.descriptor.insert(options.descriptor.end(), {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x02, 0x09, 0x01,
                                                   0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0});
    hidraw.add(options);
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);

    const auto devices = backend.enumerate();

    ASSERT_EQ(devices.size(), 1U);
    EXPECT_EQ(devices[0].path, "/dev/hidraw0");
    // The lengths are those of the largest reports of the whole node.
    const OpenResult opened = backend.open(devices[0]);
    ASSERT_NE(opened.device, nullptr) << opened.error;
    EXPECT_EQ(opened.device->inputReportLength(), 65U);
}

TEST_F(HidapiBackendTest, UsbDeviceIsListedByItsUsbProductString)
{
    test::NodeOptions options;
    options.usb = true;
    hidraw.add(options);
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);

    const auto devices = backend.enumerate();

    ASSERT_EQ(devices.size(), 1U);
    EXPECT_EQ(devices[0].product, u"QMX80NET"); // not the kernel's "Maker QMX80NET"
    EXPECT_EQ(devices[0].vendorId, 0x1A2B);
    EXPECT_EQ(devices[0].productId, 0x00FF);
    const OpenResult opened = backend.open(devices[0]);
    ASSERT_NE(opened.device, nullptr) << opened.error;
    EXPECT_EQ(opened.device->outputReportLength(), 65U);
}

TEST_F(HidapiBackendTest, TransducerOpensReadWriteWithLengthsFromItsDescriptor)
{
    hidraw.add({}, [](std::span<const std::uint8_t> request) {
        return std::vector<Bytes>{report({0x01, request[1], 0x5A}, 65)};
    });
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);
    const auto devices = backend.enumerate();
    ASSERT_EQ(devices.size(), 1U);

    OpenResult opened = backend.open(devices[0]);

    ASSERT_NE(opened.device, nullptr) << opened.error;
    EXPECT_TRUE(opened.error.empty());
    EXPECT_EQ(opened.device->inputReportLength(), 65U);
    EXPECT_EQ(opened.device->outputReportLength(), 65U);

    // A one-byte request as the link frames it arrives whole and exact: ID 1, code, zeros to 65.
    const auto request = buildOutputReport(std::array<std::uint8_t, 1>{0x02}, opened.device->outputReportLength());
    ASSERT_TRUE(request.has_value());
    ASSERT_TRUE(opened.device->write(*request));
    ASSERT_EQ(hidraw.writes(0).size(), 1U);
    EXPECT_EQ(hidraw.writes(0)[0], report({0x01, 0x02}, 65));

    // The reply comes back as one report, report ID first.
    Bytes buffer(66, 0xEE);
    ASSERT_EQ(readReport(*opened.device, buffer), 65);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 65), report({0x01, 0x02, 0x5A}, 65));
}

TEST_F(HidapiBackendTest, RepliesSentTogetherAreReadAsSeparateReports)
{
    hidraw.add({}, [](std::span<const std::uint8_t>) {
        return std::vector<Bytes>{report({0x01, 0x01, 0x11}, 65), report({0x01, 0x01, 0x22}, 65)};
    });
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);
    OpenResult opened = backend.open(backend.enumerate().at(0));
    ASSERT_NE(opened.device, nullptr) << opened.error;

    ASSERT_TRUE(opened.device->write(report({0x01, 0x01}, 65)));

    Bytes first(66);
    Bytes second(66);
    ASSERT_EQ(readReport(*opened.device, first), 65);
    ASSERT_EQ(readReport(*opened.device, second), 65);
    EXPECT_EQ(first[2], 0x11);
    EXPECT_EQ(second[2], 0x22);
}

TEST_F(HidapiBackendTest, WritesFromTwoThreadsGetThroughWhileTheReaderRuns)
{
    // Every request is echoed; the reader thread of a claimed device takes the replies while two
    // threads write, as the poll thread and the user-interface thread do.
    hidraw.add({}, [](std::span<const std::uint8_t> request) {
        return std::vector<Bytes>{report({0x01, request[1], request[2]}, 65)};
    });
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);
    const HidDeviceInfo info = backend.enumerate().at(0);
    ClaimedDevice device(info, backend.open(info));
    ASSERT_TRUE(device.isReadWrite()) << device.openError();
    std::mutex repliesMutex;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> replies;
    device.attach([&](std::uint8_t, std::vector<std::uint8_t> payload) {
        std::lock_guard lock(repliesMutex);
        replies.emplace_back(payload[0], payload[1]);
    });

    constexpr int kPerThread = 40;
    const auto sendAll = [&device](std::uint8_t code) {
        for (int i = 0; i < kPerThread; ++i) {
            const std::array<std::uint8_t, 2> payload{code, static_cast<std::uint8_t>(i)};
            EXPECT_TRUE(device.write(payload));
        }
    };
    std::thread poller(sendAll, CMD_GET_MEASUREMENT);
    sendAll(CMD_GET_INFO);
    poller.join();

    const auto allReplies = [&] {
        std::lock_guard lock(repliesMutex);
        return replies.size() == 2 * kPerThread;
    };
    ASSERT_TRUE(QTest::qWaitFor(allReplies, kWaitMs));
    device.release();

    // Each thread's requests arrived whole and in its own order, and each got its reply.
    const auto writes = hidraw.writes(0);
    ASSERT_EQ(writes.size(), 2U * kPerThread);
    for (const std::uint8_t code : {CMD_GET_MEASUREMENT, CMD_GET_INFO}) {
        int next = 0;
        for (const auto& w : writes) {
            ASSERT_EQ(w.size(), 65U);
            if (w[1] == code) {
                EXPECT_EQ(w, report({0x01, code, static_cast<std::uint8_t>(next)}, 65));
                ++next;
            }
        }
        EXPECT_EQ(next, kPerThread);
        EXPECT_EQ(std::count_if(replies.begin(), replies.end(), [code](const auto& r) { return r.first == code; }),
                  kPerThread);
    }
}

TEST_F(HidapiBackendTest, DeviceWithoutReportIdsGetsPlaceholderIdZero)
{
    test::NodeOptions options;
    options.descriptor = test::kUnnumberedDescriptor;
    // Such a device sends its 64 data bytes with no report ID in front.
    hidraw.add(options, [](std::span<const std::uint8_t> request) {
        return std::vector<Bytes>{report({request[1], 0x33}, 64)};
    });
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);
    OpenResult opened = backend.open(backend.enumerate().at(0));
    ASSERT_NE(opened.device, nullptr) << opened.error;
    EXPECT_EQ(opened.device->inputReportLength(), 65U);
    EXPECT_EQ(opened.device->outputReportLength(), 65U);

    // The link always puts report ID 1 in front; hidraw must get 0 there, which it drops.
    ASSERT_TRUE(opened.device->write(report({0x01, 0x85, 0x01}, 65)));
    ASSERT_EQ(hidraw.writes(0).size(), 1U);
    EXPECT_EQ(hidraw.writes(0)[0], report({0x00, 0x85, 0x01}, 65));

    // The reply reaches the reader with ID 0 in front of the device's 64 bytes.
    Bytes buffer(66, 0xEE);
    ASSERT_EQ(readReport(*opened.device, buffer), 65);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 65), report({0x00, 0x85, 0x33}, 65));
}

TEST_F(HidapiBackendTest, MissingNodeIsNotOpenedAndSaysWhy)
{
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);

    const OpenResult opened = backend.open({"/dev/hidraw7", u"QMX80NET", 0x1A2B, 0x00FF});

    EXPECT_EQ(opened.device, nullptr);
    EXPECT_EQ(opened.error, "/dev/hidraw7: No such file or directory");
}

TEST_F(HidapiBackendTest, NodeThatIsNoHidrawDeviceIsNotOpenedAndSaysWhy)
{
    test::NodeOptions options;
    options.answersHidrawIoctls = false;
    hidraw.add(options);
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);

    const OpenResult opened = backend.open(backend.enumerate().at(0));

    EXPECT_EQ(opened.device, nullptr);
    EXPECT_EQ(opened.error, "/dev/hidraw0: not a hidraw device (Inappropriate ioctl for device)");
}

TEST_F(HidapiBackendTest, NodeWithoutAccessIsNotOpenedAndSaysWhy)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root opens the node whatever its mode";
    }
    hidraw.add({});
    ASSERT_EQ(::chmod("/dev/hidraw0", 0), 0);
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);

    const OpenResult opened = backend.open(backend.enumerate().at(0));

    EXPECT_EQ(opened.device, nullptr);
    EXPECT_EQ(opened.error, "/dev/hidraw0: Permission denied");
}

TEST_F(HidapiBackendTest, UdevMonitorNoticesNodesComingAndGoing)
{
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);
    ASSERT_TRUE(backend.usesUdevMonitor());
    QSignalSpy changes(&backend, &HidBackend::devicesChanged);

    hidraw.add({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.count() >= 1; }, kWaitMs));
    EXPECT_EQ(backend.enumerate().size(), 1U);

    const auto before = changes.count();
    hidraw.remove(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.count() > before; }, kWaitMs));
    EXPECT_TRUE(backend.enumerate().empty());
}

TEST_F(HidapiBackendTest, PollingNoticesNodesComingAndGoing)
{
    HidapiBackend backend(HotplugSource::Polling, 20ms);
    ASSERT_FALSE(backend.usesUdevMonitor());
    QSignalSpy changes(&backend, &HidBackend::devicesChanged);

    hidraw.add({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.count() >= 1; }, kWaitMs));
    EXPECT_EQ(backend.enumerate().size(), 1U);

    const auto before = changes.count();
    hidraw.remove(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.count() > before; }, kWaitMs));
    EXPECT_TRUE(backend.enumerate().empty());
}

} // namespace
} // namespace qmx::link
