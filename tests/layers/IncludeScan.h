#pragma once
// Reads the #include lines of the source files in the layer folders and finds every include that
// points upward: into a layer that the including file's layer is not built on, or out of the layers
// altogether (tests, benchmarks, build output).

#include <cstddef>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qmx::layers {

/// One layer: its folder (relative to the source root, '/'-separated; a sub-folder such as
/// "doc/manual/mhtml" is a layer of its own) and the layers it is built on directly.
struct Layer {
    std::string folder;
    std::vector<std::string> builtOn;
    /// False for a layer whose folder may be missing from a checkout.
    bool required = true;
};

/// The layers of this program, lowest first (defined in LayerTable.cpp).
const std::vector<Layer>& layerTable();

/// The layers `layer` may include: itself and every layer it is built on, directly or through
/// others. Empty for a name the table does not know.
std::set<std::string> reachableLayers(const std::vector<Layer>& table, const std::string& layer);

/// The names in the table's `builtOn` lists that are no layer of the table, and the layers that
/// are built on themselves through a cycle. Empty for a sound table.
std::vector<std::string> tableFaults(const std::vector<Layer>& table);

/// An include that points upward.
struct UpwardInclude {
    std::string file; ///< relative to the source root
    int line = 0;
    std::string include; ///< the include as written, with its quotes or angle brackets
    std::string reason;

    std::string describe() const;
    friend bool operator==(const UpwardInclude&, const UpwardInclude&) = default;
};

struct ScanResult {
    std::size_t files = 0;
    /// Includes of a file in a layer other than the including file's own.
    std::size_t crossLayerIncludes = 0;
    std::map<std::string, std::size_t> filesPerLayer;
    /// (including layer, included layer) pairs seen, allowed or not.
    std::set<std::pair<std::string, std::string>> edges;
    std::vector<UpwardInclude> upward;
};

/// Scans every C++ source file (.h .hpp .cpp .cc .cxx .inl) under the table's folders in `root`.
/// A quoted include is looked up beside the including file first, then from the root, as the
/// compiler does with the root on the include path; an angle-bracket include from the root only.
/// An include found in neither place counts as the layer its first folder names, if any, and is
/// otherwise a library header outside the program.
ScanResult scanIncludes(const std::filesystem::path& root, const std::vector<Layer>& table);

} // namespace qmx::layers
