#include "DevicePaths.h"

#include <algorithm>
#include <unordered_set>

namespace qmx::link {

std::vector<HidDeviceInfo> dropRepeatedPaths(std::vector<HidDeviceInfo> infos)
{
    std::unordered_set<std::string> seen;
    std::vector<HidDeviceInfo> unique;
    unique.reserve(infos.size());
    for (auto& info : infos) {
        if (seen.insert(info.path).second) {
            unique.push_back(std::move(info));
        }
    }
    return unique;
}

std::vector<std::string> pathsOf(const std::vector<HidDeviceInfo>& infos)
{
    std::vector<std::string> paths;
    paths.reserve(infos.size());
    for (const auto& info : infos) {
        paths.push_back(info.path);
    }
    return paths;
}

bool devicePathsChanged(std::vector<std::string> before, std::vector<std::string> after)
{
    const auto normalise = [](std::vector<std::string>& paths) {
        std::sort(paths.begin(), paths.end());
        paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    };
    normalise(before);
    normalise(after);
    return before != after;
}

} // namespace qmx::link
