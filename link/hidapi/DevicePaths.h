#pragma once
// Pure helpers over enumerated device paths: one entry per path, and the change test of the
// periodic re-enumeration used when no udev monitor is available.

#include "link/HidBackend.h"

#include <string>
#include <vector>

namespace qmx::link {

/// Keeps the first entry of every path, in enumeration order. hidapi lists a hidraw node once per
/// top-level collection; the program wants one entry per node.
std::vector<HidDeviceInfo> dropRepeatedPaths(std::vector<HidDeviceInfo> infos);

/// The paths of `infos`, in order.
std::vector<std::string> pathsOf(const std::vector<HidDeviceInfo>& infos);

/// True when the two enumerations list different sets of paths. Order and repeats do not count:
/// only a device that came or went is a change.
bool devicePathsChanged(std::vector<std::string> before, std::vector<std::string> after);

} // namespace qmx::link
