#pragma once
// The "Pomiary" page: main readout, maximum, tare and maximum-reset buttons, the value selection,
// and one box per sensor channel with status, load, gauges and value.

#include "display/LiveDisplay.h"
#include "ui/widgets/FittedLabel.h"

#include <QWidget>

#include <array>

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
};

class MeasurementPage : public QWidget {
    Q_OBJECT
public:
    explicit MeasurementPage(QWidget* parent = nullptr);

    /// The value chosen by the radio buttons; nullopt when none is checked.
    std::optional<display::DisplaySelection> selection() const;

    QGroupBox* GroupBox2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    HeaderBar* JvNavPanelHeader1 = nullptr;
    HeaderBar* JvNavPanelHeader2 = nullptr;
    HeaderBar* JvNavPanelHeader4 = nullptr;
    FittedLabel* DisplaySum = nullptr;
    FittedLabel* DisplayMax = nullptr;
    QPushButton* Bit_BigWindow = nullptr;
    QPushButton* BtnTara = nullptr;
    QPushButton* Btn_ResetMinMax = nullptr;
    QLabel* Label47 = nullptr;
    QLineEdit* Edit_IN1 = nullptr;
    QLabel* Label10 = nullptr;
    QRadioButton* RadioButton_DispSum = nullptr;
    QRadioButton* RadioButton_DispS1 = nullptr;
    QRadioButton* RadioButton_DispS2 = nullptr;
    QRadioButton* RadioButton_DispS3 = nullptr;
    QRadioButton* RadioButton_DispS4 = nullptr;
    std::array<ChannelControls, 4> channels{};

private:
    QGroupBox* buildChannelBox(int channel);
};

} // namespace qmx::ui
