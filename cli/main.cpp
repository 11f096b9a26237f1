// qmx80net-cli: the transducer from a shell, on the program's own link code.

#include "ToolCommand.h"

#include "app/Backends.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {
constexpr int kExitUsage = 64;
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool simulate = args.removeAll(QStringLiteral("--simulate")) > 0;
    if (args.isEmpty() || args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(qmx::cli::toolUsage(), args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? kExitUsage : 0;
    }
    qmx::app::Backends backends(simulate);
    return qmx::cli::runToolCommand(backends.hid(), args);
}
