// Reading and writing MIME HTML archives: the packer's output read back, archives saved by
// browsers, references to the pictures, character sets and refused files.

#include "doc/manual/mhtml/MhtArchive.h"
#include "doc/manual/mhtml/MhtWriter.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace {

using qmx::manual::decodeText;
using qmx::manual::embeddedReferences;
using qmx::manual::MhtArchive;
using qmx::manual::MhtAttachment;
using qmx::manual::MhtContent;
using qmx::manual::MhtError;
using qmx::manual::writeMht;

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(QMX_HELP_FIXTURES) + u'/' + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) {
        bytes.append(static_cast<char>(i));
    }
    return bytes.repeated(5);
}

MhtContent sampleContent()
{
    MhtContent content;
    content.subject = QStringLiteral("Instrukcja żółw");
    // A long line, "=" and a trailing blank exercise the quoted-printable encoder.
    content.html = QStringLiteral("<html><body><h1>Zażółć gęślą jaźń</h1><p>a=b &amp; %1 </p>"
                                  "<img src=\"img/a.png\"><img src=\"img/b.bin\"></body></html>")
                       .arg(QString(300, u'x'))
                       .toUtf8();
    content.location = QStringLiteral("https://qmx80net.invalid/instrukcja/instrukcja.html");
    content.attachments.push_back({QStringLiteral("img/a.png"), QStringLiteral("image/png"), fixture("blue.png")});
    content.attachments.push_back(
        {QStringLiteral("img/b.bin"), QStringLiteral("application/octet-stream"), allByteValues()});
    return content;
}

TEST(MhtArchive, PackedArchiveReadsBackByteForByte)
{
    const MhtContent content = sampleContent();
    MhtError error{};
    const auto archive = MhtArchive::parse(writeMht(content), &error);
    ASSERT_TRUE(archive.has_value()) << static_cast<int>(error);

    EXPECT_EQ(archive->subject(), content.subject);
    EXPECT_EQ(archive->root().mimeType, QStringLiteral("text/html"));
    EXPECT_EQ(archive->rootHtml(), QString::fromUtf8(content.html));
    ASSERT_EQ(archive->resources().size(), 3U);
    for (const MhtAttachment& a : content.attachments) {
        const auto* part = archive->find(QUrl(a.location));
        ASSERT_NE(part, nullptr) << a.location.toStdString();
        EXPECT_EQ(part->data, a.data) << a.location.toStdString();
        EXPECT_EQ(part->mimeType, a.mimeType);
    }
}

TEST(MhtArchive, PackedArchiveHasCrLfLinesOfMimeLengthAndBothEncodings)
{
    const QByteArray bytes = writeMht(sampleContent());
    // Browsers refuse archives with bare LF line ends; MIME limits lines to 998 characters and
    // both encodings keep them at 76.
    for (qsizetype i = bytes.indexOf('\n'); i >= 0; i = bytes.indexOf('\n', i + 1)) {
        ASSERT_GT(i, 0);
        ASSERT_EQ(bytes.at(i - 1), '\r') << "bare LF at " << i;
    }
    for (const QByteArray& line : bytes.split('\n')) {
        EXPECT_LE(line.size(), 78) << line.toStdString();
    }
    EXPECT_TRUE(bytes.contains("Content-Type: multipart/related"));
    EXPECT_TRUE(bytes.contains("Content-Transfer-Encoding: quoted-printable"));
    EXPECT_TRUE(bytes.contains("Content-Transfer-Encoding: base64"));
    EXPECT_TRUE(bytes.contains("Content-Location: https://qmx80net.invalid/instrukcja/img/a.png"));
    EXPECT_FALSE(bytes.contains("Zażółć")) << "the page must be encoded, not raw 8-bit";
}

TEST(MhtArchive, PackingTheSameContentGivesTheSameBytes)
{
    const MhtContent content = sampleContent();
    EXPECT_EQ(writeMht(content), writeMht(content));
    MhtContent changed = content;
    changed.attachments[0].data.append('\0');
    EXPECT_NE(writeMht(changed), writeMht(content));
}

TEST(MhtArchive, ReadsAnArchiveSavedByInternetExplorer)
{
    const auto archive = MhtArchive::parse(fixture("ie-saved.mht"));
    ASSERT_TRUE(archive.has_value());
    EXPECT_EQ(archive->subject(), QStringLiteral("Instrukcja żółć"));
    EXPECT_EQ(archive->root().charset, QStringLiteral("windows-1250"));
    EXPECT_TRUE(archive->rootHtml().contains(QStringLiteral("<H1>Zażółć gęślą jaźń</H1>")));
    // The page refers to its picture relative to its own file: address.
    const auto* picture = archive->find(QUrl(QStringLiteral("Instrukcja_pliki/image001.png")));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->data, fixture("blue.png"));
}

TEST(MhtArchive, ReadsAnArchiveSavedByChrome)
{
    const auto archive = MhtArchive::parse(fixture("chrome-saved.mhtml"));
    ASSERT_TRUE(archive.has_value());
    EXPECT_EQ(archive->subject(), QStringLiteral("Instrukcja żółw"));
    // No charset in the part's header: the page's <meta> names it.
    EXPECT_TRUE(archive->root().charset.isEmpty());
    EXPECT_TRUE(archive->rootHtml().contains(QStringLiteral("<h1>Instrukcja żółw</h1>")));
    // A soft line break of quoted-printable ran through the address; decoding joins it again.
    const auto* blue = archive->find(QUrl(QStringLiteral("https://example.invalid/docs/img/blue.png")));
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(QImage::fromData(blue->data).size(), QSize(2, 2));
    const auto* orange = archive->find(QUrl(QStringLiteral("cid:orange-1@mhtml.blink")));
    ASSERT_NE(orange, nullptr);
    EXPECT_EQ(QImage::fromData(orange->data).pixelColor(0, 0), QColor(255, 165, 0));
}

