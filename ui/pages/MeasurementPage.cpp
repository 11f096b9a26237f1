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
#include <QPointer>
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
constexpr std::array<std::string_view, 3> kGaugeCaption{"IDS_MeasurementGaugeRated", "IDS_MeasurementGaugeWorking",
                                                        "IDS_MeasurementGaugeLimit"};
constexpr int kChannelBoxWidth = 646;
constexpr int kChannelBoxHeight = 62;
constexpr int kGaugeHeight = 14;
constexpr int kStatusEditWidth = 130;

} // namespace

MeasurementPage::MeasurementPage(TextBindings::Lookup lookup, QWidget* parent)
    : QWidget(parent), m_texts(std::move(lookup))
{
    setObjectName(QStringLiteral("TabSheet1"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    // Upper group: main readout, maximum, buttons and the value selection.
    auto* summaryGroup = named(new QGroupBox(this), QStringLiteral("GroupBox2"));
    summaryGroup->setMinimumHeight(219);
    auto* upper = new QVBoxLayout(summaryGroup);
    upper->setContentsMargins(2, 2, 2, 2);
    upper->setSpacing(4);
    auto* sumHeader = named(new HeaderBar(QString(), HeaderBar::kLargeCaption, summaryGroup),
                              QStringLiteral("JvNavPanelHeader1"));
    m_texts.bind(sumHeader, &HeaderBar::setCaption, "IDS_MeasurementSumHeader");
    upper->addWidget(sumHeader);

    auto* readouts = new QHBoxLayout;
    sumReadout = readout(summaryGroup, "DisplaySum", 439, 93, 80, kSumHeightInSmallestWindow);
    readouts->addWidget(sumReadout, 3);
    auto* maxColumn = new QVBoxLayout;
    maxColumn->setSpacing(0);
    auto* maxHeader = named(new HeaderBar(QStringLiteral("Max:"), HeaderBar::kLargeCaption, summaryGroup),
                              QStringLiteral("JvNavPanelHeader2"));
    maxHeader->setMinimumWidth(151);
    maxHeader->setSizePolicy(QSizePolicy::Expanding, maxHeader->sizePolicy().verticalPolicy());
    maxReadout = readout(summaryGroup, "DisplayMax", 151, 41, 35, kMaxHeightInSmallestWindow);
    maxColumn->addWidget(maxHeader);
    maxColumn->addWidget(maxReadout, 1);
    maxColumn->addStretch(1);
    // The readouts take the width and height the window has beyond its smallest size.
    readouts->addLayout(maxColumn, 1);
    upper->addLayout(readouts, 1);

    auto* buttons = new QHBoxLayout;
    largeReadoutButton = named(new QPushButton(summaryGroup), QStringLiteral("Bit_BigWindow"));
    m_texts.bind(largeReadoutButton, &QAbstractButton::setText, "IDS_MeasurementLargeWindowButton");
    tareButton = named(new QPushButton(summaryGroup), QStringLiteral("BtnTara"));
    m_texts.bind(tareButton, &QAbstractButton::setText, "IDS_MeasurementTareButton");
    auto* in1Label = named(new QLabel(QStringLiteral("IN1"), summaryGroup), QStringLiteral("Label47"));
    // The display writes the input's state here; until then it reads "OFF".
    in1StateEdit = named(new QLineEdit(m_texts.text("IDS_MeasurementStateOff"), summaryGroup), QStringLiteral("Edit_IN1"));
    in1StateEdit->setReadOnly(true);
    in1StateEdit->setFixedWidth(40);
    in1StateEdit->setAlignment(Qt::AlignCenter);
    resetMaxButton = named(new QPushButton(summaryGroup), QStringLiteral("Btn_ResetMinMax"));
    m_texts.bind(resetMaxButton, &QAbstractButton::setText, "IDS_MeasurementResetMaxButton");
    largeReadoutButton->setIcon(buttonIcon(ButtonPicture::BigWindow));
    tareButton->setIcon(buttonIcon(ButtonPicture::Tare));
    resetMaxButton->setIcon(buttonIcon(ButtonPicture::ResetMax));
    buttons->addWidget(largeReadoutButton);
    buttons->addWidget(tareButton);
    buttons->addSpacing(12);
    buttons->addWidget(in1Label);
    buttons->addWidget(in1StateEdit);
    buttons->addSpacing(12);
    buttons->addWidget(resetMaxButton);
    buttons->addStretch(1);
    upper->addLayout(buttons);

    auto* selectionRow = new QHBoxLayout;
    auto* selectionLabel = named(new QLabel(summaryGroup), QStringLiteral("Label10"));
    m_texts.bind(selectionLabel, &QLabel::setText, "IDS_MeasurementSelectionLabel");
    selectionRow->addWidget(selectionLabel);
    const auto radio = [&](const char* name, std::string_view captionId) {
        auto* r = named(new QRadioButton(summaryGroup), QString::fromLatin1(name));
        m_texts.bind(r, &QAbstractButton::setText, captionId);
        selectionRow->addWidget(r);
        return r;
    };
    showSumRadio = radio("RadioButton_DispSum", "IDS_Sum");
    showSensor1Radio = radio("RadioButton_DispS1", "IDS_Sensor1");
    showSensor2Radio = radio("RadioButton_DispS2", "IDS_Sensor2");
    showSensor3Radio = radio("RadioButton_DispS3", "IDS_Sensor3");
    showSensor4Radio = radio("RadioButton_DispS4", "IDS_Sensor4");
    showSumRadio->setChecked(true);
    selectionRow->addStretch(1);
    upper->addLayout(selectionRow);
    // Rows below the readouts keep their height; the readouts take the rest.
    page->addWidget(summaryGroup, 2);

    // Lower group: one box per channel.
    sensorsGroup = named(new QGroupBox(this), QStringLiteral("GroupBox3"));
    auto* lower = new QVBoxLayout(sensorsGroup);
    lower->setContentsMargins(2, 2, 2, 2);
    lower->setSpacing(3);
    auto* sensorsHeader = named(new HeaderBar(QString(), HeaderBar::kLargeCaption, sensorsGroup),
                              QStringLiteral("JvNavPanelHeader4"));
    m_texts.bind(sensorsHeader, &HeaderBar::setCaption, "IDS_MeasurementSensorsHeader");
    lower->addWidget(sensorsHeader);
    for (int ch = 0; ch < 4; ++ch) {
        lower->addWidget(buildChannelBox(ch), 1);
    }
    page->addWidget(sensorsGroup, 3);
}

QGroupBox* MeasurementPage::buildChannelBox(int ch)
{
    const QString n = QString::number(ch + 1);
    ChannelControls& c = channels[static_cast<std::size_t>(ch)];
    c.box = named(new QGroupBox(sensorsGroup), QString::fromLatin1(kBoxNames[static_cast<std::size_t>(ch)]));
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
    c.header = named(new HeaderBar(QString(), HeaderBar::kChannelCaption, c.box),
                     QString::fromLatin1(kHeaderNames[static_cast<std::size_t>(ch)]));
    c.header->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    // The header is as wide as its caption in the language shown.
    m_texts.bindCustom([header = QPointer<HeaderBar>(c.header), n](const TextBindings::Lookup& text) {
        if (header) {
            header->setCaption(text("IDS_MeasurementChannelHeader").arg(n));
            header->setFixedWidth(header->sizeHint().width());
        }
    });
    row->addWidget(c.header);

    auto* middle = new QVBoxLayout;
    middle->setSpacing(1);
    auto* info = new QHBoxLayout;
    info->setSpacing(4);
    auto* loadCaption = new QLabel(c.box);
    m_texts.bind(loadCaption, &QLabel::setText, "IDS_MeasurementLoadLabel");
    info->addWidget(loadCaption);
    c.loadLabel = named(new QLabel(QStringLiteral("0%"), c.box), QStringLiteral("Label_TensLoad") + n);
    c.loadLabel->setMinimumWidth(40);
    info->addWidget(c.loadLabel);
    info->addStretch(1);
    auto* statusCaption = new QLabel(c.box);
    m_texts.bind(statusCaption, &QLabel::setText, "IDS_MeasurementStatusLabel");
    info->addWidget(statusCaption);
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
        auto* caption = new QLabel(c.box);
        m_texts.bind(caption, &QLabel::setText, kGaugeCaption[g]);
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
    if (showSumRadio->isChecked()) {
        return DisplaySelection::Sum;
    }
    if (showSensor1Radio->isChecked()) {
        return DisplaySelection::Sensor1;
    }
    if (showSensor2Radio->isChecked()) {
        return DisplaySelection::Sensor2;
    }
    if (showSensor3Radio->isChecked()) {
        return DisplaySelection::Sensor3;
    }
    if (showSensor4Radio->isChecked()) {
        return DisplaySelection::Sensor4;
    }
    return std::nullopt;
}

void MeasurementPage::retranslate()
{
    m_texts.apply();
    // A channel state already shown is shown again in the new language (its colour stays).
    for (ChannelControls& c : channels) {
        if (c.shownStatus) {
            c.statusEdit->setText(m_texts.text(display::channelStatusTextId(*c.shownStatus)));
        }
    }
}

} // namespace qmx::ui
