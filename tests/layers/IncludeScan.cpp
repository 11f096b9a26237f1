#include "IncludeScan.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string_view>

namespace qmx::layers {

namespace fs = std::filesystem;

namespace {

const Layer* findLayer(const std::vector<Layer>& table, const std::string& folder)
{
    const auto it = std::find_if(table.begin(), table.end(), [&](const Layer& l) { return l.folder == folder; });
    return it == table.end() ? nullptr : &*it;
}

/// The layer a root-relative path lies in: the longest table folder it starts with. Nothing when
/// it lies in none.
std::optional<std::string> layerOf(const std::vector<Layer>& table, const std::string& relative)
{
    std::optional<std::string> best;
    for (const Layer& layer : table) {
        const std::string& folder = layer.folder;
        const bool inside = relative.size() > folder.size() && relative.compare(0, folder.size(), folder) == 0 &&
                            relative[folder.size()] == '/';
        if (inside && (!best || folder.size() > best->size())) {
            best = folder;
        }
    }
    return best;
}

bool isSourceFile(const fs::path& path)
{
    static const std::set<std::string> extensions{".h", ".hpp", ".cpp", ".cc", ".cxx", ".inl"};
    return extensions.count(path.extension().string()) != 0;
}

struct IncludeLine {
    char open = '"';
    std::string target;
};

/// The target of an #include line ("# include" too); nothing for any other line.
std::optional<IncludeLine> parseInclude(std::string_view line)
{
    const auto skipSpace = [&line] {
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            line.remove_prefix(1);
        }
    };
    skipSpace();
    if (line.empty() || line.front() != '#') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    skipSpace();
    constexpr std::string_view kInclude = "include";
    if (line.substr(0, kInclude.size()) != kInclude) {
        return std::nullopt;
    }
    line.remove_prefix(kInclude.size());
    skipSpace();
    if (line.empty() || (line.front() != '"' && line.front() != '<')) {
        return std::nullopt;
    }
    const char open = line.front();
    const char close = open == '"' ? '"' : '>';
    line.remove_prefix(1);
    const auto end = line.find(close);
    if (end == std::string_view::npos || end == 0) {
        return std::nullopt;
    }
    return IncludeLine{open, std::string(line.substr(0, end))};
}

/// `path` relative to `root`, '/'-separated, when it lies inside the root.
std::optional<std::string> insideRoot(const fs::path& root, const fs::path& path)
{
    const fs::path relative = path.lexically_normal().lexically_relative(root);
    const std::string text = relative.generic_string();
    if (text.empty() || text == "." || text.rfind("..", 0) == 0) {
        return std::nullopt;
    }
    return text;
}

/// The root-relative path an include names, if it names a file of the program.
std::optional<std::string> resolve(const fs::path& root, const fs::path& includingFolder, const IncludeLine& include,
                                   const std::vector<Layer>& table)
{
    if (include.open == '"') {
        const fs::path beside = includingFolder / include.target;
        if (fs::is_regular_file(beside)) {
            return insideRoot(root, beside);
        }
    }
    const fs::path fromRoot = root / include.target;
    if (fs::is_regular_file(fromRoot)) {
        return insideRoot(root, fromRoot);
    }
    // A file that is not there (not generated yet, or gone) still names its layer: by the folder a
    // path that climbs out ("../") lands in, or by the folders a path from the root starts with.
    if (include.open == '"' && include.target.rfind("..", 0) == 0) {
        const auto landed = insideRoot(root, includingFolder / include.target);
        return landed;
    }
    const std::string normal = fs::path(include.target).lexically_normal().generic_string();
    if (layerOf(table, normal)) {
        return normal;
    }
    return std::nullopt;
}

std::string joined(const std::set<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text.empty() ? "nothing" : text;
}

} // namespace

std::set<std::string> reachableLayers(const std::vector<Layer>& table, const std::string& layer)
{
    std::set<std::string> reached;
    std::vector<std::string> pending{layer};
    while (!pending.empty()) {
        const std::string name = pending.back();
        pending.pop_back();
        const Layer* found = findLayer(table, name);
        if (found == nullptr || !reached.insert(name).second) {
            continue;
        }
        pending.insert(pending.end(), found->builtOn.begin(), found->builtOn.end());
    }
    return reached;
}

std::vector<std::string> tableFaults(const std::vector<Layer>& table)
{
    std::vector<std::string> faults;
    for (const Layer& layer : table) {
        for (const std::string& below : layer.builtOn) {
            if (findLayer(table, below) == nullptr) {
                faults.push_back(layer.folder + " is built on " + below + ", which is no layer");
            } else if (below == layer.folder || reachableLayers(table, below).count(layer.folder) != 0) {
                faults.push_back(layer.folder + " is built on itself through " + below);
            }
        }
    }
    return faults;
}

std::string UpwardInclude::describe() const
{
    return file + ":" + std::to_string(line) + ": #include " + include + ": " + reason;
}

ScanResult scanIncludes(const fs::path& rootIn, const std::vector<Layer>& table)
{
    const fs::path root = fs::absolute(rootIn).lexically_normal();
    ScanResult result;

    // Every source file once, in a fixed order, each in its most specific layer.
    std::set<std::string> files;
    for (const Layer& layer : table) {
        const fs::path folder = root / layer.folder;
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file() && isSourceFile(entry.path())) {
                if (const auto relative = insideRoot(root, entry.path())) {
                    files.insert(*relative);
                }
            }
        }
    }

    for (const std::string& file : files) {
        const std::string layer = *layerOf(table, file);
        const std::set<std::string> allowed = reachableLayers(table, layer);
        ++result.files;
        ++result.filesPerLayer[layer];

        std::ifstream in(root / file);
        std::string text;
        int lineNumber = 0;
        while (std::getline(in, text)) {
            ++lineNumber;
            const auto include = parseInclude(text);
            if (!include) {
                continue;
            }
            const auto target = resolve(root, (root / file).parent_path(), *include, table);
            if (!target) {
                continue; // a library header
            }
            const std::string written =
                std::string(1, include->open) + include->target + (include->open == '"' ? '"' : '>');
            const auto targetLayer = layerOf(table, *target);
            if (!targetLayer) {
                result.upward.push_back({file, lineNumber, written,
                                         layer + " may include no file outside the layers (" + *target + ")"});
                continue;
            }
            if (*targetLayer == layer) {
                continue;
            }
            ++result.crossLayerIncludes;
            result.edges.emplace(layer, *targetLayer);
            if (allowed.count(*targetLayer) == 0) {
                std::set<std::string> below = allowed;
                below.erase(layer);
                result.upward.push_back({file, lineNumber, written,
                                         layer + " may not include " + *targetLayer + " (it is built on " +
                                             joined(below) + ")"});
            }
        }
    }
    return result;
}

} // namespace qmx::layers
