// The "Rejestracja" page in English: no Polish text left, including the states and messages its
// operations write; Polish again gives the texts it had; and a recording does not depend on the
// language it was made in.

#include "ShownTexts.h"

#include "ui/pages/RecordingPage.h"
#include "ui/widgets/HeaderBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace qmx;
using lang::Language;
using qmx::ui::RecordingPage;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

link::Measurement frame(float value)
{
    link::Measurement m;
    m.SumValue = value * 4;
    m.ChannelValue = {value, value + 1, value + 2, value + 3};
    return m;
}

QStringList shownLines(const QWidget* root)
{
    QStringList lines;
    for (const auto& shown : test::shownTexts(root)) {
        lines << shown.where + QStringLiteral(": ") + shown.text;
    }
    return lines;
}

// A page whose language can be switched as the main window switches it: the lookup follows the
// language chosen, and retranslate() is called after a change.
struct LanguagePage {
    explicit LanguagePage(const QString& fileName, Language start = Language::Polish) : language(start)
    {
        page.setNumberLocale(display::NumberLocale{u',', u' '});
        page.setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(14, 3, 7, 42)); });
        page.setDecimalsSource([] { return 2; });
        page.setDialogs(RecordingPage::Dialogs{[](QWidget*, const QString&, const QString&) { return QString(); },
                                               [this](QWidget*, const QString&, const QString& text) { warnings << text; }});
        page.setFileName(fileName);
        page.setColumns(recording::RecordColumns{true, true, true, true, {true, true, true, true}});
        page.setDataAcquisitionSpeed(0); // a record for every frame
    }

    void choose(Language chosen)
    {
        language = chosen;
        page.retranslate();
    }

    void feed(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            page.recordMeasurement(frame(1.25F + static_cast<float>(i)));
        }
    }

    void endRun()
    {
        page.setDataAcquisition(false);
        page.recorder().waitForClosingWriters();
        page.flushRecording();
    }

    Language language;
    RecordingPage page{[this](std::string_view id) { return lang::lookupText(id, language); }};
    QLineEdit statusBar;
    QStringList warnings;
};

class RecordingPageLanguage : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

} // namespace

TEST_F(RecordingPageLanguage, EnglishShowsNoPolishEvenInTheStatesShownAndPolishBringsTheTextsBack)
{
    LanguagePage p(dir.filePath(QStringLiteral("run.csv")));
    // A run that has written a record: header, state fields and progress line all show something.
    p.page.setDataAcquisition(true);
    p.feed(3);
    p.page.showRecordingState(true, &p.statusBar);
    p.page.flushRecording();
    ASSERT_EQ(p.page.recordingStatusEdit->text(), QStringLiteral("ZAPIS"));
    ASSERT_TRUE(p.page.recordProgress->text().startsWith(QStringLiteral("Zapisano wierszy: 3")));
    const QSet<QString> polishWords = test::polishWordsShownBy({&p.page});
    // The file's name is the user's, shown as it is in every language.
    const QStringList fileName{p.page.fileName()};
    const QStringList polishTexts = shownLines(&p.page);

    // The states already shown change at once, before the display writes them again.
    p.choose(Language::English);
    EXPECT_EQ(test::polishTextsIn(&p.page, polishWords, fileName), QStringList());
    EXPECT_EQ(p.page.recordingStatusEdit->text(), QStringLiteral("WRITING"));
    EXPECT_EQ(p.page.fileHeader->caption(), QStringLiteral("Recording to file active"));
    EXPECT_TRUE(p.page.recordProgress->text().startsWith(QStringLiteral("Lines written: 3"))) << p.page.recordProgress->text().toStdString();

    p.choose(Language::Polish);
    EXPECT_EQ(shownLines(&p.page), polishTexts);

    // States written while English is chosen: active, idle (not connected), and after the run.
    p.choose(Language::English);
    for (std::uint32_t tick = 0; tick <= recording::kWritingTicks; ++tick) {
        p.page.showRecordingState(true, &p.statusBar);
    }
    EXPECT_EQ(p.statusBar.text(), QStringLiteral("ACTIVE"));
    EXPECT_EQ(test::polishTextsIn(&p.page, polishWords, fileName), QStringList());
    p.page.showRecordingState(false, &p.statusBar);
    EXPECT_EQ(p.page.fileHeader->caption(), QStringLiteral("Recording to file"));
    p.endRun();
    EXPECT_EQ(test::polishTextsIn(&p.page, polishWords, fileName), QStringList());
    EXPECT_FALSE(test::looksPolish(p.statusBar.text(), polishWords)) << p.statusBar.text().toStdString();
    EXPECT_TRUE(p.warnings.isEmpty()) << p.warnings.join(u'\n').toStdString();
}

