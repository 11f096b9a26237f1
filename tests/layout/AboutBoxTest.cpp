// The about box: its controls, the five lines of infoText filled afresh at every opening, and its
// modal display from the main window's menu.

#include "LayoutFixture.h"

#include "ui/windows/AboutBox.h"

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
            seen = paragraphs(about.infoText);
            about.closeButton->click();
        });
        window.aboutAction->trigger();
        return seen;
    }
    ui::AboutBox about;
    bool modalWhileOpen = false;
};

} // namespace

TEST(AboutBox, ShowsFiveLinesEveryTimeItOpens)
{
    ui::AboutBox about;
    EXPECT_TRUE(about.infoText->toPlainText().isEmpty()); // empty until first shown
    for (int opening = 0; opening < 3; ++opening) {
        SCOPED_TRACE(opening);
        about.show();
        expectFiveLines(paragraphs(about.infoText));
        EXPECT_EQ(about.infoText->textCursor().position(), 0) << "opens on the first line";
        about.hide();
    }
    EXPECT_EQ(ui::AboutBox::infoLines(), paragraphs(about.infoText));
}

TEST(AboutBox, HasItsControlsAndFixedFrame)
{
    ui::AboutBox about;
    about.show();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("O programie"));
    EXPECT_EQ(about.size(), QSize(476, 228));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    const Qt::WindowFlags flags = about.windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(about.palette().color(QPalette::Window), QColor(Qt::white));

    EXPECT_EQ(about.infoText->size(), QSize(461, 105));
    EXPECT_TRUE(about.infoText->isReadOnly());
    EXPECT_EQ(about.infoText->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(about.logoLabel->size(), QSize(81, 81));
    EXPECT_FALSE(about.logoLabel->pixmap().isNull());
    // Logo at the bottom left, the maker lines to its right, the close button centred at the bottom.
    EXPECT_EQ(about.logoLabel->geometry().left(), about.infoText->geometry().left());
    EXPECT_GT(about.logoLabel->geometry().top(), about.infoText->geometry().bottom());
    for (const QLabel* line : {about.makerNameLabel, about.makerSiteLabel, about.makerMailLabel}) {
        EXPECT_GT(line->geometry().left(), about.logoLabel->geometry().right());
        EXPECT_EQ(line->font().family(), QStringLiteral("Calibri"));
        EXPECT_EQ(line->font().pixelSize(), 13);
    }
    EXPECT_TRUE(about.makerSiteLabel->text().startsWith(QStringLiteral("site:")));
    EXPECT_TRUE(about.makerMailLabel->text().startsWith(QStringLiteral("email:")));
    EXPECT_EQ(about.closeButton->text(), QStringLiteral("Zamknij"));
    EXPECT_EQ(about.closeButton->size(), QSize(106, 37));
    EXPECT_EQ(about.closeButton->geometry().center().x(), about.rect().center().x());
    EXPECT_GT(about.closeButton->geometry().top(), about.infoText->geometry().bottom());
    EXPECT_EQ(about.infoText->font().family(), QStringLiteral("Calibri"));
    EXPECT_EQ(about.infoText->font().pixelSize(), 13);
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
    window.aboutAction->trigger();
    EXPECT_LE((centre - window.frameGeometry().center()).manhattanLength(), 2);
}

TEST(AboutBox, EveryLineCanBeSeen)
{
    ui::AboutBox about;
    about.show();
    QApplication::processEvents();
    const int documentHeight = qCeil(about.infoText->document()->size().height());
    const int viewportHeight = about.infoText->viewport()->height();
    // Either the five lines fit, or the box offers its scroll bar to reach the rest.
    EXPECT_TRUE(documentHeight <= viewportHeight || about.infoText->verticalScrollBar()->maximum() > 0)
        << documentHeight << " in " << viewportHeight;
}
