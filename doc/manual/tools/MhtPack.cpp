// Packs the user's manual into one MIME HTML archive: the page and every picture it embeds.
//
//   qmx_mht_pack OUTPUT.mht PAGE.html FOLDER...
//
// Each picture the page names (src="img/pomiary.png") is looked up in the folders in the order
// given; a picture found in none of them stops the build, so the manual never ships with a hole.

#include "doc/manual/mhtml/MhtWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSaveFile>

#include <cstdio>

namespace {

constexpr int kExitUsage = 64;

int failure(const QString& text)
{
    std::fprintf(stderr, "qmx_mht_pack: %s\n", qPrintable(text));
    return 1;
}

std::optional<QByteArray> readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 3) {
        std::fputs("usage: qmx_mht_pack OUTPUT.mht PAGE.html FOLDER...\n", stderr);
        return kExitUsage;
    }
    const QString output = args.at(0);
    const QString pagePath = args.at(1);
    const QStringList folders = args.mid(2);

    const auto page = readFile(pagePath);
    if (!page) {
        return failure(QStringLiteral("cannot read %1").arg(pagePath));
    }
    const QString html = QString::fromUtf8(*page);

    qmx::manual::MhtContent content;
    content.html = *page;
    // The page's address names no real place: the archive is self-contained, and a relative name
    // is resolved by every reader against it. Pages saved by browsers carry their web address here.
    content.location = QStringLiteral("https://qmx80net.invalid/instrukcja/") + QFileInfo(pagePath).fileName();
    content.subject = QStringLiteral("QMX80NET-PC - instrukcja obsługi");

    const QMimeDatabase mimeTypes;
    for (const QString& reference : qmx::manual::embeddedReferences(html)) {
        std::optional<QByteArray> data;
        QString found;
        for (const QString& folder : folders) {
            found = QDir(folder).filePath(reference);
            if ((data = readFile(found))) {
                break;
            }
        }
        if (!data) {
            return failure(QStringLiteral("%1 names %2, found in none of: %3")
                               .arg(pagePath, reference, folders.join(QStringLiteral(", "))));
        }
        content.attachments.push_back({reference, mimeTypes.mimeTypeForFile(found).name(), *data});
    }

    QSaveFile out(output);
    if (!out.open(QIODevice::WriteOnly) || out.write(qmx::manual::writeMht(content)) < 0 || !out.commit()) {
        return failure(QStringLiteral("cannot write %1: %2").arg(output, out.errorString()));
    }
    return 0;
}
