// Opens a manual in the program's help window, to read it as the user will; with an output name,
// saves the window as a picture instead (from the top, or scrolled to a named place of the page).
//
//   qmx_help_preview FOLDER                      the window, until it is closed
//   qmx_help_preview FOLDER OUTPUT.png [ANCHOR]  its picture

#include "ui/windows/HelpWindow.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.size() > 3) {
        std::fputs("usage: qmx_help_preview FOLDER [OUTPUT.png [ANCHOR]]\n", stderr);
        return 64;
    }
    qmx::ui::HelpWindow help(args.at(0));
    help.show();
    if (args.size() == 1) {
        return QApplication::exec();
    }
    if (args.size() == 3) {
        help.manualView->scrollToAnchor(args.at(2));
    }
    QCoreApplication::processEvents();
    if (!help.grab().save(args.at(1))) {
        std::fprintf(stderr, "qmx_help_preview: cannot write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    return help.manualView->showsArchive() ? 0 : 2;
}
