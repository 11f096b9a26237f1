#include "TFormBigDisplay.h"
#include "ui/widgets/Fonts.h"

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

TFormBigDisplay::TFormBigDisplay(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormBigDisplay"));
    setWindowTitle(QStringLiteral("QMX80 - wartosc pomiaru"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    Label_ActualVal = new HeaderBar(QStringLiteral("Wartosc sumaryczna z czujników"), HeaderBar::kLargeCaption, this);
    Label_ActualVal->setObjectName(QStringLiteral("Label_ActualVal"));
    grid->addWidget(Label_ActualVal, 0, 0, 1, 2);

    LED_display = digits(this, "LED_display", 187);
    LED_display->setMinimumSize(1, 1);
    LED_display->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    grid->addWidget(LED_display, 1, 0, 3, 1);

    Label1 = new QLabel(QStringLiteral("MAX"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight);
    grid->addWidget(Label1, 1, 1, Qt::AlignTop | Qt::AlignRight);
    // The maximum takes a quarter of the width whatever its text; a text wider than that is drawn
    // smaller instead of pushing the main digits aside or being cut.
    DispMax = digits(this, "DispMax", 64);
    DispMax->setMinimumWidth(1);
    DispMax->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(DispMax, 2, 1, Qt::AlignTop);
    Btn_ResetMinMax = new QPushButton(QStringLiteral("Reset Max"), this);
    Btn_ResetMinMax->setObjectName(QStringLiteral("Btn_ResetMinMax"));
    grid->addWidget(Btn_ResetMinMax, 3, 1, Qt::AlignBottom | Qt::AlignRight);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    connect(Btn_ResetMinMax, &QPushButton::clicked, this, &TFormBigDisplay::resetMaxRequested);
    // Esc closes the window, as it closes the program's dialogs.
    auto* closeOnEscape = new QAction(this);
    closeOnEscape->setShortcut(QKeySequence(Qt::Key_Escape));
    closeOnEscape->setShortcutContext(Qt::WindowShortcut);
    connect(closeOnEscape, &QAction::triggered, this, &QWidget::close);
    addAction(closeOnEscape);
    resize(kDesignWidth, kDesignHeight);
    keepWithinScreen();
}

void TFormBigDisplay::keepWithinScreen()
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

void TFormBigDisplay::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        keepWithinScreen();
    }
}

void TFormBigDisplay::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TFormBigDisplay::FormResize()
{
    // Outer size: the frame is included where the window system reports one.
    const QRect outer = frameGeometry();
    QFont f = LED_display->designFont();
    f.setPointSize(std::max(1, digitPointSize(outer.width(), outer.height())));
    LED_display->setDesignFont(f);
}

} // namespace qmx::ui
