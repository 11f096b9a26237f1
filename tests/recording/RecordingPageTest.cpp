// The "Rejestracja" page offscreen: its controls, a recording run driven through the page, the
// indicators, the file-name choice and a file that cannot be written.

#include "ui/pages/RecordingPage.h"
#include "ui/widgets/HeaderBar.h"
#include "ui/widgets/Indicators.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <condition_variable>
#include <csignal>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace qmx;
using qmx::ui::RecordingPage;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QColor base(const QLineEdit* edit)
{
    return edit->palette().color(QPalette::Base);
}

link::Measurement frame(float sensor1, bool in2 = false)
{
    link::Measurement m;
    m.ChannelValue[0] = sensor1;
    m.InputState = in2 ? 0x02 : 0x00;
    return m;
}

class RecordingPageTest : public ::testing::Test {
protected:
    RecordingPageTest()
    {
        page.setNumberLocale(display::NumberLocale{u',', u' '});
        page.setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(14, 3, 7, 42)); });
        page.setDecimalsSource([] { return 2; });
        page.setDialogs(RecordingPage::Dialogs{
            [this](QWidget*, const QString& current, const QString& filter) {
                dialogCurrent = current;
                dialogFilter = filter;
                return chosenName;
            },
            [this](QWidget*, const QString&, const QString& text) { warnings << text; }});
        page.setFileName(path);
        page.setColumns(recording::RecordColumns{false, false, true, false, {true, false, false, false}});
    }

    /// Clears the switch, waits for the file's writer thread to write out the last lines, then
    /// runs the flush timer's tick that closes the file, as the timer does a moment later.
    void endRun()
    {
        page.setDataAcquisition(false);
        page.recorder().waitForClosingWriters();
        page.flushRecording();
    }

    void feed(int frames, float value = 1.5F)
    {
        for (int i = 0; i < frames; ++i) {
            page.recordMeasurement(frame(value));
        }
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("pomiary.csv"));
    RecordingPage page;
    QLineEdit statusBar{QStringLiteral("NIEAKTYWNA")};
    QString chosenName;
    QString dialogCurrent;
    QString dialogFilter;
    QStringList warnings;
};

} // namespace

