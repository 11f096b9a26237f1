#include "MeasurementPage.h"
#include "ui/widgets/Fonts.h"

#include "ui/icons/Icons.h"
#include "ui/widgets/HeaderBar.h"
#include "ui/widgets/LoadGauge.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qmx::ui {

namespace {

const QColor kReadoutText(255, 165, 0);
const QColor kReadoutBackground(14, 85, 171);

QFont boldArial(int pixels)
{
    return namedFont(NamedFont::Arial, pixels, true);
}

// Heights of the readouts in the smallest window (the readouts share the room the window has beyond
// the other controls, so they are taller than their smallest size there); a taller readout lets its
// value grow.
constexpr int kSumHeightInSmallestWindow = 127;
constexpr int kMaxHeightInSmallestWindow = 52;
constexpr int kChannelValueHeight = 58;

// `growFrom`: the readout's height in the smallest window; the font grows beyond the designed one
// only in a taller readout, in proportion to its height.
FittedLabel* readout(QWidget* parent, const char* name, int w, int h, int fontPixels, int growFrom)
{
    auto* label = new FittedLabel(QStringLiteral("0"), parent);
    label->setObjectName(QString::fromLatin1(name));
    // The designed size is the smallest; a larger window gives the readout more room and a
    // proportionally larger font.
    label->setMinimumSize(w, h);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setDesignFont(boldArial(fontPixels));
    label->setGrowBeyondHeight(growFrom);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, kReadoutBackground);
    p.setColor(QPalette::WindowText, kReadoutText);
    label->setPalette(p);
    return label;
}

template <typename W>
W* named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

constexpr std::array<const char*, 4> kBoxNames{"GroupBox_DispTens", "GroupBox5", "GroupBox15", "GroupBox19"};
constexpr std::array<const char*, 4> kHeaderNames{"JvNavPanelHeader9", "JvNavPanelHeader5", "JvNavPanelHeader6",
                                                  "JvNavPanelHeader7"};
constexpr std::array<const char*, 3> kGaugeSuffix{"_100", "_150", "_200"};
constexpr std::array<int, 3> kGaugeWidth{190, 85, 85};
constexpr std::array<const char*, 3> kGaugeCaption{"znamionowe", "użytkowe", "graniczne"};
constexpr int kChannelBoxWidth = 646;
constexpr int kChannelBoxHeight = 62;
constexpr int kGaugeHeight = 14;
constexpr int kStatusEditWidth = 130;

} // namespace

