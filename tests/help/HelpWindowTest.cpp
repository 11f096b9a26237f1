// The help window: the manual's address, opening it from folders with blanks and Polish letters,
// reopening at the beginning, links inside the page, and the page shown when there is no manual.

#include "ui/windows/HelpWindow.h"

#include "doc/manual/mhtml/MhtWriter.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using qmx::ui::HelpWindow;

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(QMX_HELP_FIXTURES) + u'/' + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

/// A manual long enough to scroll, with a heading, a picture and an anchor at its end.
QByteArray manualBytes(const QString& heading)
{
    QString html = QStringLiteral("<html><body><h1>%1</h1><p><img src=\"img/niebieski.png\"></p>").arg(heading);
    for (int i = 0; i < 200; ++i) {
        html += QStringLiteral("<p>Akapit %1 instrukcji.</p>").arg(i);
    }
    html += QStringLiteral("<p><a name=\"koniec\"></a>Koniec instrukcji.</p></body></html>");
    qmx::manual::MhtContent content;
    content.subject = QStringLiteral("Instrukcja testowa");
    content.html = html.toUtf8();
    content.location = QStringLiteral("https://qmx80net.invalid/test/instrukcja.html");
    content.attachments.push_back({QStringLiteral("img/niebieski.png"), QStringLiteral("image/png"), fixture("blue.png")});
    return qmx::manual::writeMht(content);
}

class HelpWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        // A blank and a Polish letter in the folder's name, as in a user's documents folder.
        m_folder = QDir(m_root.path()).filePath(QStringLiteral("Moje dokumenty ż"));
        ASSERT_TRUE(QDir().mkpath(m_folder));
    }

    QString manualPath() const { return QDir(m_folder).filePath(QStringLiteral("QMX80NET_instrukcja.mht")); }

    void writeManual(const QByteArray& bytes) const
    {
        QFile file(manualPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    static QString shownText(const HelpWindow& help) { return help.manualView->toPlainText(); }

    QTemporaryDir m_root;
    QString m_folder;
};

TEST_F(HelpWindow, ManualAddressIsTheFileUrlOfTheLocalPath)
{
    const QString folders[] = {
        QStringLiteral("/opt/qmx80net"),
        QStringLiteral("/opt/qmx80net/"),
        QStringLiteral("/home/jan/Moje dokumenty ż/QMX 80"),
        QStringLiteral("/home/jan/50% #1?"),
    };
    for (const QString& folder : folders) {
        const QUrl url = HelpWindow::manualAddress(folder);
        EXPECT_TRUE(url.isValid()) << folder.toStdString();
        EXPECT_EQ(url.scheme(), QStringLiteral("file")) << folder.toStdString();
        EXPECT_EQ(url.toLocalFile(), QDir::cleanPath(folder) + QStringLiteral("/QMX80NET_instrukcja.mht"))
            << folder.toStdString();
        // The address as text names the folder as it is written, and reads back to the same file.
        EXPECT_FALSE(url.toString().contains(u'\\'));
        EXPECT_EQ(QUrl(url.toString()).toLocalFile(), url.toLocalFile()) << url.toString().toStdString();
    }
    EXPECT_TRUE(HelpWindow::manualAddress(QStringLiteral("/home/jan/Moje dokumenty ż"))
                    .toString()
                    .startsWith(QStringLiteral("file:///home/jan/Moje dokumenty ż/")));
}

TEST_F(HelpWindow, WindowIsTheResizableManualWindow)
{
    HelpWindow help(m_folder);
    EXPECT_EQ(help.objectName(), QStringLiteral("FHelp"));
    EXPECT_EQ(help.windowTitle(), QStringLiteral("QMX80NET instrukcja"));
    EXPECT_EQ(help.size(), QSize(655, 611));
    EXPECT_TRUE(help.isWindow());
    EXPECT_TRUE(help.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(help.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(help.manualView->objectName(), QStringLiteral("CppWebBrowser1"));
    help.show();
    EXPECT_EQ(help.manualView->geometry(), help.rect());
    help.resize(900, 700);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(help.manualView->geometry(), help.rect());
}

TEST_F(HelpWindow, OpensTheManualFromAFolderWithABlankAndAPolishLetter)
{
    writeManual(manualBytes(QStringLiteral("Instrukcja testowa żółw")));
    HelpWindow help(m_folder);
    EXPECT_FALSE(help.manualView->showsArchive()) << "nothing is read before the window is shown";
    help.showManual();
    ASSERT_TRUE(help.isVisible());
    EXPECT_EQ(help.windowModality(), Qt::NonModal);

    EXPECT_EQ(help.manualView->address().toLocalFile(), manualPath());
    ASSERT_TRUE(help.manualView->showsArchive());
    EXPECT_TRUE(shownText(help).startsWith(QStringLiteral("Instrukcja testowa żółw")));
    const QVariant picture =
        help.manualView->document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("img/niebieski.png")));
    ASSERT_EQ(picture.metaType(), QMetaType::fromType<QImage>());
    EXPECT_EQ(picture.value<QImage>().size(), QSize(2, 2));
}

TEST_F(HelpWindow, EveryOpeningReadsTheManualAfreshFromItsBeginning)
{
    writeManual(manualBytes(QStringLiteral("Pierwsze wydanie")));
    HelpWindow help(m_folder);
    help.show();
    QScrollBar* bar = help.manualView->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0) << "the manual must be long enough to scroll";
    bar->setValue(bar->maximum());
    ASSERT_GT(bar->value(), 0);

    // Asking for the manual while it is open only brings the window forward: the place is kept.
    help.showManual();
    EXPECT_EQ(bar->value(), bar->maximum());

    help.close(); // the frame's close button hides the window
    EXPECT_FALSE(help.isVisible());
    writeManual(manualBytes(QStringLiteral("Drugie wydanie")));
    help.showManual();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(shownText(help).startsWith(QStringLiteral("Drugie wydanie")));
}

