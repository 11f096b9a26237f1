#pragma once
// The "Ustawienia" page: the transducer's settings on three inner pages.

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace qmx::ui {

class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(QWidget* parent = nullptr);

    QTabWidget* PageControl2 = nullptr;
    QWidget* TabSheet6 = nullptr; ///< "Wejścia tensometryczne"
    QWidget* TabSheet7 = nullptr; ///< "Komunikacja"
    QWidget* TabSheet4 = nullptr; ///< "Wyjścia "
    QComboBox* Cb_FiltLevel = nullptr;
    QComboBox* Cb_Decp = nullptr;           ///< decimals shown by every readout
    QComboBox* Cb_ModbusAddress = nullptr;
    QLabel* Label_Rs485FPS = nullptr;
    QLabel* Label_EthFps = nullptr;
    QLineEdit* Out1Status = nullptr;
    QLineEdit* Out2Status = nullptr;
};

} // namespace qmx::ui
