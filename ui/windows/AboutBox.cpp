#include "AboutBox.h"
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

QLabel* makerLine(QWidget* parent, const char* name, int row)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(calibri13());
    const int left = kMargin + kLogoSize + 10;
    label->setGeometry(left, kMargin + kInfoHeight + 6 + row * kMakerLineHeight,
                       AboutBox::kClientWidth - left - kMargin, kMakerLineHeight);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form2"));
    m_texts.bind(this, &QWidget::setWindowTitle, "IDS_AboutTitle");
    setWindowIcon(programIcon());
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    setPalette(white);

    infoText = new QTextEdit(this);
    infoText->setObjectName(QStringLiteral("Info"));
    infoText->setReadOnly(true);
    infoText->setFrameShape(QFrame::NoFrame);
    infoText->setFont(calibri13());
    infoText->setGeometry(kMargin, kMargin, kInfoWidth, kInfoHeight);
    infoText->setFocusPolicy(Qt::NoFocus);
    infoText->document()->setDocumentMargin(2);

    logoLabel = new QLabel(this);
    logoLabel->setObjectName(QStringLiteral("Image2"));
    logoLabel->setGeometry(kMargin, kClientHeight - kMargin - kLogoSize, kLogoSize, kLogoSize);
    logoLabel->setAlignment(Qt::AlignCenter);

    makerNameLabel = makerLine(this, "Label1", 0);
    makerSiteLabel = makerLine(this, "Label2", 1);
    makerMailLabel = makerLine(this, "Label3", 2);
    // The maker lines name this project itself; it has no company, web site or mailbox of its own,
    // so they say where the program comes from instead of inventing addresses.
    m_texts.bind(makerNameLabel, &QLabel::setText, "IDS_AboutMakerName");
    m_texts.bindCustom([this](const TextBindings::Lookup& text) {
        makerSiteLabel->setText(text("IDS_AboutSite") + QStringLiteral("     ") + text("IDS_AboutMakerPlace"));
        makerMailLabel->setText(text("IDS_AboutEmail") + QStringLiteral("    ") + text("IDS_AboutMakerMail"));
    });

    closeButton = new QPushButton(buttonIcon(ButtonPicture::Close), QString(), this);
    m_texts.bind(closeButton, &QAbstractButton::setText, "IDS_AboutClose");
    closeButton->setObjectName(QStringLiteral("BitBtn1"));
    closeButton->setGeometry((kClientWidth - kCloseWidth) / 2, kClientHeight - kMargin - kCloseHeight, kCloseWidth,
                         kCloseHeight);
    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, &AboutBox::closeBox);
}

QStringList AboutBox::infoLines(lang::Language language)
{
    const auto text = [language](std::string_view id) { return lang::lookupText(id, language); };
    return {text("IDS_AboutVersion") + QString::fromLatin1(kProgramVersion), QStringLiteral(" "),
            text("IDS_AboutPurpose"), QStringLiteral(" "),
            text("IDS_AboutLatestVersions") + text("IDS_AboutMakerPlace")};
}

void AboutBox::showModalOver(QWidget* owner)
{
    if (owner != nullptr) {
        const QRect frame = owner->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    exec();
}

void AboutBox::closeBox()
{
    accept();
}

void AboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        refreshContents();
    }
}

void AboutBox::refreshContents()
{
    // The logo is drawn for the screen the box opens on, so it is sharp at any scaling.
    logoLabel->setPixmap(renderSvg(programIconResource(), QSize(kLogoSize, kLogoSize), devicePixelRatioF()));
    infoText->clear();
    for (const QString& line : infoLines(m_language)) {
        infoText->append(line);
    }
    // Appending scrolls to the end; the box opens on its first line.
    infoText->moveCursor(QTextCursor::Start);
    infoText->ensureCursorVisible();
}

void AboutBox::setLanguage(lang::Language language)
{
    m_language = language;
    m_texts.apply();
    if (isVisible()) {
        refreshContents();
    }
}

} // namespace qmx::ui