TEST_F(HelpWindow, LinksInsideTheManualMoveToTheirAnchor)
{
    writeManual(manualBytes(QStringLiteral("Spis treści")));
    HelpWindow help(m_folder);
    help.show();
    QScrollBar* bar = help.manualView->verticalScrollBar();
    ASSERT_EQ(bar->value(), 0);
    emit help.manualView->anchorClicked(QUrl(QStringLiteral("#koniec")));
    EXPECT_GT(bar->value(), bar->maximum() / 2);
    EXPECT_TRUE(help.manualView->showsArchive()) << "following an anchor stays in the manual";
}

TEST_F(HelpWindow, WithoutAManualTheWindowSaysSoAndStaysUsable)
{
    const struct {
        const char* name;
        std::function<void(const QString& path)> prepare;
        const char* reason;
    } cases[] = {
        {"missing file", [](const QString&) {}, "Nie znaleziono pliku instrukcji."},
        {"a folder in its place", [](const QString& path) { QDir().mkpath(path); }, "Nie można odczytać pliku instrukcji"},
        {"not an archive",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("<html><body>zwykła strona</body></html>");
         },
         "Plik nie jest archiwum MIME HTML"},
    };
    for (const auto& c : cases) {
        QTemporaryDir root;
        const QString folder = QDir(root.path()).filePath(QStringLiteral("Program ż"));
        ASSERT_TRUE(QDir().mkpath(folder));
        c.prepare(HelpWindow::manualAddress(folder).toLocalFile());

        HelpWindow help(folder);
        help.show();
        EXPECT_TRUE(help.isVisible()) << c.name;
        EXPECT_FALSE(help.manualView->showsArchive()) << c.name;
        const QString text = shownText(help);
        EXPECT_TRUE(text.startsWith(QStringLiteral("Nie można wyświetlić instrukcji"))) << c.name;
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.reason))) << c.name << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("QMX80NET_instrukcja.mht"))) << c.name;
        EXPECT_TRUE(text.contains(folder)) << c.name << ": the page names where the manual was looked for";
    }
}

TEST_F(HelpWindow, AManualPutInPlaceLaterIsShownAtTheNextOpening)
{
    HelpWindow help(m_folder);
    help.show();
    ASSERT_FALSE(help.manualView->showsArchive());
    help.hide();
    writeManual(manualBytes(QStringLiteral("Instrukcja dostarczona później")));
    help.show();
    ASSERT_TRUE(help.manualView->showsArchive());
    EXPECT_TRUE(shownText(help).startsWith(QStringLiteral("Instrukcja dostarczona później")));
}

TEST_F(HelpWindow, PicturesComeFromTheArchiveNotFromTheDisk)
{
    // A file beside the manual with the name the page uses must not be shown in its place.
    writeManual(manualBytes(QStringLiteral("Instrukcja")));
    ASSERT_TRUE(QDir(m_folder).mkpath(QStringLiteral("img")));
    QImage(5, 5, QImage::Format_RGB32).save(QDir(m_folder).filePath(QStringLiteral("img/niebieski.png")));
    HelpWindow help(m_folder);
    help.show();
    const QVariant picture =
        help.manualView->document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("img/niebieski.png")));
    EXPECT_EQ(picture.value<QImage>().size(), QSize(2, 2));
    const QVariant missing =
        help.manualView->document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("img/inny.png")));
    EXPECT_TRUE(missing.value<QImage>().isNull());
}

} // namespace
