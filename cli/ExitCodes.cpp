#include "ExitCodes.h"

namespace qmx::cli {

QString exitCodesHelp()
{
    QString text = QStringLiteral("exit codes:\n");
    for (const ExitCodeEntry& entry : kExitCodes) {
        text += QStringLiteral("  %1  %2\n")
                    .arg(entry.code, 3)
                    .arg(QString::fromUtf8(entry.meaning.data(), static_cast<qsizetype>(entry.meaning.size())));
    }
    return text;
}

} // namespace qmx::cli
