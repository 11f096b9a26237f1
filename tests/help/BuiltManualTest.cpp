// The manual the build packs beside the executable: every picture the page shows is in the
// archive, every link of the table of contents has its target, and the help window shows it.

#include "ui/windows/HelpWindow.h"

#include "doc/manual/mhtml/MhtArchive.h"
#include "doc/manual/mhtml/MhtWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

std::optional<qmx::manual::MhtArchive> builtManual()
{
    QFile file(QStringLiteral(QMX_MANUAL_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "the build did not pack " << QMX_MANUAL_FILE;
        return std::nullopt;
    }
    return qmx::manual::MhtArchive::parse(file.readAll());
}

TEST(BuiltManual, EveryPictureOfThePageIsInTheArchive)
{
    const auto manual = builtManual();
    ASSERT_TRUE(manual.has_value());
    const QStringList pictures = qmx::manual::embeddedReferences(manual->rootHtml());
    ASSERT_GE(pictures.size(), 8) << "the manual shows the program's windows";
    for (const QString& name : pictures) {
        const auto* part = manual->find(QUrl(name));
        ASSERT_NE(part, nullptr) << name.toStdString();
        const QImage image = QImage::fromData(part->data);
        EXPECT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_GE(image.width(), 100) << name.toStdString();
    }
}

TEST(BuiltManual, EveryLinkInsideThePageHasItsAnchor)
{
    const auto manual = builtManual();
    ASSERT_TRUE(manual.has_value());
    const QString html = manual->rootHtml();
    QStringList anchors;
    static const QRegularExpression name(QStringLiteral(R"re(<a name="([^"]+)")re"));
    for (auto it = name.globalMatch(html); it.hasNext();) {
        anchors << it.next().captured(1);
    }
    static const QRegularExpression link(QStringLiteral(R"re(href="#([^"]+)")re"));
    int links = 0;
    for (auto it = link.globalMatch(html); it.hasNext(); ++links) {
        const QString target = it.next().captured(1);
        EXPECT_TRUE(anchors.contains(target)) << target.toStdString();
    }
    EXPECT_GE(links, 12);
}

TEST(BuiltManual, HelpWindowShowsTheBuiltManual)
{
    qmx::ui::HelpWindow help(QFileInfo(QStringLiteral(QMX_MANUAL_FILE)).absolutePath());
    help.show();
    ASSERT_TRUE(help.manualView->showsArchive());
    const QString text = help.manualView->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("QMX80NET-PC")));
    for (const char* heading : {"Podłączenie przetwornika", "Wejścia tensometryczne", "Format pliku CSV",
                                "Mysz", "Preferencje programu", "qmx80net-cli", "70-qmx80net.rules"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;
    }
}

} // namespace
