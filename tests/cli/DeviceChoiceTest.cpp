// Which devices the program and the tool search: the virtual transducer only on request, and then
// after every real device, so that a real transducer is the one linked.

#include "sim/Backends.h"
#include "link/DeviceList.h"
#include "sim/SimBackend.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qmx;

TEST(DeviceChoice, TheVirtualTransducerIsListedOnlyWithSimulateAndAfterTheRealDevices)
{
    const auto isVirtual = [](const link::HidDeviceInfo& info) { return info.path.rfind("sim:", 0) == 0; };

    sim::Backends real(false);
    const auto realOnly = real.hid().enumerate();
    EXPECT_TRUE(std::none_of(realOnly.begin(), realOnly.end(), isVirtual));

    sim::Backends simulated(true);
    const auto all = simulated.hid().enumerate();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back().path, sim::SimBackend::transducerPath(0));
    EXPECT_EQ(std::count_if(all.begin(), all.end(), isVirtual), 1);
    EXPECT_TRUE(std::all_of(all.begin(), all.end() - 1, [&](const link::HidDeviceInfo& i) { return !isVirtual(i); }));
}
