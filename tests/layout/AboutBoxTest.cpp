// The about box: its controls, the five lines of Info filled afresh at every opening, and its
// modal display from the main window's menu.

#include "LayoutFixture.h"

#include "ui/windows/TForm2.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtMath>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

using namespace qmx;

namespace {

const QStringList kFirstFourLines{
    QStringLiteral("QMX80NET-PC wersja: 1.01"), QStringLiteral(" "),
    QStringLiteral("Program QMX80NET-PC słuzy do konfiguracji oraz akwizycji danych z modułu pomiarowego QMX80NET "
                   "przeznaczonego dla tensometrycznych czujników siły."),
    QStringLiteral(" ")};

QStringList paragraphs(const QTextEdit* edit)
{
    QStringList lines;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        lines << block.text();
    }
    return lines;
}

void expectFiveLines(const QStringList& lines)
{
    ASSERT_EQ(lines.size(), 5) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines.mid(0, 4), kFirstFourLines);
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("Najnowsze wersje znajdziesz na:  "))) << lines[4].toStdString();
    EXPECT_GT(lines[4].size(), QStringLiteral("Najnowsze wersje znajdziesz na:  ").size());
}

class AboutBoxFromMenu : public test::layout::MainWindowFixture {
protected:
    AboutBoxFromMenu() { window.attachWindows({&about, nullptr, nullptr, nullptr, nullptr}); }
    /// Chooses "Pomoc" / "Informacje"; while the box is open, notes what it shows and closes it.
    QStringList openFromMenu()
    {
        QStringList seen;
        QTimer::singleShot(0, &about, [this, &seen] {
            modalWhileOpen = QApplication::activeModalWidget() == &about;
            seen = paragraphs(about.Info);
            about.BitBtn1->click();
        });
        window.Informacje1->trigger();
        return seen;
    }
    ui::TForm2 about;
    bool modalWhileOpen = false;
};

} // namespace

TEST(AboutBox, ShowsFiveLinesEveryTimeItOpens)
{
    ui::TForm2 about;
    EXPECT_TRUE(about.Info->toPlainText().isEmpty()); // empty until first shown
    for (int opening = 0; opening < 3; ++opening) {
        SCOPED_TRACE(opening);
        about.show();
        expectFiveLines(paragraphs(about.Info));
        EXPECT_EQ(about.Info->textCursor().position(), 0) << "opens on the first line";
        about.hide();
    }
    EXPECT_EQ(ui::TForm2::infoLines(), paragraphs(about.Info));
}

TEST(AboutBox, HasItsControlsAndFixedFrame)
{
    ui::TForm2 about;
    about.show();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("O programie"));
    EXPECT_EQ(about.size(), QSize(476, 228));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    const Qt::WindowFlags flags = about.windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(about.palette().color(QPalette::Window), QColor(Qt::white));

    EXPECT_EQ(about.Info->size(), QSize(461, 105));
    EXPECT_TRUE(about.Info->isReadOnly());
    EXPECT_EQ(about.Info->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(about.Image2->size(), QSize(81, 81));
    EXPECT_FALSE(about.Image2->pixmap().isNull());
    // Logo at the bottom left, the maker lines to its right, the close button centred at the bottom.
    EXPECT_EQ(about.Image2->geometry().left(), about.Info->geometry().left());
    EXPECT_GT(about.Image2->geometry().top(), about.Info->geometry().bottom());
    for (const QLabel* line : {about.Label1, about.Label2, about.Label3}) {
        EXPECT_GT(line->geometry().left(), about.Image2->geometry().right());
        EXPECT_EQ(line->font().family(), QStringLiteral("Calibri"));
        EXPECT_EQ(line->font().pixelSize(), 13);
    }
    EXPECT_TRUE(about.Label2->text().startsWith(QStringLiteral("site:")));
    EXPECT_TRUE(about.Label3->text().startsWith(QStringLiteral("email:")));
    EXPECT_EQ(about.BitBtn1->text(), QStringLiteral("Zamknij"));
    EXPECT_EQ(about.BitBtn1->size(), QSize(106, 37));
    EXPECT_EQ(about.BitBtn1->geometry().center().x(), about.rect().center().x());
    EXPECT_GT(about.BitBtn1->geometry().top(), about.Info->geometry().bottom());
    EXPECT_EQ(about.Info->font().family(), QStringLiteral("Calibri"));
    EXPECT_EQ(about.Info->font().pixelSize(), 13);
}

TEST_F(AboutBoxFromMenu, OpensModallyWithFiveLinesAndClosesWithZamknij)
{
    showWindow();
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        const QStringList seen = openFromMenu();
        expectFiveLines(seen);
        EXPECT_TRUE(modalWhileOpen);
        EXPECT_FALSE(about.isVisible());
        EXPECT_EQ(about.result(), QDialog::Accepted);
    }
}

TEST_F(AboutBoxFromMenu, OpensCentredOverTheMainWindow)
{
    showWindow();
    QPoint centre;
    QTimer::singleShot(0, &about, [this, &centre] {
        centre = about.frameGeometry().center();
        about.close();
    });
    window.Informacje1->trigger();
    EXPECT_LE((centre - window.frameGeometry().center()).manhattanLength(), 2);
}

TEST(AboutBox, EveryLineCanBeSeen)
{
    ui::TForm2 about;
    about.show();
    QApplication::processEvents();
    const int documentHeight = qCeil(about.Info->document()->size().height());
    const int viewportHeight = about.Info->viewport()->height();
    // Either the five lines fit, or the box offers its scroll bar to reach the rest.
    EXPECT_TRUE(documentHeight <= viewportHeight || about.Info->verticalScrollBar()->maximum() > 0)
        << documentHeight << " in " << viewportHeight;
}