MeasurementPage::MeasurementPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet1"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    // Upper group: main readout, maximum, buttons and the value selection.
    GroupBox2 = named(new QGroupBox(this), QStringLiteral("GroupBox2"));
    GroupBox2->setMinimumHeight(219);
    auto* upper = new QVBoxLayout(GroupBox2);
    upper->setContentsMargins(2, 2, 2, 2);
    upper->setSpacing(4);
    JvNavPanelHeader1 = named(new HeaderBar(QStringLiteral("Wartość sumaryczna"), HeaderBar::kLargeCaption, GroupBox2),
                              QStringLiteral("JvNavPanelHeader1"));
    upper->addWidget(JvNavPanelHeader1);

    auto* readouts = new QHBoxLayout;
    DisplaySum = readout(GroupBox2, "DisplaySum", 439, 93, 80, kSumHeightInSmallestWindow);
    readouts->addWidget(DisplaySum, 3);
    auto* maxColumn = new QVBoxLayout;
    maxColumn->setSpacing(0);
    JvNavPanelHeader2 = named(new HeaderBar(QStringLiteral("Max:"), HeaderBar::kLargeCaption, GroupBox2),
                              QStringLiteral("JvNavPanelHeader2"));
    JvNavPanelHeader2->setMinimumWidth(151);
    JvNavPanelHeader2->setSizePolicy(QSizePolicy::Expanding, JvNavPanelHeader2->sizePolicy().verticalPolicy());
    DisplayMax = readout(GroupBox2, "DisplayMax", 151, 41, 35, kMaxHeightInSmallestWindow);
    maxColumn->addWidget(JvNavPanelHeader2);
    maxColumn->addWidget(DisplayMax, 1);
    maxColumn->addStretch(1);
    // The readouts take the width and height the window has beyond its smallest size.
    readouts->addLayout(maxColumn, 1);
    upper->addLayout(readouts, 1);

    auto* buttons = new QHBoxLayout;
    Bit_BigWindow = named(new QPushButton(QStringLiteral("&Duże okno"), GroupBox2), QStringLiteral("Bit_BigWindow"));
    BtnTara = named(new QPushButton(QStringLiteral("&Tara"), GroupBox2), QStringLiteral("BtnTara"));
    Label47 = named(new QLabel(QStringLiteral("IN1"), GroupBox2), QStringLiteral("Label47"));
    Edit_IN1 = named(new QLineEdit(QStringLiteral("OFF"), GroupBox2), QStringLiteral("Edit_IN1"));
    Edit_IN1->setReadOnly(true);
    Edit_IN1->setFixedWidth(40);
    Edit_IN1->setAlignment(Qt::AlignCenter);
    Btn_ResetMinMax = named(new QPushButton(QStringLiteral("Reset &Max"), GroupBox2), QStringLiteral("Btn_ResetMinMax"));
    Bit_BigWindow->setIcon(buttonIcon(ButtonPicture::BigWindow));
    BtnTara->setIcon(buttonIcon(ButtonPicture::Tare));
    Btn_ResetMinMax->setIcon(buttonIcon(ButtonPicture::ResetMax));
    buttons->addWidget(Bit_BigWindow);
    buttons->addWidget(BtnTara);
    buttons->addSpacing(12);
    buttons->addWidget(Label47);
    buttons->addWidget(Edit_IN1);
    buttons->addSpacing(12);
    buttons->addWidget(Btn_ResetMinMax);
    buttons->addStretch(1);
    upper->addLayout(buttons);

    auto* selectionRow = new QHBoxLayout;
    Label10 = named(new QLabel(QStringLiteral("Wyswietlany / tarowany pomiar:"), GroupBox2), QStringLiteral("Label10"));
    selectionRow->addWidget(Label10);
    const auto radio = [&](const char* name, const char* caption) {
        auto* r = named(new QRadioButton(QString::fromUtf8(caption), GroupBox2), QString::fromLatin1(name));
        selectionRow->addWidget(r);
        return r;
    };
    RadioButton_DispSum = radio("RadioButton_DispSum", "Suma");
    RadioButton_DispS1 = radio("RadioButton_DispS1", "Czujnik 1");
    RadioButton_DispS2 = radio("RadioButton_DispS2", "Czujnik 2");
    RadioButton_DispS3 = radio("RadioButton_DispS3", "Czujnik 3");
    RadioButton_DispS4 = radio("RadioButton_DispS4", "Czujnik 4");
    RadioButton_DispSum->setChecked(true);
    selectionRow->addStretch(1);
    upper->addLayout(selectionRow);
    // Rows below the readouts keep their height; the readouts take the rest.
    page->addWidget(GroupBox2, 2);

    // Lower group: one box per channel.
    GroupBox3 = named(new QGroupBox(this), QStringLiteral("GroupBox3"));
    auto* lower = new QVBoxLayout(GroupBox3);
    lower->setContentsMargins(2, 2, 2, 2);
    lower->setSpacing(3);
    JvNavPanelHeader4 = named(new HeaderBar(QStringLiteral("Wartości z czujników"), HeaderBar::kLargeCaption, GroupBox3),
                              QStringLiteral("JvNavPanelHeader4"));
    lower->addWidget(JvNavPanelHeader4);
    for (int ch = 0; ch < 4; ++ch) {
        lower->addWidget(buildChannelBox(ch), 1);
    }
    page->addWidget(GroupBox3, 3);
}