TEST_F(RecordingPageTest, ControlsCarryTheirNamesCaptionsListAndTooltips)
{
    RecordingPage fresh;
    EXPECT_EQ(fresh.objectName(), QStringLiteral("TabSheet3"));
    const char* names[] = {"GroupBoxDataAcquistion", "JvHeader_File", "Checkbox_Acquistion", "Edit_IN2",
                           "Label_TimeToAcqData", "AcquisitionStatus", "GroupBox14", "Rb_AcqContinuus",
                           "Rb_AcqTrigIN2", "Rb_AcqContinuusIN2", "Label_DataAcqSpeed", "ComboBox_AcquistionTime",
                           "Label_DataAcqParam", "Checkbox_SaveDate", "Checkbox_SaveTime", "Checkbox_SaveDataCnt",
                           "Cb_SaveDataSummary", "Cb_SaveDataSens1", "Cb_SaveDataSens2", "Cb_SaveDataSens3",
                           "Cb_SaveDataSens4", "Edit_FileName", "Button_SaveFilePath"};
    for (const char* name : names) {
        EXPECT_NE(fresh.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_EQ(fresh.fileHeader->caption(), QStringLiteral("Rejestracja pomiarów do pliku"));
    EXPECT_EQ(fresh.recordingCheck->text(), QStringLiteral("Aktywuj zapis"));
    EXPECT_FALSE(fresh.recordingCheck->isChecked());
    EXPECT_EQ(fresh.in2StateEdit->text(), QStringLiteral("IN2"));
    EXPECT_EQ(fresh.recordTimeLabel->text(), QStringLiteral("0 s"));
    EXPECT_EQ(fresh.recordingStatusEdit->text(), QStringLiteral("..."));
    EXPECT_EQ(fresh.recordModeGroup->title(), QStringLiteral("Ustawienia"));
    EXPECT_TRUE(fresh.continuousRadio->isChecked());
    EXPECT_EQ(fresh.whileIn2Radio->text(), QStringLiteral("Zapis pojedynczy wejściem IN2"));
    EXPECT_EQ(fresh.startOnIn2Radio->text(), QStringLiteral("Zapis ciągły wejściem IN2"));
    EXPECT_EQ(fresh.recordColumnsGroup->title(), QStringLiteral("Rejestruj do pliku:"));
    const QStringList items{QStringLiteral(" 100 / s."), QStringLiteral(" 50 / s."), QStringLiteral(" 25 / s."),
                            QStringLiteral(" 10 / s."),  QStringLiteral(" 1 / s."),  QStringLiteral(" 10 / min."),
                            QStringLiteral(" 1 / min")};
    ASSERT_EQ(fresh.recordIntervalList->count(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        EXPECT_EQ(fresh.recordIntervalList->itemText(i), items[i]);
    }
    EXPECT_EQ(fresh.recordIntervalList->currentIndex(), 3);
    EXPECT_EQ(fresh.columns(), recording::RecordColumns{}) << "all column boxes clear at design";
    EXPECT_EQ(fresh.fileNameEdit->text(), QStringLiteral("Sciezka zapisu"));
    EXPECT_TRUE(fresh.fileNameEdit->isReadOnly());
    EXPECT_EQ(fresh.chooseFileButton->text(), QStringLiteral("&Scieżka zapisu")); // Alt+S
    EXPECT_TRUE(fresh.recordProgress->text().isEmpty()) << "no figures before a first run";
    EXPECT_EQ(fresh.recordIntervalList->toolTip(),
              QStringLiteral("Prędkosć zapisu pomiarow do pliku. Maksymalnie 100 pomiarow/sekunde, minimalnie 1/godzine."));
    EXPECT_EQ(fresh.continuousRadio->toolTip(),
              QStringLiteral("Zapis odbywa się ciągle z okresem \"Częstotliwość rejestracji\""));
    EXPECT_EQ(fresh.whileIn2Radio->toolTip(), QStringLiteral("Zapis odbywa się na zbocze narastające na wejście IN2 "));
    EXPECT_EQ(fresh.startOnIn2Radio->toolTip(),
              QStringLiteral("Zapis odbywa się na stan wysoki na wejście IN2 z okresem zapisu \"Częstotliwość rejestracji\""));
    EXPECT_TRUE(fresh.saveDateCheck->toolTip().isEmpty());
}

TEST_F(RecordingPageTest, TickingTheSwitchRunsARecordingThatEndsWhenCleared)
{
    page.recordingCheck->setChecked(true);
    EXPECT_FALSE(page.chooseFileButton->isEnabled()) << "the file name cannot change during a run";
    EXPECT_TRUE(page.flushTimer().isActive());
    EXPECT_LE(page.flushTimer().interval(), 1000);
    feed(25);
    EXPECT_EQ(page.recordTimeLabel->text(), QStringLiteral("0,05 s"));
    page.recordingCheck->setChecked(false);
    EXPECT_TRUE(page.chooseFileButton->isEnabled());
    // The last lines are written out on the file's writer thread; the timer closes the file.
    EXPECT_TRUE(page.flushTimer().isActive());
    page.recorder().waitForClosingWriters();
    page.flushRecording();
    EXPECT_FALSE(page.flushTimer().isActive());
    EXPECT_FALSE(page.recorder().closingFiles());
    EXPECT_EQ(readAll(path), QByteArray("No.;Canal 1;\r\n0;1,50;\r\n1;1,50;\r\n"));
}

TEST_F(RecordingPageTest, ClearingTheSwitchDoesNotWaitForTheDisk)
{
    // A sync that does not return until the test lets it: if clearing the switch waited for the
    // disk, this test would never get past it.
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    page.recorder().setSyncFunction([&](int) {
        std::unique_lock lock(mutex);
        released.wait(lock, [&] { return release; });
        return 0;
    });
    page.setDataAcquisitionSpeed(0);
    page.setDataAcquisition(true);
    feed(3);
    page.setDataAcquisition(false);
    EXPECT_TRUE(page.chooseFileButton->isEnabled());
    EXPECT_TRUE(page.recorder().closingFiles());
    EXPECT_TRUE(page.flushTimer().isActive());
    page.flushRecording(); // the writer is still held: nothing to close yet
    EXPECT_TRUE(page.recorder().closingFiles());
    {
        const std::lock_guard lock(mutex);
        release = true;
    }
    released.notify_all();
    page.recorder().waitForClosingWriters();
    page.flushRecording();
    EXPECT_FALSE(page.recorder().closingFiles());
    EXPECT_FALSE(page.flushTimer().isActive());
    EXPECT_EQ(readAll(path), QByteArray("No.;Canal 1;\r\n0;1,50;\r\n1;1,50;\r\n2;1,50;\r\n"));
    page.recorder().setSyncFunction({});
}

TEST_F(RecordingPageTest, TheFlushTimerPutsBufferedLinesOnDisk)
{
    page.setDataAcquisitionSpeed(0);
    page.setDataAcquisition(true);
    feed(3);
    EXPECT_TRUE(readAll(path).isEmpty());
    EXPECT_GT(page.recorder().bufferedBytes(), 0);
    QMetaObject::invokeMethod(&page.flushTimer(), "timeout");
    // The tick hands the lines to the file's writer thread; waiting for it here is the test's.
    EXPECT_EQ(page.recorder().bufferedBytes(), 0);
    EXPECT_FALSE(page.recorder().flushAndWait());
    EXPECT_EQ(readAll(path).count("\r\n"), 4);
}

TEST_F(RecordingPageTest, TheColumnBoxesAreLockedWhileARunIsOn)
{
    page.setDataAcquisitionSpeed(0);
    const QList<QCheckBox*> boxes{page.saveDateCheck,  page.saveTimeCheck, page.saveCounterCheck,
                                  page.saveSumCheck, page.saveSensor1Check,  page.saveSensor2Check,
                                  page.saveSensor3Check,   page.saveSensor4Check};
    page.setDataAcquisition(true);
    for (QCheckBox* box : boxes) {
        EXPECT_FALSE(box->isEnabled()) << box->objectName().toStdString();
    }
    feed(2);
    page.saveSensor1Check->click(); // the user cannot untick a column during the run
    page.saveSensor2Check->click();
    feed(2);
    endRun();
    for (QCheckBox* box : boxes) {
        EXPECT_TRUE(box->isEnabled()) << box->objectName().toStdString();
    }
    // Every line has the fields its header names.
    EXPECT_EQ(readAll(path), QByteArray("No.;Canal 1;\r\n0;1,50;\r\n1;1,50;\r\n2;1,50;\r\n3;1,50;\r\n"));
    page.saveSensor2Check->click(); // between runs the columns change as before
    EXPECT_TRUE(page.columns().sensor[1]);
}

TEST_F(RecordingPageTest, AFifoIsRefusedBeforeTheRunBeginsWithoutBlocking)
{
    const QString fifo = dir.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    page.setFileName(fifo);
    QSignalSpy status(&page, &RecordingPage::statusMessage);
    page.setDataAcquisition(true);
    EXPECT_FALSE(page.recordingCheck->isChecked());
    EXPECT_TRUE(page.chooseFileButton->isEnabled());
    EXPECT_TRUE(page.saveSensor1Check->isEnabled());
    EXPECT_FALSE(page.flushTimer().isActive());
    ASSERT_EQ(status.count(), 1);
    const QString text = status.at(0).at(0).toString();
    EXPECT_TRUE(text.contains(fifo));
    EXPECT_TRUE(text.contains(QLatin1String(recording::kNotARegularFile))) << text.toStdString();
    QCoreApplication::processEvents();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings.front(), text);
    feed(20); // nothing is recorded and nothing opens the pipe
    EXPECT_EQ(status.count(), 1);
}

TEST_F(RecordingPageTest, AWriteErrorSaysHowManyLinesWereNotWritten)
{
    page.setDataAcquisitionSpeed(0);
    QSignalSpy status(&page, &RecordingPage::statusMessage);
    page.setDataAcquisition(true);
    {
        // Not a byte fits, as on a full disk.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = old;
        none.rlim_cur = 0;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
        feed(3);
        endRun(); // the end of the run writes out, and the timer's tick reports
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    ASSERT_EQ(status.count(), 1);
    const QString text = status.at(0).at(0).toString();
    EXPECT_TRUE(text.contains(path));
    EXPECT_TRUE(text.endsWith(QStringLiteral("liczba niezapisanych wierszy: 4"))) << text.toStdString();
    EXPECT_TRUE(readAll(path).isEmpty());
}

TEST_F(RecordingPageTest, ModeAndSpeedFollowTheControlsDuringARun)
{
    page.setDataAcquisition(true);
    page.whileIn2Radio->setChecked(true);
    feed(40);
    page.recordMeasurement(frame(2.0F, true));
    feed(3, 3.0F);
    page.startOnIn2Radio->setChecked(true);
    page.recordIntervalList->setCurrentIndex(1);
    for (int i = 0; i < 4; ++i) {
        page.recordMeasurement(frame(4.0F + static_cast<float>(i), (i % 2) == 0));
    }
    endRun();
    EXPECT_EQ(readAll(path), QByteArray("No.;Canal 1;\r\n0;2,00;\r\n1;6,00;\r\n"));
}

TEST_F(RecordingPageTest, ASpeedOutsideTheListRecordsTenTimesASecond)
{
    page.setDataAcquisitionSpeed(12);
    EXPECT_EQ(page.dataAcquisitionSpeed(), -1);
    page.setDataAcquisition(true);
    feed(30);
    endRun();
    EXPECT_EQ(readAll(path).count("\r\n"), 4);
}

TEST_F(RecordingPageTest, IndicatorsShowIdleActiveAndWriting)
{
    const QColor on(ui::kIndicatorOnColor);
    const QColor off(ui::kIndicatorOffColor);
    page.showRecordingState(true, &statusBar);
    EXPECT_EQ(page.recordingStatusEdit->text(), QStringLiteral("..."));
    EXPECT_EQ(statusBar.text(), QStringLiteral("..."));
    EXPECT_EQ(base(&statusBar), off);
    EXPECT_EQ(page.fileHeader->caption(), QStringLiteral("Zapis do pliku"));

    page.setDataAcquisition(true);
    page.showRecordingState(false, &statusBar);
    EXPECT_EQ(statusBar.text(), QStringLiteral("...")) << "not connected";
    EXPECT_EQ(page.fileHeader->caption(), QStringLiteral("Zapis do pliku"));
    page.showRecordingState(true, &statusBar);
    EXPECT_EQ(page.recordingStatusEdit->text(), QStringLiteral("AKTYWNY"));
    EXPECT_EQ(base(page.recordingStatusEdit), off);
    EXPECT_EQ(page.fileHeader->caption(), QStringLiteral("Zapis do pliku aktywowany"));
    EXPECT_EQ(page.fileHeader->gradientStart(), QColor(ui::kHeaderOnStart));

    feed(10);
    for (int tick = 0; tick < 11; ++tick) {
        page.showRecordingState(true, &statusBar);
        ASSERT_EQ(page.recordingStatusEdit->text(), QStringLiteral("ZAPIS")) << tick;
        ASSERT_EQ(statusBar.text(), QStringLiteral("ZAPIS")) << tick;
        ASSERT_EQ(base(&statusBar), on);
    }
    page.showRecordingState(true, &statusBar);
    EXPECT_EQ(statusBar.text(), QStringLiteral("AKTYWNY"));
    page.showRecordingState(true, nullptr); // the status strip may be absent
}

TEST_F(RecordingPageTest, AFileThatCannotBeWrittenEndsTheRunAndSaysWhichAndWhy)
{
    const QString missing = dir.filePath(QStringLiteral("gone/pomiary.csv"));
    page.setFileName(missing);
    QSignalSpy status(&page, &RecordingPage::statusMessage);
    page.setDataAcquisition(true);
    feed(10);
    EXPECT_FALSE(page.recordingCheck->isChecked());
    EXPECT_TRUE(page.chooseFileButton->isEnabled());
    EXPECT_FALSE(page.flushTimer().isActive());
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(status.at(0).at(0).toString().contains(missing));
    EXPECT_TRUE(warnings.isEmpty()) << "no message box inside the measurement dispatch";
    QCoreApplication::processEvents();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().contains(missing));
    feed(20);
    EXPECT_EQ(status.count(), 1) << "nothing more is tried once the run has ended";
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(RecordingPageTest, ChoosingAFileKeepsACsvNameAndAnnouncesIt)
{
    QSignalSpy chosen(&page, &RecordingPage::fileNameChosen);
    chosenName = dir.filePath(QStringLiteral("dane.txt"));
    page.save();
    EXPECT_EQ(dialogCurrent, path);
    EXPECT_TRUE(dialogFilter.contains(QStringLiteral("*.csv")) && dialogFilter.contains(QStringLiteral("*.txt")));
    const QString kept = dir.filePath(QStringLiteral("dane.txt.csv"));
    EXPECT_EQ(page.fileName(), kept);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), kept);

    chosenName.clear(); // cancelled
    page.save();
    EXPECT_EQ(page.fileName(), kept);
    EXPECT_EQ(chosen.count(), 1);

    page.setDataAcquisition(true);
    feed(10);
    endRun();
    EXPECT_FALSE(readAll(kept).isEmpty()) << "the run records to the chosen file";
}

TEST(RecordingPageFileDialog, ChoosingAnExistingFileAsksNoReplaceQuestion)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("pomiary.csv"));
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("No.;\r\n0;\r\n");
    }
    RecordingPage page; // the real dialog
    page.setFileName(dir.filePath(QStringLiteral("other.csv")));
    bool askedToReplace = false;
    bool accepted = false;
    QString caption;
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            askedToReplace = true;
            box->reject();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (accepted) {
                dialog->reject(); // the question stopped the choice
                return;
            }
            accepted = true;
            caption = dialog->windowTitle();
            // Typed into the name field, as the user does (selectFile() leaves a focused field alone).
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(existing);
            // QFileDialog::accept, as its button runs it; queued, so that this watcher is free to
            // answer a question the dialog might ask.
            QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
        }
    });
    watcher.start();
    page.save();
    watcher.stop();
    EXPECT_FALSE(askedToReplace);
    EXPECT_EQ(page.fileName(), existing);
    EXPECT_TRUE(caption.contains(QStringLiteral("dopisywane"))) << caption.toStdString();
    EXPECT_EQ(readAll(existing), QByteArray("No.;\r\n0;\r\n")) << "choosing the file changes nothing in it";
}

