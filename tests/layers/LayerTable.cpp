// The program's layers and what each is built on: the one place that says which folder may include
// which. A layer may include itself and every layer it is built on, directly or through others;
// anything else is an upward include and fails the layer check.
//
// From the bottom: the HID link; the number texts of the display; the settings records (which the
// virtual transducer keeps, so sim/ sits above settings/); recording; the window; and on top, side
// by side and never including each other, the program (app/) and the command-line tool (cli/).

#include "IncludeScan.h"

namespace qmx::layers {

const std::vector<Layer>& layerTable()
{
    // clang-format off
    static const std::vector<Layer> table{
        // folder               built directly on
        {"link",                {"lang"}},
        {"lang",                {}},
        {"process",             {}},
        {"doc/manual/mhtml",    {}},
        {"display",             {"link", "lang"}},
        {"settings",            {"link", "display"}},
        {"recording",           {"link", "display"}},
        {"sim",                 {"link", "settings"}},
        {"publish",             {"link", "lang", "display", "settings"}, false},
        {"ui",                  {"link", "lang", "display", "settings", "recording", "doc/manual/mhtml"}},
        {"app",                 {"ui", "sim", "process"}},
        {"cli",                 {"link", "lang", "display", "settings", "recording", "sim", "process", "publish"}},
        {"doc/manual/tools",    {"ui", "sim"}},
    };
    // clang-format on
    return table;
}

} // namespace qmx::layers