QGroupBox* MeasurementPage::buildChannelBox(int ch)
{
    const QString n = QString::number(ch + 1);
    ChannelControls& c = channels[static_cast<std::size_t>(ch)];
    c.box = named(new QGroupBox(GroupBox3), QString::fromLatin1(kBoxNames[static_cast<std::size_t>(ch)]));
    c.box->setMinimumSize(kChannelBoxWidth, kChannelBoxHeight);
    c.box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    c.box->setAutoFillBackground(true);
    QPalette white = c.box->palette();
    white.setColor(QPalette::Window, Qt::white);
    c.box->setPalette(white);

    // Header at the left, then a column with the load and status line over the three gauges and
    // their captions, then the value filling the rest up to the right end. The gauges alone take
    // 364 pixels, so the texts go above them rather than beside them to leave the value its room.
    auto* row = new QHBoxLayout(c.box);
    row->setContentsMargins(1, 1, 6, 1);
    row->setSpacing(8);
    c.header = named(new HeaderBar(QStringLiteral("Kanał %1:").arg(n), HeaderBar::kChannelCaption, c.box),
                     QString::fromLatin1(kHeaderNames[static_cast<std::size_t>(ch)]));
    c.header->setFixedWidth(c.header->sizeHint().width());
    c.header->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    row->addWidget(c.header);

    auto* middle = new QVBoxLayout;
    middle->setSpacing(1);
    auto* info = new QHBoxLayout;
    info->setSpacing(4);
    info->addWidget(new QLabel(QStringLiteral("Obciążenie :"), c.box));
    c.loadLabel = named(new QLabel(QStringLiteral("0%"), c.box), QStringLiteral("Label_TensLoad") + n);
    c.loadLabel->setMinimumWidth(40);
    info->addWidget(c.loadLabel);
    info->addStretch(1);
    info->addWidget(new QLabel(QStringLiteral("Status:"), c.box));
    c.statusEdit = named(new QLineEdit(QStringLiteral("---"), c.box), QStringLiteral("Edit_Ch%1_Status").arg(n));
    c.statusEdit->setReadOnly(true);
    c.statusEdit->setFocusPolicy(Qt::NoFocus);
    c.statusEdit->setFixedWidth(kStatusEditWidth);
    c.statusEdit->setFont(namedFont(NamedFont::Arial, 12));
    info->addWidget(c.statusEdit);
    middle->addLayout(info);

    auto* gauges = new QGridLayout;
    gauges->setHorizontalSpacing(2);
    gauges->setVerticalSpacing(0);
    for (std::size_t g = 0; g < 3; ++g) {
        auto* gauge = named(new LoadGauge(c.box), QStringLiteral("Progress_TensVal%1%2").arg(n, QString::fromLatin1(kGaugeSuffix[g])));
        gauge->setFixedSize(kGaugeWidth[g], kGaugeHeight);
        gauge->setMaximum(display::kGaugeMaximum[g]);
        gauge->setBarColor(display::kGaugeColour[g]);
        c.gauges[g] = gauge;
        gauges->addWidget(gauge, 0, static_cast<int>(g));
        auto* caption = new QLabel(QString::fromUtf8(kGaugeCaption[g]), c.box);
        caption->setAlignment(Qt::AlignCenter);
        // Captions in the system's button-shadow colour.
        caption->setForegroundRole(QPalette::Dark);
        gauges->addWidget(caption, 1, static_cast<int>(g));
    }
    middle->addLayout(gauges);
    // In a taller box the load line and the gauges stay together, in the middle of the height.
    middle->insertStretch(0, 1);
    middle->addStretch(1);
    row->addLayout(middle);

    c.valueLabel = named(new FittedLabel(QStringLiteral("0"), c.box), QStringLiteral("DisplayTens") + n);
    c.valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    c.valueLabel->setDesignFont(boldArial(32));
    QPalette black = c.valueLabel->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    c.valueLabel->setPalette(black);
    // The value takes whatever width is left; a text wider than that is drawn smaller.
    c.valueLabel->setMinimumWidth(1);
    c.valueLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(c.valueLabel, 1);
    c.valueLabel->setGrowBeyondHeight(kChannelValueHeight);
    return c.box;
}

std::optional<display::DisplaySelection> MeasurementPage::selection() const
{
    using display::DisplaySelection;
    if (RadioButton_DispSum->isChecked()) {
        return DisplaySelection::Sum;
    }
    if (RadioButton_DispS1->isChecked()) {
        return DisplaySelection::Sensor1;
    }
    if (RadioButton_DispS2->isChecked()) {
        return DisplaySelection::Sensor2;
    }
    if (RadioButton_DispS3->isChecked()) {
        return DisplaySelection::Sensor3;
    }
    if (RadioButton_DispS4->isChecked()) {
        return DisplaySelection::Sensor4;
    }
    return std::nullopt;
}

} // namespace qmx::ui