TEST_F(RecordingPageTest, ClickingTheButtonOpensTheDialog)
{
    chosenName = dir.filePath(QStringLiteral("x.csv"));
    page.chooseFileButton->click();
    EXPECT_EQ(page.fileName(), chosenName);
}

TEST_F(RecordingPageTest, ARunShowsItsRecordsFileSizeAndTimeWithoutAskingTheDisk)
{
    // 100 bytes from an earlier run: the size counts them, the records do not.
    {
        QFile earlier(path);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write(QByteArray(98, 'x') + "\r\n");
    }
    QDateTime now(QDate(2026, 12, 9), QTime(14, 0, 0));
    page.setClock([&now] { return now; });
    page.setDataAcquisitionSpeed(0);
    page.setDataAcquisition(true);
    EXPECT_EQ(page.recordProgress->text(),
              QStringLiteral("Zapisano wierszy: 0   Rozmiar pliku: 100 B   Czas zapisu: 0:00:00"));

    feed(3); // the header (14 bytes) and three lines of 9 bytes
    now = now.addSecs(3725);
    // The figures come from the lines handed to the file: a file that vanished from its folder
    // changes nothing, as nothing is read from the disk for them.
    QFile::rename(path, dir.filePath(QStringLiteral("moved.csv")));
    page.flushRecording();
    EXPECT_EQ(page.recordProgress->text(),
              QStringLiteral("Zapisano wierszy: 3   Rozmiar pliku: 141 B   Czas zapisu: 1:02:05"));

    feed(2);
    now = now.addSecs(1);
    endRun();
    // The ended run's figures stay, and they match the file.
    EXPECT_EQ(page.recordProgress->text(),
              QStringLiteral("Zapisano wierszy: 5   Rozmiar pliku: 159 B   Czas zapisu: 1:02:06"));
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("moved.csv"))).size(), 159);
    now = now.addSecs(600);
    page.flushRecording();
    EXPECT_TRUE(page.recordProgress->text().endsWith(QStringLiteral("1:02:06")));

    // A new run counts afresh, from the file's size when it begins; sizes above a kilobyte in kB.
    {
        QFile grown(path);
        ASSERT_TRUE(grown.open(QIODevice::WriteOnly));
        grown.write(QByteArray(2046, 'x') + "\r\n");
    }
    page.setDataAcquisition(true);
    feed(1);
    page.flushRecording();
    EXPECT_EQ(page.recordProgress->text(),
              QStringLiteral("Zapisano wierszy: 1   Rozmiar pliku: 2,0 kB   Czas zapisu: 0:00:00"));
    endRun();
}
