#include "settings/profile/ProfileDocument.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <optional>

using namespace qmx::settings;

namespace {

ProfileDocument parse(const QByteArray& bytes)
{
    return ProfileDocument::fromBytes(bytes);
}

std::optional<QString> text(const QString& s)
{
    return s;
}

} // namespace

TEST(ProfileDocument, SectionAndKeyNamesMatchWithoutRegardToCase)
{
    ProfileDocument doc = parse("[tensallconfig]\r\nselTENS=3\r\n");
    EXPECT_EQ(doc.value(u"TensAllConfig", u"SelTens"), text("3"));
    EXPECT_EQ(doc.value(u"TENSALLCONFIG", u"seltens"), text("3"));

    ASSERT_TRUE(doc.setValue(u"TensAllConfig", u"SelTens", u"1"));
    EXPECT_EQ(doc.toBytes(), QByteArray("[tensallconfig]\r\nSelTens=1\r\n"));
}

TEST(ProfileDocument, LinesAreReadWithBlanksAroundNamesAndValuesIgnored)
{
    const ProfileDocument doc = parse("  [ Options ]  ; trailing note\n"
                                      "  Rate =  2 \t\n"
                                      "IP=192.168.0.2\n"
                                      "Expr=value=more\n"
                                      "Empty=\n"
                                      "   \n"
                                      "no equals sign here\n");
    EXPECT_EQ(doc.value(u"Options", u"Rate"), text("2"));
    EXPECT_EQ(doc.value(u" Options ", u" rate"), text("2"));
    EXPECT_EQ(doc.value(u"Options", u"IP"), text("192.168.0.2"));
    EXPECT_EQ(doc.value(u"Options", u"Expr"), text("value=more"));
    EXPECT_EQ(doc.value(u"Options", u"Empty"), text(""));
    EXPECT_EQ(doc.value(u"Options", u"no equals sign here"), std::nullopt);
}

TEST(ProfileDocument, KeysAreFoundOnlyInTheirOwnSection)
{
    const ProfileDocument doc = parse("Rate=5\n"
                                      "[Out1]\n"
                                      "Source=1\n"
                                      "[Out2]\n"
                                      "mode1=1\n"
                                      "[Empty]\n");
    EXPECT_EQ(doc.value(u"Out1", u"Rate"), std::nullopt); // above the first section
    EXPECT_EQ(doc.value(u"", u"Rate"), std::nullopt);
    EXPECT_EQ(doc.value(u"Out2", u"Source"), std::nullopt);
    EXPECT_EQ(doc.value(u"Out1", u"mode1"), std::nullopt);
    EXPECT_EQ(doc.value(u"Empty", u"Source"), std::nullopt);
    EXPECT_EQ(doc.value(u"Out", u"Source"), std::nullopt);
    EXPECT_EQ(doc.value(u"Missing", u"Source"), std::nullopt);
    EXPECT_EQ(doc.value(u"Out2", u"mode1"), text("1"));
}

TEST(ProfileDocument, CommentLinesHoldNoKeys)
{
    const ProfileDocument doc = parse("[S]\n;k=1\n  # k=2\nk=3\n");
    EXPECT_EQ(doc.value(u"S", u"k"), text("3"));
    EXPECT_EQ(doc.value(u"S", u";k"), std::nullopt);
}

TEST(ProfileDocument, FirstOfDuplicateKeysIsReadAndReplaced)
{
    ProfileDocument doc = parse("[S]\nk=first\nk=second\n");
    EXPECT_EQ(doc.value(u"S", u"k"), text("first"));
    ASSERT_TRUE(doc.setValue(u"S", u"K", u"new"));
    EXPECT_EQ(doc.toBytes(), QByteArray("[S]\r\nK=new\r\nk=second\r\n"));
}

TEST(ProfileDocument, ReplacingAKeyKeepsEveryOtherLineInPlace)
{
    ProfileDocument doc = parse("; device settings\r\n"
                                "# written by hand\r\n"
                                "\r\n"
                                "[Ethernet]\r\n"
                                "IP=192.168.0.2\r\n"
                                "; the mask comes next\r\n"
                                "Mask = 255.255.255.0\r\n"
                                "Gate=192.168.0.1\r\n"
                                "\r\n"
                                "[Custom]\r\n"
                                "Mine=keep me\r\n"
                                "free text line\r\n");
    ASSERT_TRUE(doc.setValue(u"Ethernet", u"Mask", u"255.255.0.0"));
    EXPECT_EQ(doc.toBytes(), QByteArray("; device settings\r\n"
                                        "# written by hand\r\n"
                                        "\r\n"
                                        "[Ethernet]\r\n"
                                        "IP=192.168.0.2\r\n"
                                        "; the mask comes next\r\n"
                                        "Mask=255.255.0.0\r\n"
                                        "Gate=192.168.0.1\r\n"
                                        "\r\n"
                                        "[Custom]\r\n"
                                        "Mine=keep me\r\n"
                                        "free text line\r\n"));
}

