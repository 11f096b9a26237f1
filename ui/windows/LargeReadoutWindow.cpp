#include "LargeReadoutWindow.h"
#include "ui/widgets/Fonts.h"

#include "display/LiveDisplay.h"
#include "ui/widgets/HeaderBar.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>

namespace qmx::ui {

namespace {
const QColor kDigits(255, 165, 0);
const QColor kBackground(14, 85, 171);

FittedLabel* digits(QWidget* parent, const char* name, int pixels)
{
    auto* label = new FittedLabel(QStringLiteral("00.0"), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setDesignFont(namedFont(NamedFont::Arial, pixels, true));
    label->setFitHeight(true);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, kBackground);
    p.setColor(QPalette::WindowText, kDigits);
    label->setPalette(p);
    return label;
}
} // namespace

LargeReadoutWindow::LargeReadoutWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormBigDisplay"));
    m_texts.bind(static_cast<QWidget*>(this), &QWidget::setWindowTitle, "IDS_LargeReadoutTitle");

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    captionHeader = new HeaderBar(QString(), HeaderBar::kLargeCaption, this);
    captionHeader->setObjectName(QStringLiteral("Label_ActualVal"));
    // The display tick names the selected value here; until it has, the window shows its opening
    // caption. A change of language shows either in the new language.
    m_texts.bindCustom([this](const TextBindings::Lookup& text) {
        captionHeader->setCaption(m_shownSelection ? display::selectionCaption(*m_shownSelection, m_language)
                                                   : text("IDS_LargeReadoutCaption"));
    });
    grid->addWidget(captionHeader, 0, 0, 1, 2);

    valueReadout = digits(this, "LED_display", 187);
    valueReadout->setMinimumSize(1, 1);
    valueReadout->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    grid->addWidget(valueReadout, 1, 0, 3, 1);

    auto* maxCaptionLabel = new QLabel(QStringLiteral("MAX"), this);
    maxCaptionLabel->setObjectName(QStringLiteral("Label1"));
    maxCaptionLabel->setAlignment(Qt::AlignRight);
    grid->addWidget(maxCaptionLabel, 1, 1, Qt::AlignTop | Qt::AlignRight);
    // The maximum takes a quarter of the width whatever its text; a text wider than that is drawn
    // smaller instead of pushing the main digits aside or being cut.
    maxValueReadout = digits(this, "DispMax", 64);
    maxValueReadout->setMinimumWidth(1);
    maxValueReadout->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(maxValueReadout, 2, 1, Qt::AlignTop);
    resetMaxButton = new QPushButton(QStringLiteral("Reset Max"), this);
    resetMaxButton->setObjectName(QStringLiteral("Btn_ResetMinMax"));
    grid->addWidget(resetMaxButton, 3, 1, Qt::AlignBottom | Qt::AlignRight);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    connect(resetMaxButton, &QPushButton::clicked, this, &LargeReadoutWindow::resetMaxRequested);
    // Esc closes the window, as it closes the program's dialogs.
    auto* closeOnEscape = new QAction(this);
    closeOnEscape->setShortcut(QKeySequence(Qt::Key_Escape));
    closeOnEscape->setShortcutContext(Qt::WindowShortcut);
    connect(closeOnEscape, &QAction::triggered, this, &QWidget::close);
    addAction(closeOnEscape);
    resize(kDesignWidth, kDesignHeight);
    keepWithinScreen();
}

void LargeReadoutWindow::keepWithinScreen()
{
    const QScreen* where = screen();
    if (where == nullptr) {
        return;
    }
    const QRect available = where->availableGeometry();
    // Before the window system has framed the window the frame is unknown (zero); afterwards the
    // outer size counts.
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize room = available.size() - frame;
    const QSize wanted = size().boundedTo(room);
    if (wanted != size()) {
        resize(wanted);
    }
    QRect outer = frameGeometry();
    if (!available.contains(outer)) {
        outer.moveLeft(std::clamp(outer.left(), available.left(), std::max(available.left(), available.right() - outer.width() + 1)));
        outer.moveTop(std::clamp(outer.top(), available.top(), std::max(available.top(), available.bottom() - outer.height() + 1)));
        move(outer.topLeft());
    }
}

void LargeReadoutWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        keepWithinScreen();
    }
}

void LargeReadoutWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitDigitsToSize();
}

void LargeReadoutWindow::fitDigitsToSize()
{
    // Outer size: the frame is included where the window system reports one.
    const QRect outer = frameGeometry();
    QFont f = valueReadout->designFont();
    f.setPointSize(std::max(1, digitPointSize(outer.width(), outer.height())));
    valueReadout->setDesignFont(f);
}

void LargeReadoutWindow::showSelectionCaption(display::DisplaySelection selection)
{
    m_shownSelection = selection;
    captionHeader->setCaption(display::selectionCaption(selection, m_language));
}

void LargeReadoutWindow::setLanguage(lang::Language language)
{
    m_language = language;
    m_texts.apply();
}

} // namespace qmx::ui
