#pragma once
// The inner page "Wyjścia ": the two switching outputs, their indicator roles, and the button that
// opens the analog output calibration. Reading and writing the block is done by SettingsPage.

#include "settings/core/ListItems.h"
#include "ui/widgets/TextBindings.h"

#include <QWidget>

#include <array>
#include <string_view>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace qmx::ui {

/// String-table identifiers of the texts shown for the items of the output lists, position by
/// position; an empty identifier shows the item as it is. The lists' items themselves stay the
/// values of settings/core/ListItems.h. The comparison lists ("<", ">") read the same everywhere.
inline constexpr std::array<std::string_view, settings::kOutSourceItems.size()> kOutSourceTextIds{
    "IDS_OutputsSourceNone",   "IDS_OutputsSourceInput1", "IDS_OutputsSourceInput2",
    "IDS_OutputsSourceInput3", "IDS_OutputsSourceInput4", "IDS_Sum"};
inline constexpr std::array<std::string_view, settings::kOutConditionItems.size()> kOutConditionTextIds{
    "", "IDS_OutputsConditionAnd", "IDS_OutputsConditionOr"};
inline constexpr std::array<std::string_view, settings::kOutStateItems.size()> kOutStateTextIds{
    "IDS_OutputsStateInactive", "IDS_OutputsStateActive"};

/// The controls of one output line, in the order of the page's columns.
struct OutputRow {
    QLineEdit* status = nullptr;     ///< OutnStatus (filled by the measurement display)
    QComboBox* source = nullptr;     ///< Outn_source
    QComboBox* mode1 = nullptr;      ///< Outn_mode1
    QLineEdit* number1 = nullptr;    ///< Outn_Number1
    QComboBox* condition = nullptr;  ///< Outn_condition
    QComboBox* mode2 = nullptr;      ///< Outn_mode2
    QLineEdit* number2 = nullptr;    ///< Outn_Number2
    QComboBox* state = nullptr;      ///< Outn_state

    /// The seven settings controls that an indicator role disables.
    std::array<QWidget*, 7> settingsControls() const;
};

class OutputsPage : public QWidget {
    Q_OBJECT
public:
    /// The page starts with its Polish captions.
    explicit OutputsPage(QWidget* parent = nullptr);

    /// Takes the page's captions and list texts from `lookup` from now on (the interface
    /// language's texts) and shows them at once. An empty lookup goes back to Polish.
    void setTextLookup(TextBindings::Lookup lookup);
    /// Shows every caption and list text again through the lookup (after a language change).
    void retranslate();

    /// OUT1 as stability indicator: its row is disabled while ticked (values are kept).
    void stabilityIndicatorToggled();
    /// OUT2 as overload indicator: its row is disabled while ticked (values are kept).
    void overloadIndicatorToggled();

    /// The page's controls, kept at the top left of outputsGroup whatever the window's size.
    QWidget* content = nullptr;
    QCheckBox* stabilityIndicatorCheck = nullptr;
    QCheckBox* overloadIndicatorCheck = nullptr;
    QGroupBox* thresholdsGroup = nullptr; ///< "Sygnalizacja progów pomiarowych "
    OutputRow out1;
    OutputRow out2;
    QPushButton* readOutputsButton = nullptr; ///< "Odczytaj"
    QPushButton* writeOutputsButton = nullptr; ///< "Zapisz"
    QPushButton* outputsDefaultsButton = nullptr;
    /// Opens the analog output calibration window.
    QPushButton* analogCalibrationButton = nullptr;

private:
    OutputRow buildRow(int output, QGridLayout* grid);
    /// The text of `id` through the lookup, or in Polish while there is none.
    QString text(std::string_view id) const;

    TextBindings::Lookup m_lookup;
    TextBindings m_texts{[this](std::string_view id) { return text(id); }};
};

} // namespace qmx::ui