TEST(ProfileDocument, NewKeyGoesAfterTheLastKeyOfItsSection)
{
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        // after the last key, before a comment line and the blank lines that end the section
        {"[A]\r\na=1\r\n; note\r\nb=2\r\n\r\n\r\n[B]\r\nc=3\r\n",
         "[A]\r\na=1\r\n; note\r\nb=2\r\nnew=x\r\n\r\n\r\n[B]\r\nc=3\r\n"},
        // the section is the last one of the file
        {"[B]\r\nc=3\r\n[A]\r\na=1\r\n\r\n", "[B]\r\nc=3\r\n[A]\r\na=1\r\nnew=x\r\n\r\n"},
        // a section without keys takes the key right after its header
        {"[A]\r\n\r\n[B]\r\nc=3\r\n", "[A]\r\nnew=x\r\n\r\n[B]\r\nc=3\r\n"},
        // a section in two parts: the first part takes the key
        {"[A]\r\na=1\r\n[B]\r\n[a]\r\nz=2\r\n", "[A]\r\na=1\r\nnew=x\r\n[B]\r\n[a]\r\nz=2\r\n"},
    };
    for (const auto& c : cases) {
        ProfileDocument doc = parse(c.before);
        ASSERT_TRUE(doc.setValue(u"A", u"new", u"x"));
        EXPECT_EQ(doc.toBytes(), QByteArray(c.after)) << c.before;
        EXPECT_EQ(doc.value(u"A", u"new"), text("x")) << c.before;
    }
}

TEST(ProfileDocument, KeyInALaterPartOfASectionIsFoundAndReplacedThere)
{
    ProfileDocument doc = parse("[A]\na=1\n[B]\nb=1\n[A]\nc=2\n");
    EXPECT_EQ(doc.value(u"A", u"c"), text("2"));
    ASSERT_TRUE(doc.setValue(u"A", u"c", u"3"));
    EXPECT_EQ(doc.toBytes(), QByteArray("[A]\r\na=1\r\n[B]\r\nb=1\r\n[A]\r\nc=3\r\n"));
}

TEST(ProfileDocument, MissingSectionIsAppendedAtTheEnd)
{
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"", "[Options]\r\nLanguage=1\r\n"},
        {"[A]\r\na=1\r\n", "[A]\r\na=1\r\n[Options]\r\nLanguage=1\r\n"},
        {"[A]\na=1", "[A]\r\na=1\r\n[Options]\r\nLanguage=1\r\n"}, // no final line end
        {"[A]\r\n\r\n; end\r\n", "[A]\r\n\r\n; end\r\n[Options]\r\nLanguage=1\r\n"},
        {"Language=0\r\n", "Language=0\r\n[Options]\r\nLanguage=1\r\n"}, // key above sections
    };
    for (const auto& c : cases) {
        ProfileDocument doc = parse(c.before);
        ASSERT_TRUE(doc.setValue(u"Options", u"Language", u"1"));
        EXPECT_EQ(doc.toBytes(), QByteArray(c.after)) << c.before;
    }
}

TEST(ProfileDocument, LfAndCrLfFilesReadAlikeAndAreWrittenWithCrLf)
{
    const ProfileDocument lf = parse("[S]\nk=1\n\n; c\n");
    const ProfileDocument crlf = parse("[S]\r\nk=1\r\n\r\n; c\r\n");
    EXPECT_EQ(lf.lines(), crlf.lines());
    EXPECT_EQ(lf.value(u"S", u"k"), text("1"));
    EXPECT_EQ(crlf.value(u"S", u"k"), text("1"));
    EXPECT_EQ(lf.toBytes(), QByteArray("[S]\r\nk=1\r\n\r\n; c\r\n"));
    EXPECT_EQ(crlf.toBytes(), QByteArray("[S]\r\nk=1\r\n\r\n; c\r\n"));
    EXPECT_TRUE(parse("").toBytes().isEmpty());
}

TEST(ProfileDocument, LongValuesAreCutTo2047Characters)
{
    const QString longText(3000, u'7');
    ProfileDocument doc;
    ASSERT_TRUE(doc.setValue(u"S", u"k", longText));
    EXPECT_EQ(doc.value(u"S", u"k"), text(longText.left(2047)));
    EXPECT_TRUE(doc.toBytes().contains(longText.toUtf8())); // written in full, cut only on reading

    const QString exact(2047, u'x');
    ASSERT_TRUE(doc.setValue(u"S", u"k", exact));
    EXPECT_EQ(doc.value(u"S", u"k"), text(exact));

    // A character outside the basic plane straddling the limit is dropped whole.
    const QString straddling = QString(2046, u'a') + QStringLiteral("\U0001F600") + u'b';
    ASSERT_TRUE(doc.setValue(u"S", u"k", straddling));
    EXPECT_EQ(doc.value(u"S", u"k"), text(QString(2046, u'a')));
}

