// Program entry: reads the start-up options, creates the windows in their fixed order and runs the
// message loop.

#include "Application.h"

#include "process/ShutdownSignals.h"
#include "settings/preferences/AppSettings.h"
#include "sim/Backends.h"

#include "ui/ErrorBox.h"
#include "ui/MainWindow.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/AboutBox.h"
#include "ui/windows/AnalogCalibrationWindow.h"
#include "ui/windows/LargeReadoutWindow.h"

#include <QCommandLineParser>
#include <QStandardPaths>

#include <cstdio>
#include <exception>
#include <variant>

namespace {

/// Exit code of a start refused for a wrong command line (the BSD "usage" code).
constexpr int kUsageExitCode = 64;

/// The options the program takes. Qt's own options (-platform, -style, ...) have been taken out
/// of the arguments by the application object before these are read.
struct StartOptions {
    bool simulate = false;
    /// A recording to open on the chart page at start (empty: none).
    QString recording;
};

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

/// Reads the command line. Returns the options to start with, or the exit code when the program
/// is to end at once (help or version printed, or a refused command line).
std::variant<StartOptions, int> readStartOptions()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Configures and monitors the QMX80NET four-channel strain-gauge transducer over USB HID."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("List the virtual transducer beside the real HID devices."));
    parser.addOption(simulate);
    parser.addPositionalArgument(QStringLiteral("FILE.csv"),
                                 QStringLiteral("A recording to open on the chart page for review."),
                                 QStringLiteral("[FILE.csv]"));

    const QStringList arguments = QCoreApplication::arguments();
    if (!parser.parse(arguments)) {
        writeTo(stderr, QStringLiteral("%1: %2\nTry '%1 --help' for the options.\n")
                            .arg(QStringLiteral("qmx80net-pc"), parser.errorText()));
        return kUsageExitCode;
    }
    if (parser.positionalArguments().size() > 1) {
        writeTo(stderr, QStringLiteral("%1: unexpected argument '%2'\nTry '%1 --help' for the options.\n")
                            .arg(QStringLiteral("qmx80net-pc"), parser.positionalArguments().at(1)));
        return kUsageExitCode;
    }
    // --help-all (Qt's list of its own options too) is answered like --help: the program does not
    // start either way.
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        writeTo(stdout, parser.helpText() +
                            QStringLiteral("\nQt's own options, such as -platform offscreen, are also accepted.\n"));
        return 0;
    }
    if (parser.isSet(version)) {
        writeTo(stdout, QStringLiteral("qmx80net-pc %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    }
    StartOptions options;
    options.simulate = parser.isSet(simulate);
    if (!parser.positionalArguments().isEmpty()) {
        options.recording = parser.positionalArguments().constFirst();
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    qmx::app::Application application(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(qmx::ui::kProgramVersion));
    const auto startOptions = readStartOptions();
    if (const int* exitCode = std::get_if<int>(&startOptions)) {
        return *exitCode;
    }
    try {
        // Caught from the start, so a signal that comes while the windows are being made still
        // closes the program once its message loop runs.
        qmx::process::ShutdownSignals shutdownSignals;
        qmx::sim::Backends backends(std::get<StartOptions>(startOptions).simulate);

        const QString settingsPath = qmx::settings::appSettingsPath(
            QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));

        // Creation order: main window first (its creation sequence runs before the others exist).
        qmx::ui::MainWindow mainWindow(backends.hid(), settingsPath);
        qmx::ui::AboutBox aboutBox;
        qmx::ui::AnalogCalibrationWindow analogCalibration;
        qmx::ui::LargeReadoutWindow largeReadout;
        qmx::ui::HelpWindow helpWindow;
        mainWindow.attachWindows({&aboutBox, &analogCalibration, &largeReadout, &helpWindow});
        // A logout, a shutdown, Ctrl-C or a closed terminal closes the main window as its close
        // button does: preferences written, recording closed, transducer released.
        QObject::connect(&shutdownSignals, &qmx::process::ShutdownSignals::shutdownRequested, &mainWindow,
                         [&mainWindow] { mainWindow.close(); });
        mainWindow.show();
        if (const QString& recording = std::get<StartOptions>(startOptions).recording; !recording.isEmpty()) {
            mainWindow.openRecordingForReview(recording);
        }
        return qmx::app::Application::exec();
    } catch (const std::exception& e) {
        qmx::ui::showErrorBox(nullptr, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        qmx::ui::showErrorBox(nullptr, QString());
    }
    return 0;
}
