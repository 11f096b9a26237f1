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

// The Polish and the English manual are checked alike.
class BuiltManual : public ::testing::TestWithParam<const char*> {};

std::optional<qmx::manual::MhtArchive> builtManual(const char* path)
{
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "the build did not pack " << path;
        return std::nullopt;
    }
    return qmx::manual::MhtArchive::parse(file.readAll());
}

INSTANTIATE_TEST_SUITE_P(Languages, BuiltManual, ::testing::Values(QMX_MANUAL_FILE, QMX_MANUAL_EN_FILE));

TEST_P(BuiltManual, EveryPictureOfThePageIsInTheArchive)
{
    const auto manual = builtManual(GetParam());
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

TEST_P(BuiltManual, EveryLinkInsideThePageHasItsAnchor)
{
    const auto manual = builtManual(GetParam());
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

TEST(BuiltEnglishManual, HelpWindowShowsItInEnglishWithThePicturesTakenInEnglish)
{
    const QString folder = QFileInfo(QStringLiteral(QMX_MANUAL_EN_FILE)).absolutePath();
    qmx::ui::HelpWindow help(folder);
    help.setLanguage(qmx::lang::Language::English);
    help.show();
    ASSERT_TRUE(help.manualView->showsArchive());
    EXPECT_EQ(help.manualView->address().toLocalFile(), QFileInfo(QStringLiteral(QMX_MANUAL_EN_FILE)).absoluteFilePath());
    const QString text = help.manualView->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("QMX80NET-PC")));
    for (const char* heading : {"Connecting the transducer", "Strain-gauge inputs", "CSV file format", "Mouse",
                                "Program preferences", "qmx80net-cli", "70-qmx80net.rules"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;
    }
    EXPECT_FALSE(text.contains(QStringLiteral("Podłączenie przetwornika")));

    // Same picture names as the Polish manual, but not the same pictures: the window was in English.
    const auto polish = builtManual(QMX_MANUAL_FILE);
    const auto english = builtManual(QMX_MANUAL_EN_FILE);
    ASSERT_TRUE(polish.has_value() && english.has_value());
    const QStringList names = qmx::manual::embeddedReferences(english->rootHtml());
    EXPECT_EQ(names, qmx::manual::embeddedReferences(polish->rootHtml()));
    const auto* polishPicture = polish->find(QUrl(QStringLiteral("img/pomiary.png")));
    const auto* englishPicture = english->find(QUrl(QStringLiteral("img/pomiary.png")));
    ASSERT_TRUE(polishPicture != nullptr && englishPicture != nullptr);
    EXPECT_NE(polishPicture->data, englishPicture->data);
}

} // namespace
