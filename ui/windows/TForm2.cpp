#include "TForm2.h"
#include "ui/widgets/Fonts.h"

#include "ui/MainWindow.h"
#include "ui/icons/Icons.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTextCursor>
#include <QTextEdit>

namespace qmx::ui {

namespace {

// The maker lines name this project itself; it has no company, web site or mailbox of its own,
// so they say where the program comes from instead of inventing addresses.
const QString kMakerName = QStringLiteral("Projekt QMX80NET-PC");
const QString kMakerPlace = QStringLiteral("repozytorium projektu QMX80NET-PC");
const QString kMakerMail = QStringLiteral("brak - uwagi przez repozytorium projektu");

constexpr int kMargin = 8;
constexpr int kInfoWidth = 461;
constexpr int kInfoHeight = 105;
constexpr int kLogoSize = 81;
constexpr int kCloseWidth = 106;
constexpr int kCloseHeight = 37;
constexpr int kMakerLineHeight = 17;

QFont calibri13()
{
    return namedFont(NamedFont::Calibri, 13);
}

QLabel* makerLine(QWidget* parent, const char* name, const QString& text, int row)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(calibri13());
    const int left = kMargin + kLogoSize + 10;
    label->setGeometry(left, kMargin + kInfoHeight + 6 + row * kMakerLineHeight,
                       TForm2::kClientWidth - left - kMargin, kMakerLineHeight);
    return label;
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("O programie"));
    setWindowIcon(programIcon());
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    setPalette(white);

    Info = new QTextEdit(this);
    Info->setObjectName(QStringLiteral("Info"));
    Info->setReadOnly(true);
    Info->setFrameShape(QFrame::NoFrame);
    Info->setFont(calibri13());
    Info->setGeometry(kMargin, kMargin, kInfoWidth, kInfoHeight);
    Info->setFocusPolicy(Qt::NoFocus);
    Info->document()->setDocumentMargin(2);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(kMargin, kClientHeight - kMargin - kLogoSize, kLogoSize, kLogoSize);
    Image2->setAlignment(Qt::AlignCenter);

    Label1 = makerLine(this, "Label1", kMakerName, 0);
    Label2 = makerLine(this, "Label2", QStringLiteral("site:     ") + kMakerPlace, 1);
    Label3 = makerLine(this, "Label3", QStringLiteral("email:    ") + kMakerMail, 2);

    BitBtn1 = new QPushButton(buttonIcon(ButtonPicture::Close), QStringLiteral("Zamknij"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry((kClientWidth - kCloseWidth) / 2, kClientHeight - kMargin - kCloseHeight, kCloseWidth,
                         kCloseHeight);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
}

QStringList TForm2::infoLines()
{
    return {QStringLiteral("QMX80NET-PC wersja: ") + QString::fromLatin1(kProgramVersion), QStringLiteral(" "),
            QStringLiteral("Program QMX80NET-PC słuzy do konfiguracji oraz akwizycji danych z modułu pomiarowego "
                           "QMX80NET przeznaczonego dla tensometrycznych czujników siły."),
            QStringLiteral(" "), QStringLiteral("Najnowsze wersje znajdziesz na:  ") + kMakerPlace};
}

void TForm2::showModalOver(QWidget* owner)
{
    if (owner != nullptr) {
        const QRect frame = owner->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    exec();
}

void TForm2::BitBtn1Click()
{
    accept();
}

void TForm2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TForm2::FormShow()
{
    // The logo is drawn for the screen the box opens on, so it is sharp at any scaling.
    Image2->setPixmap(renderSvg(programIconResource(), QSize(kLogoSize, kLogoSize), devicePixelRatioF()));
    Info->clear();
    for (const QString& line : infoLines()) {
        Info->append(line);
    }
    // Appending scrolls to the end; the box opens on its first line.
    Info->moveCursor(QTextCursor::Start);
    Info->ensureCursorVisible();
}

} // namespace qmx::ui
