// qmx80net-cli: the transducer from a shell, on the program's own link code.

#include "ExitCodes.h"
#include "StandardOutput.h"
#include "ToolCommand.h"

#include "sim/Backends.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

int runCommand(QStringList args)
{
    const bool simulate = args.removeAll(QStringLiteral("--simulate")) > 0;
    if (args.isEmpty() || args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(qmx::cli::toolUsage().toLocal8Bit().constData(), args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? qmx::cli::kExitUsage : 0;
    }
    if (args.contains(QStringLiteral("--version"))) {
        qmx::cli::writeStandardOutput(QStringLiteral("qmx80net-cli %1\n").arg(QStringLiteral(QMX_VERSION)).toLocal8Bit());
        return 0;
    }
    qmx::sim::Backends backends(simulate);
    return qmx::cli::runToolCommand(backends.hid(), args);
}

} // namespace

int main(int argc, char** argv)
{
    // The plot verb paints text, which needs a GUI application; it never opens a window, so the
    // offscreen platform serves where no display is set.
    bool painting = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--simulate") != 0) {
            painting = std::strcmp(argv[i], "plot") == 0;
            break;
        }
    }
    if (painting && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::unique_ptr<QCoreApplication> app =
        painting ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    // Every verb's output is checked once more at the end: a write that failed anywhere (a full
    // disk, a closed descriptor) turns a success into a "write error".
    return qmx::cli::finishStandardOutput(runCommand(QCoreApplication::arguments().mid(1)));
}
