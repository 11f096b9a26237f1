#include "link/hidapi/DevicePaths.h"
#include "link/hidapi/WideString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qmx::link {
namespace {

using Paths = std::vector<std::string>;

struct DiffCase {
    const char* name;
    Paths before;
    Paths after;
    bool changed;
};

void PrintTo(const DiffCase& c, std::ostream* os)
{
    *os << c.name;
}

class DevicePathsDiff : public ::testing::TestWithParam<DiffCase> {};

TEST_P(DevicePathsDiff, ReportsOnlyDevicesThatCameOrWent)
{
    const auto& c = GetParam();
    EXPECT_EQ(devicePathsChanged(c.before, c.after), c.changed);
}

INSTANTIATE_TEST_SUITE_P(
    Polling, DevicePathsDiff,
    ::testing::Values(DiffCase{"both_empty", {}, {}, false},
                      DiffCase{"same", {"/dev/hidraw0", "/dev/hidraw1"}, {"/dev/hidraw0", "/dev/hidraw1"}, false},
                      DiffCase{"reordered", {"/dev/hidraw0", "/dev/hidraw1"}, {"/dev/hidraw1", "/dev/hidraw0"}, false},
                      DiffCase{"listed_twice", {"/dev/hidraw0"}, {"/dev/hidraw0", "/dev/hidraw0"}, false},
                      DiffCase{"first_device", {}, {"/dev/hidraw0"}, true},
                      DiffCase{"last_device_gone", {"/dev/hidraw0"}, {}, true},
                      DiffCase{"one_added", {"/dev/hidraw0"}, {"/dev/hidraw0", "/dev/hidraw2"}, true},
                      DiffCase{"one_removed", {"/dev/hidraw0", "/dev/hidraw2"}, {"/dev/hidraw2"}, true},
                      // Unplug and another device taking a new node within one interval.
                      DiffCase{"replaced", {"/dev/hidraw0", "/dev/hidraw1"}, {"/dev/hidraw0", "/dev/hidraw3"}, true}),
    [](const ::testing::TestParamInfo<DiffCase>& info) { return std::string(info.param.name); });

TEST(DevicePaths, RepeatedPathKeepsItsFirstEntryInOrder)
{
    const std::vector<HidDeviceInfo> listed{
        {"/dev/hidraw2", u"Keyboard", 0x046D, 0xC31C},
        {"/dev/hidraw0", u"QMX80NET", 0x1A2B, 0x00FF},
        {"/dev/hidraw2", u"Keyboard (consumer keys)", 0x046D, 0xC31C},
        {"/dev/hidraw1", u"", 0x1A2B, 0x00FF},
        {"/dev/hidraw0", u"QMX80NET", 0x1A2B, 0x00FF},
    };
    const auto unique = dropRepeatedPaths(listed);
    ASSERT_EQ(pathsOf(unique), (Paths{"/dev/hidraw2", "/dev/hidraw0", "/dev/hidraw1"}));
    EXPECT_EQ(unique[0].product, u"Keyboard");
    EXPECT_EQ(unique[1].vendorId, 0x1A2B);
}

struct WideCase {
    const char* name;
    std::wstring wide;
    std::u16string utf16;
};

void PrintTo(const WideCase& c, std::ostream* os)
{
    *os << c.name;
}

class WideText : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideText, BecomesUtf16)
{
    EXPECT_EQ(utf16FromWide(GetParam().wide), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(
    ProductStrings, WideText,
    ::testing::Values(WideCase{"empty", L"", u""},
                      WideCase{"ascii", L"QMX80NET", u"QMX80NET"},
                      WideCase{"polish", L"Przetwornik tensometryczny \u0142\u00F3d\u017A", u"Przetwornik tensometryczny \u0142\u00F3d\u017A"},
                      // Above U+FFFF: a surrogate pair (U+1F600 is D83D DE00).
                      WideCase{"astral", std::wstring{L'A', static_cast<wchar_t>(0x1F600), L'B'}, u"A\xD83D\xDE00" u"B"},
                      // Lone surrogates and values beyond Unicode are not text: U+FFFD.
                      WideCase{"lone_surrogate", std::wstring{static_cast<wchar_t>(0xD800), L'x'}, u"\xFFFDx"},
                      WideCase{"beyond_unicode", std::wstring{static_cast<wchar_t>(0x110000)}, u"\xFFFD"}),
    [](const ::testing::TestParamInfo<WideCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace qmx::link