TEST(ProfileDocument, TextsReadBackAsWritten)
{
    const char* const texts[] = {"2.000", "2,5", "192.168.0.2", "", "-1", "a=b", "=", "[x]",
                                 "; not a comment", "Zażółć gęślą jaźń", "\"quoted\""};
    for (const char* t : texts) {
        ProfileDocument doc = parse("[S]\r\n; keep\r\n");
        const QString written = QString::fromUtf8(t);
        ASSERT_TRUE(doc.setValue(u"S", u"k", written)) << t;
        const ProfileDocument reread = ProfileDocument::fromBytes(doc.toBytes());
        EXPECT_EQ(reread.value(u"S", u"k"), text(written)) << t;
        EXPECT_EQ(reread.lines().last(), QStringLiteral("; keep")) << t;
    }
}

TEST(ProfileDocument, NamesAndTextsThatCannotBeOneLineAreRefused)
{
    struct Case {
        const char* section;
        const char* key;
        const char* text;
    };
    const Case cases[] = {
        {"S", "k", "two\r\nlines"},
        {"S", "k", "cut\n[Other]"},
        {"S", "k", "cr\ronly"},
        {"S\nT", "k", "v"},
        {"S", "k\nx=1", "v"},
        {"S]", "k", "v"},
        {"S", "", "v"},
        {"S", "   ", "v"},
        {"S", "a=b", "v"},
        {"S", "[k", "v"},
        {"S", ";k", "v"},
        {"S", "#k", "v"},
    };
    for (const auto& c : cases) {
        ProfileDocument doc = parse("[S]\r\nk=old\r\n");
        EXPECT_FALSE(doc.setValue(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                  QString::fromUtf8(c.text)))
            << c.section << '|' << c.key << '|' << c.text;
        EXPECT_EQ(doc.toBytes(), QByteArray("[S]\r\nk=old\r\n")) << c.key;
    }
}

TEST(ProfileDocument, KeyStartingWithAByteOrderMarkIsRefused)
{
    // A line's leading byte-order mark is dropped when the line is read, so the key would be lost.
    ProfileDocument doc = parse("[S]\r\nk=old\r\n");
    const QString key = QChar(0xFEFF) + QStringLiteral("k");
    EXPECT_FALSE(doc.setValue(u"S", key, u"v"));
    EXPECT_FALSE(doc.setValue(u"S", QStringLiteral(" ") + key, u"v"));
    EXPECT_EQ(doc.toBytes(), QByteArray("[S]\r\nk=old\r\n"));
}

TEST(ProfileDocument, Utf8FileIsReadAsUtf8)
{
    const ProfileDocument doc = parse(QStringLiteral("[Opcje]\r\nNazwa=Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ\r\n").toUtf8());
    EXPECT_EQ(doc.sourceEncoding(), SourceEncoding::Utf8);
    EXPECT_EQ(doc.value(u"opcje", u"nazwa"), text(QStringLiteral("Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ")));
}

TEST(ProfileDocument, Windows1250LineThatWouldReadAsUtf8IsRefused)
{
    // In Windows-1250 "ÓŁ" is D3 A3, which is also valid UTF-8 (another letter): such a line would
    // not read back as written.
    const QByteArray legacy("[Opcje]\r\nLitery=\xB9\xE6\xEA\r\n");
    ProfileDocument doc = parse(legacy);
    ASSERT_EQ(doc.sourceEncoding(), SourceEncoding::Windows1250);
    EXPECT_FALSE(doc.setValue(u"Opcje", u"Nazwa", u"\u00D3\u0141"));
    EXPECT_FALSE(doc.setValue(u"\u00D3\u0141", u"Nazwa", u"x"));
    EXPECT_EQ(doc.toBytes(), legacy);
    // The same letters with a byte that is no UTF-8 are written as usual.
    ASSERT_TRUE(doc.setValue(u"Opcje", u"Nazwa", u"\u00D3\u0141\u00F3"));
    EXPECT_EQ(ProfileDocument::fromBytes(doc.toBytes()).value(u"Opcje", u"Nazwa"), text(QStringLiteral("ÓŁó")));
}

