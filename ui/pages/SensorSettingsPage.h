#pragma once
// The inner page "Wejścia tensometryczne": the transducer's sensor-input settings, the derived
// labels, the zero and tare buttons, and the unit suffix of the measurement display.

#include "SettingsWidgets.h"
#include "ui/widgets/TextBindings.h"

#include "settings/core/SensorSettings.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>
#include <span>
#include <string_view>
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
    /// `context` must outlive the page; its lookup gives the page's texts.
    SensorSettingsPage(SettingsContext& context, QWidget* parent = nullptr);

    /// Puts every caption, list item and tool tip into the interface language chosen now, and
    /// the sum formula shown and the names of the refusal box with them.
    void retranslate();

    /// Number of decimals shown: the selected index of decimalsList (0 without a selection).
    int Decp() const;
    /// Unit suffix with its leading blank; empty until the first settings reply.
    const QString& unitsText() const { return m_unitsText; }
    /// The current sensor settings copy (what a write sends).
    const settings::SensorSettings& currentSettings() const { return m_settings; }

    // Reply handlers.
    /// Reply 0x02: fills the page from the frame (code at offset 0) and runs the derived updates.
    void applySensorSettings(const QByteArray& frame);
    /// Acknowledgement of 0x8A: new unit suffix and the derived labels.
    void sensorSettingsWritten();

    // Reactions of the controls.
    void writeSensorSettings();
    void readSensorSettings();
    /// Asks the factory-restore question first; only OK sends the restore.
    void restoreSensorDefaults();
    void zeroSensor(int sensor); ///< sensor 1..4
    void zeroAllSensors();
    void tareSum();
    void adRateChanged();
    void updateResponseDelay();
    void checkStabilitySamples();
    void sumSelectionChanged();
    void updateUnitsText();
    /// Takes the refusal mark off the fields that hold a valid value again (after a reply or a
    /// settings file filled them).
    void clearMarksOfValidFields();

    QGroupBox* sensorInputsGroup = nullptr;
    /// The page's controls, kept at the top left of sensorInputsGroup whatever the window's size.
    QWidget* content = nullptr;
    QGroupBox* sumGroup = nullptr;  ///< "Wartość sumaryczna:"
    QComboBox* sumSelectionList = nullptr;
    QLineEdit* sumOffsetEdit = nullptr;
    QPushButton* sumTareButton = nullptr;
    QLabel* sumFormulaLabel = nullptr;
    QGroupBox* filterGroup = nullptr;  ///< "Filtracja pomiarów"
    QLabel* dataRateLabel = nullptr;
    QComboBox* adRateList = nullptr;
    QComboBox* filterLevelList = nullptr;
    QLabel* responseDelayLabel = nullptr;
    QGroupBox* stabilityGroup = nullptr; ///< "Pomiar stabilności"
    QLineEdit* stabilityMaxDifferenceEdit = nullptr;
    QLineEdit* stabilitySamplesEdit = nullptr;
    QLabel* stabilityTimeLabel = nullptr;
    QGroupBox* unitsGroup = nullptr;  ///< "Jednostki pomiarów"
    QComboBox* unitsList = nullptr;
    QComboBox* decimalsList = nullptr;
    QGroupBox* sensorSettingsGroup = nullptr; ///< "Ustawienia czujników"
    QPushButton* zeroAllButton = nullptr;
    std::array<SensorColumn, 4> sensors{};
    QPushButton* readSensorSettingsButton = nullptr;
    QPushButton* writeSensorSettingsButton = nullptr;
    QPushButton* sensorDefaultsButton = nullptr;

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
    /// Shows the formula of the summed channels last chosen (or the plain caption before any).
    void showSumFormula(const TextBindings::Lookup& text);
    /// Names the items of `list` (filled from the list table `items`) by the string-table texts
    /// A plain caption label whose text is the string-table text `id`.
    QLabel* caption(QWidget* parent, std::string_view id);

    SettingsContext& m_context;
    settings::SensorSettings m_settings;
    /// The fields that "Zapisz" checks, in the order of the checks.
    std::vector<settingswidgets::CheckedField> m_checkedFields;
    QString m_unitsText;
    /// The formula shown for the summed channels; nothing until a selection was applied.
    std::optional<std::string_view> m_sumFormulaId;
    TextBindings m_texts;
};

} // namespace qmx::ui