TEST_F(RecordingPageLanguage, ARefusedAndAFailedRecordingAreReportedInTheLanguageChosen)
{
    const QString fifo = dir.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString missing = dir.filePath(QStringLiteral("gone/run.csv"));
    const QSet<QString> polishWords = test::polishWordsShownBy({});
    struct Case {
        Language language;
        QString file;
        const char* start;
    };
    const Case cases[] = {
        {Language::Polish, fifo, "Rejestracja nie została rozpoczęta: plik \""},
        {Language::English, fifo, "Recording not started: file \""},
        {Language::Polish, missing, "Rejestracja zatrzymana: błąd zapisu do pliku \""},
        {Language::English, missing, "Recording stopped: error writing to the file \""},
    };
    for (const auto& c : cases) {
        LanguagePage p(c.file, c.language);
        QSignalSpy status(&p.page, &RecordingPage::statusMessage);
        p.page.setDataAcquisition(true);
        p.feed(2);
        QCoreApplication::processEvents(); // the message box follows the dispatch
        ASSERT_EQ(status.count(), 1) << c.start;
        const QString text = status.at(0).at(0).toString();
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.start) + c.file)) << text.toStdString();
        ASSERT_EQ(p.warnings.size(), 1) << c.start;
        EXPECT_EQ(p.warnings.front(), text);
        EXPECT_EQ(test::looksPolish(text, polishWords), c.language == Language::Polish) << text.toStdString();
        EXPECT_FALSE(p.page.recordingCheck->isChecked());
    }
}

TEST_F(RecordingPageLanguage, AWriteErrorCountsTheLinesNotWrittenInEnglish)
{
    LanguagePage p(dir.filePath(QStringLiteral("run.csv")), Language::English);
    QSignalSpy status(&p.page, &RecordingPage::statusMessage);
    p.page.setDataAcquisition(true);
    {
        // Not a byte fits, as on a full disk.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = old;
        none.rlim_cur = 0;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
        p.feed(3);
        p.endRun();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    ASSERT_EQ(status.count(), 1);
    const QString text = status.at(0).at(0).toString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Recording stopped: error writing to the file \""))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("; lines not written: 4"))) << text.toStdString();
}

TEST_F(RecordingPageLanguage, ARecordingMadeInEnglishEqualsOneMadeInPolish)
{
    QByteArray recorded[2];
    for (const Language language : {Language::Polish, Language::English}) {
        const QString file = dir.filePath(language == Language::Polish ? QStringLiteral("pl.csv") : QStringLiteral("en.csv"));
        LanguagePage p(file, language);
        p.page.setDataAcquisition(true);
        p.feed(5);
        p.endRun();
        recorded[language == Language::Polish ? 0 : 1] = readAll(file);
    }
    ASSERT_FALSE(recorded[0].isEmpty());
    EXPECT_TRUE(recorded[0].startsWith("Date;Time;No.;Sum;Canal 1;Canal 2;Canal 3;Canal 4;\r\n")) << recorded[0].constData();
    EXPECT_EQ(recorded[1], recorded[0]);
}

TEST_F(RecordingPageLanguage, TheSaveDialogIsCaptionedInTheLanguageChosen)
{
    struct Case {
        Language language;
        const char* caption;
    };
    const Case cases[] = {
        {Language::Polish, "Scieżka zapisu (pomiary są dopisywane na końcu istniejącego pliku)"},
        {Language::English, "Save path (measurements are appended to the end of an existing file)"},
    };
    for (const auto& c : cases) {
        Language language = c.language;
        RecordingPage page([&language](std::string_view id) { return lang::lookupText(id, language); }); // the real dialog
        page.setFileName(dir.filePath(QStringLiteral("run.csv")));
        QString caption;
        QTimer watcher;
        watcher.setInterval(10);
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                caption = dialog->windowTitle();
                dialog->reject();
            }
        });
        watcher.start();
        page.save();
        watcher.stop();
        EXPECT_EQ(caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(page.fileName(), dir.filePath(QStringLiteral("run.csv"))) << "a cancelled dialog changes nothing";
    }
}
