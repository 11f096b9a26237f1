#pragma once
// The inner page "Wejścia tensometryczne": the transducer's sensor-input settings, the derived
// labels, the zero and tare buttons, and the unit suffix of the measurement display.

#include "SettingsWidgets.h"

#include "settings/core/SensorSettings.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qmx::ui {

class HeaderBar;
struct SettingsContext;

/// The controls of one sensor column (sensor n uses the names with n).
struct SensorColumn {
    QGroupBox* box = nullptr;         ///< GroupBox_Tensn
    HeaderBar* header = nullptr;      ///< "Czujnik n"
    QLabel* valueLabel = nullptr;     ///< Label_ValTensn, always "0"
    QLineEdit* range = nullptr;       ///< Edit_TRangen
    QLineEdit* sens = nullptr;        ///< Edit_TSensn
    QCheckBox* sign = nullptr;        ///< CB_TensnSign
    QPushButton* zero = nullptr;      ///< Btn_TensnZero
};

class SensorSettingsPage : public QWidget {
    Q_OBJECT
public:
    /// `context` must outlive the page.
    SensorSettingsPage(SettingsContext& context, QWidget* parent = nullptr);

    /// Number of decimals shown: the selected index of Cb_Decp (0 without a selection).
    int Decp() const;
    /// Unit suffix with its leading blank; empty until the first settings reply.
    const QString& UnitsText() const { return m_unitsText; }
    /// The current sensor settings copy (what a write sends).
    const settings::SensorSettings& currentSettings() const { return m_settings; }

    // Reply handlers.
    /// Reply 0x02: fills the page from the frame (code at offset 0) and runs the derived updates.
    void ApplySensorSettings(const QByteArray& frame);
    /// Acknowledgement of 0x8A: new unit suffix and the derived labels.
    void sensorSettingsWritten();

    // Reactions of the controls.
    void Btn_SetTensSettingsClick();
    void Btn_ReadTensSettingsClick();
    /// Asks the factory-restore question first; only OK sends the restore.
    void Button_TensSettingFactoryClick();
    void Btn_TensZeroClick(int sensor); ///< sensor 1..4
    void BitBtn4Click();
    void Btn_SumTaraClick();
    void Cb_AdRateChange();
    void UpdateResponseDelay();
    void Edit_StabiliySamplesNoExit();
    void Cb_SelTensChange();
    void UpdateUnitsText();
    /// Takes the refusal mark off the fields that hold a valid value again (after a reply or a
    /// settings file filled them).
    void clearMarksOfValidFields();

    QGroupBox* GroupBox12 = nullptr;
    /// The page's controls, kept at the top left of GroupBox12 whatever the window's size.
    QWidget* content = nullptr;
    QGroupBox* GroupBox7 = nullptr;  ///< "Wartość sumaryczna:"
    QComboBox* Cb_SelTens = nullptr;
    QLineEdit* Edit_SumOffset = nullptr;
    QPushButton* Btn_SumTara = nullptr;
    QLabel* Lab_SummaryValInfo = nullptr;
    QGroupBox* GroupBox8 = nullptr;  ///< "Filtracja pomiarów"
    QLabel* Label_DataFreq = nullptr;
    QComboBox* Cb_AdRate = nullptr;
    QComboBox* Cb_FiltLevel = nullptr;
    QLabel* Label_ResponseDelay = nullptr;
    QGroupBox* GroupBox22 = nullptr; ///< "Pomiar stabilności"
    QLineEdit* Edit_StabilityMaxDifference = nullptr;
    QLineEdit* Edit_StabiliySamplesNo = nullptr;
    QLabel* Label_StabilitySettingTime = nullptr;
    QGroupBox* GroupBox9 = nullptr;  ///< "Jednostki pomiarów"
    QComboBox* Cb_Units = nullptr;
    QComboBox* Cb_Decp = nullptr;
    QGroupBox* GroupBox10 = nullptr; ///< "Ustawienia czujników"
    QPushButton* BitBtn4 = nullptr;
    std::array<SensorColumn, 4> sensors{};
    QPushButton* Btn_ReadTensSettings = nullptr;
    QPushButton* Btn_SetTensSettings = nullptr;
    QPushButton* Button_TensSettingFactory = nullptr;

signals:
    /// The unit suffix changed (after a settings reply or an acknowledged write).
    void unitsTextChanged(const QString& unitsText);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildSumBox();
    QGroupBox* buildFilterBox();
    QGroupBox* buildStabilityBox();
    QGroupBox* buildUnitsBox();
    QGroupBox* buildSensorsBox();
    void connectControls();
    void refreshStabilityTime(int samples);
    void listCheckedFields();

    SettingsContext& m_context;
    settings::SensorSettings m_settings;
    /// The fields that "Zapisz" checks, in the order of the checks.
    std::vector<settingswidgets::CheckedField> m_checkedFields;
    QString m_unitsText;
};

} // namespace qmx::ui