TEST(ProfileDocument, Windows1250FileIsReadAndKeepsItsEncoding)
{
    // "Łódź" and the Polish letters as older installations wrote them.
    const QByteArray legacy("[Opcje]\r\n"
                            "; pomiary \xA3\xF3" "d\x9F\r\n"
                            "Litery=\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF\r\n");
    ProfileDocument doc = parse(legacy);
    EXPECT_EQ(doc.sourceEncoding(), SourceEncoding::Windows1250);
    EXPECT_EQ(doc.value(u"Opcje", u"Litery"), text(QStringLiteral("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ")));

    // Untouched lines keep their bytes; the new line is written in the file's own code page.
    ASSERT_TRUE(doc.setValue(u"Opcje", u"Nowy", u"żółw"));
    EXPECT_EQ(doc.toBytes(), legacy + QByteArray("Nowy=\xBF\xF3\xB3w\r\n"));
    EXPECT_EQ(ProfileDocument::fromBytes(doc.toBytes()).value(u"Opcje", u"Nowy"), text(QStringLiteral("żółw")));

    // A character the code page has no place for is refused, not replaced.
    EXPECT_FALSE(doc.setValue(u"Opcje", u"Nowy", u"日本"));
    EXPECT_EQ(doc.value(u"Opcje", u"Nowy"), text(QStringLiteral("żółw")));
}

TEST(ProfileDocument, LinesASaveDoesNotWriteKeepTheirBytes)
{
    struct Case {
        const char* name;
        QByteArray before;
        QByteArray after; // Options/Language set to 1, Options/Nazwa added as "łódź"
    };
    const QByteArray utf8Opis = QStringLiteral("opis=zażółć").toUtf8();
    const Case cases[] = {
        {"Windows-1250 in another section",
         QByteArray("[Inne]\r\nopis=za\xBF\xF3\xB3\xE6\r\n[Options]\r\nLanguage=0\r\n"),
         QByteArray("[Inne]\r\nopis=za\xBF\xF3\xB3\xE6\r\n[Options]\r\nLanguage=1\r\nNazwa=\xB3\xF3" "d\x9F\r\n")},
        {"UTF-8 with one stray Windows-1250 byte",
         "[Inne]\r\n" + utf8Opis + "\r\nstary=\xB3\r\n[Options]\r\nLanguage=0\r\n",
         "[Inne]\r\n" + utf8Opis + "\r\nstary=\xB3\r\n[Options]\r\nLanguage=1\r\n"
             + QStringLiteral("Nazwa=łódź").toUtf8() + "\r\n"},
        {"UTF-8", "[Inne]\r\n" + utf8Opis + "\r\n[Options]\r\nLanguage=0\r\n",
         "[Inne]\r\n" + utf8Opis + "\r\n[Options]\r\nLanguage=1\r\n" + QStringLiteral("Nazwa=łódź").toUtf8() + "\r\n"},
    };
    for (const Case& c : cases) {
        ProfileDocument doc = parse(c.before);
        EXPECT_EQ(doc.toBytes(), c.before) << c.name; // read and written unchanged: the same bytes
        ASSERT_TRUE(doc.setValue(u"Options", u"Language", u"1")) << c.name;
        ASSERT_TRUE(doc.setValue(u"Options", u"Nazwa", QStringLiteral("łódź"))) << c.name;
        EXPECT_EQ(doc.toBytes(), c.after) << c.name;
        EXPECT_EQ(doc.value(u"Inne", u"opis"), text(QStringLiteral("zażółć"))) << c.name;
    }
    // In the mixed file each line is read in the encoding it is written in.
    EXPECT_EQ(parse(cases[1].before).value(u"Inne", u"stary"), text(QStringLiteral("ł")));
}

TEST(ProfileDocument, CrOnlyLineEndsAreReadLineByLine)
{
    ProfileDocument doc = parse("[Options]\rLanguage=0\rSaveDate=1\r\r[Other]\rx=2\r");
    EXPECT_EQ(doc.value(u"Options", u"Language"), text("0"));
    EXPECT_EQ(doc.value(u"Options", u"SaveDate"), text("1"));
    EXPECT_EQ(doc.value(u"Other", u"x"), text("2"));
    ASSERT_TRUE(doc.setValue(u"Options", u"Language", u"1"));
    EXPECT_EQ(doc.toBytes(), QByteArray("[Options]\r\nLanguage=1\r\nSaveDate=1\r\n\r\n[Other]\r\nx=2\r\n"));
    // Mixed line ends, as a file edited on several systems may have.
    EXPECT_EQ(parse("[A]\ra=1\r\nb=2\nc=3").value(u"A", u"c"), text("3"));
    EXPECT_TRUE(parse("[A]\rb=2").hasSection(u"a"));
}

TEST(ProfileDocument, ByteOrderMarkIsKeptAndNotPartOfTheFirstLine)
{
    ProfileDocument doc = parse("\xEF\xBB\xBF[Options]\r\nLanguage=0\r\n");
    EXPECT_EQ(doc.value(u"Options", u"Language"), text("0"));
    ASSERT_TRUE(doc.setValue(u"Options", u"Language", u"1"));
    EXPECT_EQ(doc.toBytes(), QByteArray("\xEF\xBB\xBF[Options]\r\nLanguage=1\r\n"));
}
