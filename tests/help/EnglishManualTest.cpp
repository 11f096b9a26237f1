// The English manual quotes the window as the window shows it in English: every window text the
// page marks (class "ui") is a text of the English window or of the string table's English side,
// the page has no Polish letters, and it has the same anchors as the Polish manual.

#include "FakeBackend.h"
#include "QtPrinters.h"
#include "ShownTexts.h"

#include "ui/MainWindow.h"
#include "ui/windows/AboutBox.h"
#include "ui/windows/AnalogCalibrationWindow.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/LargeReadoutWindow.h"

#include <QAction>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>

#include <gtest/gtest.h>

namespace {

using namespace qmx;

QString readPage(const char* path)
{
    QFile file(QString::fromUtf8(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QString::fromUtf8(file.readAll());
}

/// A caption as it reads on the screen: without the ampersand of its Alt key, blanks run together.
QString asShown(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
    return text.simplified();
}

/// The window texts the page marks as quotes of the window, as they read.
QStringList markedTexts(const QString& page)
{
    static const QRegularExpression marked(QStringLiteral(R"re(<(b|span) class="ui">(.*?)</\1>)re"),
                                           QRegularExpression::DotMatchesEverythingOption);
    QStringList texts;
    for (auto it = marked.globalMatch(page); it.hasNext();) {
        texts << QTextDocumentFragment::fromHtml(it.next().captured(2)).toPlainText().simplified();
    }
    return texts;
}

QStringList anchorsOf(const QString& page)
{
    static const QRegularExpression anchor(QStringLiteral(R"re(<a name="([^"]+)")re"));
    QStringList anchors;
    for (auto it = anchor.globalMatch(page); it.hasNext();) {
        anchors << it.next().captured(1);
    }
    return anchors;
}

/// Every text the English windows can show: the string table's English side (its %1-style places
/// standing for any text) and the captions the windows show once English is chosen.
class EnglishWindowTexts {
public:
    EnglishWindowTexts()
    {
        for (const auto& entry : lang::stringTable()) {
            const QString english = asShown(lang::lookupText(entry.id, lang::Language::English));
            if (english.isEmpty()) {
                continue;
            }
            static const QRegularExpression place(QStringLiteral("%\\d"));
            QString pattern = QRegularExpression::escape(english);
            pattern.replace(QRegularExpression(QStringLiteral("\\\\?%\\d")), QStringLiteral(".+"));
            if (english.contains(place)) {
                m_patterns << QRegularExpression(QRegularExpression::anchoredPattern(pattern));
            } else {
                m_texts.insert(english);
            }
        }
        test::FakeBackend backend;
        ui::MainWindow window(backend);
        ui::AboutBox about;
        ui::AnalogCalibrationWindow calibration;
        ui::LargeReadoutWindow big;
        ui::HelpWindow help(QStringLiteral("/nonexistent"));
        window.attachWindows({&about, &calibration, &big, &help});
        window.findChild<QAction*>(QStringLiteral("languageEnglishAction"))->trigger();
        for (const QWidget* root : std::initializer_list<const QWidget*>{&window, &about, &calibration, &big, &help}) {
            for (const auto& shown : test::shownTexts(root)) {
                m_texts.insert(asShown(shown.text));
            }
        }
    }

    /// Whether the window shows `text`, or `text` followed by a colon (the manual names a field by
    /// its caption without the colon).
    bool contains(const QString& text) const
    {
        return shows(text) || shows(text + u':');
    }

private:
    bool shows(const QString& text) const
    {
        if (m_texts.contains(text)) {
            return true;
        }
        return std::any_of(m_patterns.begin(), m_patterns.end(),
                           [&text](const QRegularExpression& p) { return p.match(text).hasMatch(); });
    }


    QSet<QString> m_texts;
    QList<QRegularExpression> m_patterns;
};

TEST(EnglishManual, EveryQuotedWindowTextIsATextOfTheEnglishWindow)
{
    const QStringList quoted = markedTexts(readPage(QMX_MANUAL_EN_SOURCE));
    // The page quotes the window all through: menus, pages, fields, buttons, states and messages.
    ASSERT_GE(quoted.size(), 150);
    const EnglishWindowTexts window;
    QStringList unknown;
    for (const QString& text : quoted) {
        if (!window.contains(text) && !unknown.contains(text)) {
            unknown << text;
        }
    }
    EXPECT_TRUE(unknown.isEmpty()) << "quoted, but not shown by the English window:\n"
                                   << unknown.join(u'\n').toStdString();
}

TEST(EnglishManual, HasNoPolishTextAndTheAnchorsOfThePolishManual)
{
    const QString english = readPage(QMX_MANUAL_EN_SOURCE);
    static const QRegularExpression polishLetter(QStringLiteral("[ąćęłńóśźżĄĆĘŁŃÓŚŹŻ]"));
    QStringList polishLines;
    for (const QString& line : english.split(u'\n')) {
        if (line.contains(polishLetter)) {
            polishLines << line;
        }
    }
    EXPECT_TRUE(polishLines.isEmpty()) << polishLines.join(u'\n').toStdString();
    const QStringList anchors = anchorsOf(english);
    EXPECT_GE(anchors.size(), 15);
    EXPECT_EQ(anchors, anchorsOf(readPage(QMX_MANUAL_SOURCE)));
}

} // namespace
