// Layers include only downward: every #include in the layer folders points into the file's own
// layer or one it is built on (LayerTable.cpp).

#include "IncludeScan.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>
#include <tuple>

#include <unistd.h>

using namespace qmx::layers;
namespace fs = std::filesystem;

namespace {

/// A folder of its own under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "qmx-layers-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::system_error(errno, std::generic_category(), "mkdtemp");
        }
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

void writeFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

std::string listed(const std::vector<UpwardInclude>& upward)
{
    std::string text;
    for (const UpwardInclude& u : upward) {
        text += "\n  " + u.describe();
    }
    return text;
}

// What the program's own tree holds today, with room to shrink: a scan that sees fewer files or
// includes looked in the wrong place or misread the lines.
constexpr std::size_t kMinimumFiles = 160;
constexpr std::size_t kMinimumCrossLayerIncludes = 110;

} // namespace

TEST(LayerTable, NamesOnlyItsOwnLayersAndHasNoCycle)
{
    EXPECT_TRUE(tableFaults(layerTable()).empty());

    // The check of the table itself finds both kinds of fault.
    const std::vector<Layer> faulty{{"a", {"b"}}, {"b", {"a"}}, {"c", {"nowhere"}}};
    const auto faults = tableFaults(faulty);
    ASSERT_EQ(faults.size(), 3U);
    EXPECT_EQ(faults[2], "c is built on nowhere, which is no layer");
}

TEST(LayerTable, TheProgramAndTheToolStandBesideEachOtherOnTheSameLayers)
{
    const auto app = reachableLayers(layerTable(), "app");
    const auto cli = reachableLayers(layerTable(), "cli");
    EXPECT_EQ(app.count("cli"), 0U);
    EXPECT_EQ(cli.count("app"), 0U);
    EXPECT_EQ(cli.count("ui"), 0U);
    for (const char* shared : {"link", "sim", "settings", "recording", "display", "process"}) {
        EXPECT_EQ(app.count(shared), 1U) << shared;
        EXPECT_EQ(cli.count(shared), 1U) << shared;
    }
}

TEST(LayerIncludes, EveryIncludeOfTheProgramPointsDownward)
{
    const ScanResult scan = scanIncludes(QMX_SOURCE_DIR, layerTable());

    EXPECT_TRUE(scan.upward.empty()) << "upward includes:" << listed(scan.upward);

    // Not a pass over nothing: the tree was found, its includes were read and resolved to layers.
    EXPECT_GE(scan.files, kMinimumFiles);
    EXPECT_GE(scan.crossLayerIncludes, kMinimumCrossLayerIncludes);
    for (const Layer& layer : layerTable()) {
        if (layer.required) {
            EXPECT_GT(scan.filesPerLayer.count(layer.folder) != 0 ? scan.filesPerLayer.at(layer.folder) : 0U, 0U)
                << layer.folder;
        }
    }
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"ui", "settings"}, {"ui", "doc/manual/mhtml"}, {"app", "ui"}, {"app", "process"},
             {"cli", "sim"}, {"cli", "process"}, {"sim", "settings"}, {"settings", "display"}}) {
        EXPECT_EQ(scan.edges.count({from, to}), 1U) << from << " -> " << to;
    }
}

TEST(LayerIncludes, AFixtureWithForbiddenIncludesFailsNamingEachFileAndInclude)
{
    const ScratchFolder root;
    const std::vector<std::pair<std::string, std::string>> files{
        {"link/Frame.h", "#pragma once\n"},
        {"link/Frame.cpp", "#include \"Frame.h\"\n#include <vector>\n#include \"ui/Window.h\"\n"},
        {"settings/prefs/Prefs.h", "#pragma once\n#include \"link/Frame.h\"\n"},
        {"settings/prefs/Prefs.cpp",
         "#include \"Prefs.h\"\n// #include \"cli/Tool.h\"\n#  include \"../../app/Main.h\"\n#include <cli/Tool.h>\n"
         "#include \"display/NotYetThere.h\"\n"},
        {"ui/Window.h", "#pragma once\n#include \"settings/prefs/Prefs.h\"\n"},
        {"ui/Window.cpp", "#include \"Window.h\"\n#include \"tests/support/Fake.h\"\n#include \"sim/NotYetThere.h\"\n"},
        {"sim/Sim.h", "#include \"settings/prefs/Prefs.h\"\n#include \"../link/Frame.h\"\n"},
        {"cli/Tool.h", ""},
        {"cli/Tool.cpp", "#include \"Tool.h\"\n#include \"sim/Sim.h\"\n#include \"app/Main.h\"\n"},
        {"app/Main.h", ""},
        {"app/Main.cpp", "#include \"Main.h\"\n#include \"ui/Window.h\"\n#include \"cli/Tool.h\"\n"},
        {"tests/support/Fake.h", "#include \"app/Main.h\"\n"}, // not a layer: not read
        {"ui/icons/notes.txt", "#include \"app/Main.h\"\n"},   // not a source file: not read
    };
    for (const auto& [path, text] : files) {
        writeFile(root.path() / path, text);
    }

    const ScanResult scan = scanIncludes(root.path(), layerTable());

    using Found = std::tuple<std::string, int, std::string>;
    std::vector<Found> found;
    for (const UpwardInclude& u : scan.upward) {
        found.emplace_back(u.file, u.line, u.include);
    }
    const std::vector<Found> expected{
        {"app/Main.cpp", 3, "\"cli/Tool.h\""},
        {"cli/Tool.cpp", 3, "\"app/Main.h\""},
        {"link/Frame.cpp", 3, "\"ui/Window.h\""},
        {"settings/prefs/Prefs.cpp", 3, "\"../../app/Main.h\""},
        {"settings/prefs/Prefs.cpp", 4, "<cli/Tool.h>"},
        {"ui/Window.cpp", 2, "\"tests/support/Fake.h\""},
        {"ui/Window.cpp", 3, "\"sim/NotYetThere.h\""},
    };
    EXPECT_EQ(found, expected) << listed(scan.upward);
    ASSERT_FALSE(scan.upward.empty());
    EXPECT_EQ(scan.upward[2].describe(),
              "link/Frame.cpp:3: #include \"ui/Window.h\": link may not include ui (it is built on lang)");
    EXPECT_EQ(scan.upward[5].reason, "ui may include no file outside the layers (tests/support/Fake.h)");

    EXPECT_EQ(scan.files, 11U);
    EXPECT_EQ(scan.crossLayerIncludes, 13U);
    EXPECT_EQ(scan.filesPerLayer.at("settings"), 2U);
    EXPECT_EQ(scan.edges.count({"sim", "link"}), 1U); // "../link/Frame.h" from sim/
    EXPECT_EQ(scan.edges.count({"settings", "display"}), 1U);
}