TEST(MhtArchive, StartParameterNamesThePageAmongSeveral)
{
    const QByteArray bytes = "MIME-Version: 1.0\r\n"
                             "Content-Type: multipart/related; boundary=\"b\"; start=\"<second@x>\"\r\n\r\n"
                             "--b\r\nContent-Type: text/html\r\nContent-ID: <first@x>\r\n\r\n<p>first</p>\r\n"
                             "--b\r\nContent-Type: text/html\r\nContent-ID: <second@x>\r\n\r\n<p>second</p>\r\n"
                             "--b--\r\n";
    const auto archive = MhtArchive::parse(bytes);
    ASSERT_TRUE(archive.has_value());
    EXPECT_EQ(archive->root().contentId, QStringLiteral("second@x"));
    EXPECT_EQ(archive->rootHtml().trimmed(), QStringLiteral("<p>second</p>"));
}

TEST(MhtArchive, ReferencesResolveAgainstThePageAddress)
{
    const QByteArray bytes =
        "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"b\"\r\n\r\n"
        "--b\r\nContent-Type: text/html\r\nContent-Location: file:///C:/Docs/manual.htm\r\n\r\n<p/>\r\n"
        "--b\r\nContent-Type: image/png\r\nContent-Location: file:///C:/Docs/pics/x.png\r\n\r\nX\r\n"
        "--b\r\nContent-Type: image/png\r\nContent-ID: <y@id>\r\n\r\nY\r\n"
        "--b\r\nContent-Type: image/png\r\nContent-Location: http://example.invalid/z%20z.png\r\n\r\nZ\r\n"
        "--b--\r\n";
    const auto archive = MhtArchive::parse(bytes);
    ASSERT_TRUE(archive.has_value());
    const struct {
        const char* reference;
        const char* expected; // data of the part found; nullptr: none
    } cases[] = {
        {"pics/x.png", "X"},
        {"./pics/x.png", "X"},
        {"../Docs/pics/x.png", "X"},
        {"PICS/X.PNG", "X"}, // file: addresses written on Windows differ in letter case
        {"pics/x.png#top", "X"},
        {"file:///C:/Docs/pics/x.png", "X"},
        {"cid:y@id", "Y"},
        {"http://example.invalid/z%20z.png", "Z"},
        {"http://example.invalid/z z.png", "Z"},
        {"HTTP://EXAMPLE.INVALID/Z%20Z.PNG", nullptr},
        {"pics/missing.png", nullptr},
        {"cid:missing@id", nullptr},
        {"x.png", nullptr},
    };
    for (const auto& c : cases) {
        const auto* part = archive->find(QUrl(QString::fromUtf8(c.reference)));
        if (c.expected) {
            ASSERT_NE(part, nullptr) << c.reference;
            EXPECT_EQ(part->data.trimmed(), QByteArray(c.expected)) << c.reference;
        } else {
            EXPECT_EQ(part, nullptr) << c.reference;
        }
    }
}

TEST(MhtArchive, FilesThatHoldNoPageAreRefusedWithTheirReason)
{
    const struct {
        const char* name;
        QByteArray bytes;
        MhtError expected;
    } cases[] = {
        {"empty file", QByteArray(), MhtError::NotMime},
        {"plain HTML page", "<html><body><p>Instrukcja</p></body></html>\r\n", MhtError::NotMime},
        {"binary junk", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), MhtError::NotMime},
        {"a text message", "MIME-Version: 1.0\r\nContent-Type: text/plain\r\n\r\nhello\r\n", MhtError::NoHtml},
        {"pictures only",
         "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"b\"\r\n\r\n"
         "--b\r\nContent-Type: image/png\r\n\r\nX\r\n--b--\r\n",
         MhtError::NoHtml},
        {"multipart without parts",
         "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"b\"\r\n\r\n--b--\r\n", MhtError::NoParts},
    };
    for (const auto& c : cases) {
        MhtError error{};
        EXPECT_FALSE(MhtArchive::parse(c.bytes, &error).has_value()) << c.name;
        EXPECT_EQ(error, c.expected) << c.name;
    }
}

TEST(MhtArchive, TextIsDecodedFromItsCharacterSet)
{
    const QString polish = QStringLiteral("Zażółć gęślą jaźń");
    const struct {
        const char* charset;
        QByteArray bytes;
    } cases[] = {
        {"utf-8", polish.toUtf8()},
        {"UTF8", polish.toUtf8()},
        {"", polish.toUtf8()},
        {"windows-1250", "Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1"},
        {"ISO-8859-2", "Za\xbf\xf3\xb3\xe6 g\xea\xb6l\xb1 ja\xbc\xf1"},
        {"x-no-such-charset", polish.toUtf8()}, // unknown: read as UTF-8 rather than lost
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeText(c.bytes, QString::fromLatin1(c.charset)), polish) << c.charset;
    }
}

TEST(MhtArchive, EmbeddedReferencesAreTheRelativeSourcesOfThePage)
{
    const QString html = QStringLiteral(
        "<img src=\"img/a.png\"><IMG SRC = 'img/b.png'><img src=\"img/a.png\">"
        "<img src=\"https://example.invalid/c.png\"><img src=\"cid:d@x\"><img src=\"/e.png\">"
        "<img src=\"data:image/png;base64,AAAA\"><a href=\"f.html\">f</a><img src=\"#g\">"
        "<img data-src=\"h.png\">");
    EXPECT_EQ(embeddedReferences(html), (QStringList{QStringLiteral("img/a.png"), QStringLiteral("img/b.png")}));
}

} // namespace
