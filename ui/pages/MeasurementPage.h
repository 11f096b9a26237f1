#pragma once
// The "Pomiary" page: main readout, maximum, tare and maximum-reset buttons, the value selection,
// and one box per sensor channel with status, load, gauges and value.

#include "display/LiveDisplay.h"
#include "ui/widgets/FittedLabel.h"
#include "ui/widgets/TextBindings.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qmx::ui {

class HeaderBar;
class LoadGauge;

/// The controls of one channel box (channel n uses the names with n).
struct ChannelControls {
    QGroupBox* box = nullptr;             ///< GroupBox_DispTens, GroupBox5, GroupBox15, GroupBox19
    HeaderBar* header = nullptr;          ///< "Kanał n:"
    QLabel* loadLabel = nullptr;          ///< Label_TensLoadn
    QLineEdit* statusEdit = nullptr;      ///< Edit_Chn_Status
    std::array<LoadGauge*, 3> gauges{};   ///< Progress_TensValn_100, _150, _200
    FittedLabel* valueLabel = nullptr;    ///< DisplayTensn
    /// The channel state the status field shows (none while it shows no state), so that a change
    /// of language can show the same state in the new language.
    std::optional<std::uint8_t> shownStatus;
};

class MeasurementPage : public QWidget {
    Q_OBJECT
public:
    /// Captions are taken through `lookup` in the interface language chosen at the time.
    explicit MeasurementPage(TextBindings::Lookup lookup, QWidget* parent = nullptr);

    /// Puts every caption of the page into the interface language chosen now.
    void retranslate();

    /// The value chosen by the radio buttons; nullopt when none is checked.
    std::optional<display::DisplaySelection> selection() const;

    QGroupBox* sensorsGroup = nullptr;
    FittedLabel* sumReadout = nullptr;
    FittedLabel* maxReadout = nullptr;
    QPushButton* largeReadoutButton = nullptr;
    QPushButton* tareButton = nullptr;
    QPushButton* resetMaxButton = nullptr;
    QLineEdit* in1StateEdit = nullptr;
    QRadioButton* showSumRadio = nullptr;
    QRadioButton* showSensor1Radio = nullptr;
    QRadioButton* showSensor2Radio = nullptr;
    QRadioButton* showSensor3Radio = nullptr;
    QRadioButton* showSensor4Radio = nullptr;
    std::array<ChannelControls, 4> channels{};

private:
    QGroupBox* buildChannelBox(int channel);

    TextBindings m_texts;
};

} // namespace qmx::ui
