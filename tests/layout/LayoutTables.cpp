#include "LayoutTables.h"

namespace qmx::test::layout {

namespace {

const char* const kLabel = "QLabel";
const char* const kEdit = "QLineEdit";
const char* const kButton = "QPushButton";
const char* const kCheck = "QCheckBox";
const char* const kRadio = "QRadioButton";
const char* const kList = "QComboBox";
const char* const kGroup = "QGroupBox";
const char* const kHeader = "qmx::ui::HeaderBar";
const char* const kGauge = "qmx::ui::LoadGauge";

std::vector<ControlRow> makeControls()
{
    std::vector<ControlRow> rows{
        // Connection strip, left to right; the language controls are hidden.
        {"Panel1", "QWidget", nullptr, "Form1"},
        {"Label19", kLabel, "Status połączenia", "Panel1"},
        {"ConnectionStatus", kEdit, "", "Panel1"},
        {"Label20", kLabel, "Język", "Panel1"},
        {"siLangCombo1", kList, nullptr, "Panel1"},
        // Page control and its pages.
        {"PageControl1", "QTabWidget", nullptr, "Form1"},
        {"TabSheet1", "qmx::ui::MeasurementPage", nullptr, "PageControl1"},
        {"TabSheet2", "qmx::ui::ChartPage", nullptr, "PageControl1"},
        {"TabSheet3", "qmx::ui::RecordingPage", nullptr, "PageControl1"},
        {"TabSheet5", "qmx::ui::SettingsPage", nullptr, "PageControl1"},
        // Status strip.
        {"GroupBox1", kGroup, "", "Form1"},
        {"Label1", kLabel, "Status:", "GroupBox1"},
        {"Label_Status", kLabel, "...", "GroupBox1"},
        {"Label_FpsData", kLabel, "Fps: 0", "GroupBox1"},
        {"Label26", kLabel, "Rejestracja do pliku:", "GroupBox1"},
        {"StatusBarAcquisition", kEdit, "NIEAKTYWNA", "GroupBox1"},
        {"ListBox1", "QListWidget", nullptr, "Form1"},

        // Page "Pomiary".
        {"GroupBox2", kGroup, "", "TabSheet1"},
        {"JvNavPanelHeader1", kHeader, "Wartość sumaryczna", "GroupBox2"},
        {"DisplaySum", kLabel, "0", "GroupBox2"},
        {"JvNavPanelHeader2", kHeader, "Max:", "GroupBox2"},
        {"DisplayMax", kLabel, "0", "GroupBox2"},
        {"Bit_BigWindow", kButton, "Duże okno", "GroupBox2"},
        {"BtnTara", kButton, "Tara", "GroupBox2"},
        {"Label47", kLabel, "IN1", "GroupBox2"},
        {"Edit_IN1", kEdit, "OFF", "GroupBox2"},
        {"Btn_ResetMinMax", kButton, "Reset Max", "GroupBox2"},
        {"Label10", kLabel, "Wyswietlany / tarowany pomiar:", "GroupBox2"},
        {"RadioButton_DispSum", kRadio, "Suma", "GroupBox2"},
        {"RadioButton_DispS1", kRadio, "Czujnik 1", "GroupBox2"},
        {"RadioButton_DispS2", kRadio, "Czujnik 2", "GroupBox2"},
        {"RadioButton_DispS3", kRadio, "Czujnik 3", "GroupBox2"},
        {"RadioButton_DispS4", kRadio, "Czujnik 4", "GroupBox2"},
        {"GroupBox3", kGroup, "", "TabSheet1"},
        {"JvNavPanelHeader4", kHeader, "Wartości z czujników", "GroupBox3"},

        // Page "Wykres".
        {"GroupBox6", kGroup, "", "TabSheet2"},
        {"Panel2", "QFrame", nullptr, "GroupBox6"},
        {"JvHeader_Chart", kHeader, "Wykres", "Panel2"},
        {"ChartStatus", kEdit, "NIEAKTYWNY", "Panel2"},
        {"Btn_ChartTips", kButton, "Pomoc", "Panel2"},
        {"Panel3", "QFrame", nullptr, "GroupBox6"},
        {"GroupBox16", kGroup, "", "Panel3"},
        {"Btn_ChartStart", kButton, "Start", "GroupBox16"},
        {"Btn_ChartPause", kButton, "Pauza", "GroupBox16"},
        {"Btn_ChartReset", kButton, "Reset", "GroupBox16"},
        {"ComboB_ChartSampling", kList, nullptr, "GroupBox16"},
        {"Cb_ChartTimeWindow", kList, nullptr, "GroupBox16"},
        {"GroupBox17", kGroup, "", "Panel3"},
        {"Btn_Print", kButton, "Drukuj", "GroupBox17"},
        {"Btn_CharPrintSetting", kButton, "Opcje wydruku", "GroupBox17"},
        {"Btn_SaveBmpChart", kButton, "Zapisz jako obraz", "GroupBox17"},
        {"GroupBox13", kGroup, "", "Panel3"},
        {"Cb_ChartAutoStartStop", kCheck, "Auto start/stop", "GroupBox13"},
        {"ComboBox_ChartAutoCh", kList, nullptr, "GroupBox13"},
        {"Label_ChartTrigActVal", kLabel, "0", "GroupBox13"},
        {"Edit_AutoStartVal", kEdit, "0", "GroupBox13"},
        {"Edit_AutoStopVal", kEdit, "0", "GroupBox13"},

        // Page "Rejestracja".
        {"GroupBoxDataAcquistion", kGroup, "", "TabSheet3"},
        {"JvHeader_File", kHeader, "Rejestracja pomiarów do pliku", "GroupBoxDataAcquistion"},
        {"Checkbox_Acquistion", kCheck, "Aktywuj zapis", "GroupBoxDataAcquistion"},
        {"Edit_IN2", kEdit, "IN2", "GroupBoxDataAcquistion"},
        {"Label_TimeToAcqData", kLabel, "0 s", "GroupBoxDataAcquistion"},
        {"AcquisitionStatus", kEdit, "...", "GroupBoxDataAcquistion"},
        {"GroupBox14", kGroup, "Ustawienia", "GroupBoxDataAcquistion"},
        {"Rb_AcqContinuus", kRadio, "Zapis ciągły", "GroupBox14"},
        {"Rb_AcqTrigIN2", kRadio, "Zapis pojedynczy wejściem IN2", "GroupBox14"},
        {"Rb_AcqContinuusIN2", kRadio, "Zapis ciągły wejściem IN2", "GroupBox14"},
        {"Label_DataAcqSpeed", kLabel, "Częstotliwość rejestracji", "GroupBox14"},
        {"ComboBox_AcquistionTime", kList, nullptr, "GroupBox14"},
        {"Label_DataAcqParam", kGroup, "Rejestruj do pliku:", "GroupBox14"},
        {"Checkbox_SaveDate", kCheck, "Data", "Label_DataAcqParam"},
        {"Checkbox_SaveTime", kCheck, "Godzina", "Label_DataAcqParam"},
        {"Checkbox_SaveDataCnt", kCheck, "Lp.", "Label_DataAcqParam"},
        {"Cb_SaveDataSummary", kCheck, "Suma", "Label_DataAcqParam"},
        {"Cb_SaveDataSens1", kCheck, "Czujnik 1", "Label_DataAcqParam"},
        {"Cb_SaveDataSens2", kCheck, "Czujnik 2", "Label_DataAcqParam"},
        {"Cb_SaveDataSens3", kCheck, "Czujnik 3", "Label_DataAcqParam"},
        {"Cb_SaveDataSens4", kCheck, "Czujnik 4", "Label_DataAcqParam"},
        {"Edit_FileName", kEdit, "Sciezka zapisu", "GroupBox14"},
        {"Button_SaveFilePath", kButton, "Scieżka zapisu", "GroupBox14"},

        // Page "Ustawienia".
        {"GroupBox20", kGroup, "", "TabSheet5"},
        {"JvNavPanelHeader18", kHeader, "Ustawienia", "GroupBox20"},
        {"PageControl2", "QTabWidget", nullptr, "GroupBox20"},
        {"TabSheet6", "qmx::ui::SensorSettingsPage", nullptr, "PageControl2"},
        {"TabSheet7", "qmx::ui::CommunicationPage", nullptr, "PageControl2"},
        {"TabSheet4", "qmx::ui::OutputsPage", nullptr, "PageControl2"},

        // Inner page "Wejścia tensometryczne".
        {"GroupBox12", kGroup, "", "TabSheet6"},
        {"GroupBox7", kGroup, "Wartość sumaryczna:", "GroupBox12"},
        {"Cb_SelTens", kList, nullptr, "GroupBox7"},
        {"Edit_SumOffset", kEdit, "0", "GroupBox7"},
        {"Btn_SumTara", kButton, "Tara", "GroupBox7"},
        {"Lab_SummaryValInfo", kLabel, "Wartosc sumaryczna", "GroupBox7"},
        {"GroupBox8", kGroup, "Filtracja pomiarów", "GroupBox12"},
        {"Label_DataFreq", kLabel, "Częstliwosc pomiarów: ", "GroupBox8"},
        {"Cb_AdRate", kList, nullptr, "GroupBox8"},
        {"Cb_FiltLevel", kList, nullptr, "GroupBox8"},
        {"Label_ResponseDelay", kLabel, "0", "GroupBox8"},
        {"GroupBox22", kGroup, "Pomiar stabilności", "GroupBox12"},
        {"Edit_StabilityMaxDifference", kEdit, "0", "GroupBox22"},
        {"Edit_StabiliySamplesNo", kEdit, "0", "GroupBox22"},
        {"Label_StabilitySettingTime", kLabel, "0", "GroupBox22"},
        {"GroupBox9", kGroup, "Jednostki pomiarów", "GroupBox12"},
        {"Cb_Units", kList, nullptr, "GroupBox9"},
        {"Cb_Decp", kList, nullptr, "GroupBox9"},
        {"GroupBox10", kGroup, "Ustawienia czujników", "GroupBox12"},
        {"BitBtn4", kButton, "Zero 1 2 3 4", "GroupBox10"},
        {"Btn_ReadTensSettings", kButton, "Odczytaj", "GroupBox12"},
        {"Btn_SetTensSettings", kButton, "Zapisz", "GroupBox12"},
        {"Button_TensSettingFactory", kButton, "Przywróć fabryczne", "GroupBox12"},

        // Inner page "Komunikacja".
        {"GroupBox18", kGroup, "", "TabSheet7"},
        {"GroupBox21", kGroup, "RS485 Modbus-RTU", "GroupBox18"},
        {"Cb_ModbusBaud", kList, nullptr, "GroupBox21"},
        {"Cb_ModbusAddress", kList, nullptr, "GroupBox21"},
        {"Cb_ModbusParity", kList, nullptr, "GroupBox21"},
        {"Label_Rs485FPS", kLabel, "0", "GroupBox21"},
        {"GroupBox4", kGroup, "Ethernet Modbus TCP/IP", "GroupBox18"},
        {"MaskEdit_IP_Addr", kEdit, "192.168.0.2", "GroupBox4"},
        {"MaskEdit_IP_Mask", kEdit, "255.255.255.0", "GroupBox4"},
        {"MaskEdit_IP_Gate", kEdit, "192.168.0.1", "GroupBox4"},
        {"Edit1", kEdit, "502", "GroupBox4"},
        {"MaskEdit_MAC", kEdit, "00:00:00:00:00:00", "GroupBox4"},
        {"Label_EthFps", kLabel, "0", "GroupBox4"},
        {"Btn_ReadIOettings", kButton, "Odczytaj", "GroupBox18"},
        {"Btn_SaveIOSettings", kButton, "Zapisz", "GroupBox18"},
        {"Btn_ComFactory", kButton, "Przywróć fabryczne", "GroupBox18"},

        // Inner page "Wyjścia ".
        {"GroupBox11", kGroup, "", "TabSheet4"},
        {"Cb_Out1StabilityIndicator", kCheck, "Wyjście OUT1 jako sygnalizacja stabilności pomiarów", "GroupBox11"},
        {"Cb_Out2OverloadIndicator", kCheck, "Wyjście OUT2 jako sygnalizacja przeciążenia", "GroupBox11"},
        {"GroupBox26", kGroup, "Sygnalizacja progów pomiarowych ", "GroupBox11"},
        {"BitBtn5", kButton, "Odczytaj", "GroupBox11"},
        {"BitBtn6", kButton, "Zapisz", "GroupBox11"},
        {"Btn_OutputsFactory", kButton, "Przywróć fabryczne", "GroupBox11"},
    };

    // The four channel boxes of "Pomiary" and the four sensor columns of the sensor page.
    static const char* const boxes[] = {"GroupBox_DispTens", "GroupBox5", "GroupBox15", "GroupBox19"};
    static const char* const channelHeaders[] = {"JvNavPanelHeader9", "JvNavPanelHeader5", "JvNavPanelHeader6",
                                                 "JvNavPanelHeader7"};
    static const char* const channelCaptions[] = {"Kanał 1:", "Kanał 2:", "Kanał 3:", "Kanał 4:"};
    static const char* const sensorHeaders[] = {"JvNavPanelHeader14", "JvNavPanelHeader11", "JvNavPanelHeader12",
                                                "JvNavPanelHeader13"};
    static const char* const sensorCaptions[] = {"Czujnik 1", "Czujnik 2", "Czujnik 3", "Czujnik 4"};
    // Names built from the channel number live as long as the table.
    static std::vector<QByteArray> names;
    const auto name = [](const QString& text) {
        names.push_back(text.toLatin1());
        return names.back().constData();
    };
    names.reserve(64);
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        rows.push_back({boxes[i], kGroup, "", "GroupBox3"});
        rows.push_back({channelHeaders[i], kHeader, channelCaptions[i], boxes[i]});
        rows.push_back({name(QStringLiteral("Label_TensLoad") + n), kLabel, "0%", boxes[i]});
        rows.push_back({name(QStringLiteral("Edit_Ch%1_Status").arg(n)), kEdit, "---", boxes[i]});
        for (const char* suffix : {"_100", "_150", "_200"}) {
            rows.push_back({name(QStringLiteral("Progress_TensVal") + n + QLatin1String(suffix)), kGauge, nullptr,
                            boxes[i]});
        }
        rows.push_back({name(QStringLiteral("DisplayTens") + n), kLabel, "0", boxes[i]});

        const char* column = name(QStringLiteral("GroupBox_Tens") + n);
        rows.push_back({column, kGroup, "", "GroupBox10"});
        rows.push_back({sensorHeaders[i], kHeader, sensorCaptions[i], column});
        rows.push_back({name(QStringLiteral("Label_ValTens") + n), kLabel, "0", column});
        rows.push_back({name(QStringLiteral("Edit_TRange") + n), kEdit, "0", column});
        rows.push_back({name(QStringLiteral("Edit_TSens") + n), kEdit, "0", column});
        rows.push_back({name(QStringLiteral("CB_Tens%1Sign").arg(n)), kCheck, "Odwróć znak", column});
        rows.push_back({name(QStringLiteral("Btn_Tens%1Zero").arg(n)), kButton, "Zero", column});
    }

    // The two output lines of the threshold grid.
    for (int out = 1; out <= 2; ++out) {
        const QString p = QStringLiteral("Out%1").arg(out);
        rows.push_back({name(p + QStringLiteral("Status")), kEdit, "OFF", "GroupBox26"});
        rows.push_back({name(p + QStringLiteral("_source")), kList, nullptr, "GroupBox26"});
        rows.push_back({name(p + QStringLiteral("_mode1")), kList, nullptr, "GroupBox26"});
        rows.push_back({name(p + QStringLiteral("_Number1")), kEdit, "0", "GroupBox26"});
        rows.push_back({name(p + QStringLiteral("_condition")), kList, nullptr, "GroupBox26"});
        rows.push_back({name(p + QStringLiteral("_mode2")), kList, nullptr, "GroupBox26"});
        rows.push_back({name(p + QStringLiteral("_Number2")), kEdit, "0", "GroupBox26"});
        rows.push_back({name(p + QStringLiteral("_state")), kList, nullptr, "GroupBox26"});
    }
    return rows;
}

} // namespace

const std::vector<ControlRow>& controls()
{
    static const std::vector<ControlRow> rows = makeControls();
    return rows;
}

const std::vector<StartUpText>& startUpTexts()
{
    static const std::vector<StartUpText> rows{
        {"ConnectionStatus", "Brak połączenia", "no transducer yet: link status set first at start-up"},
        {"Edit_FileName", nullptr, "stored recording file name, by default pomiary.csv in the user's documents folder"},
        {"Edit_AutoStartVal", "50.00", "stored chart start threshold (default 50.0), two decimals"},
        {"Edit_AutoStopVal", "10.00", "stored chart stop threshold (default 10.0), two decimals"},
        {"Label_ResponseDelay", nullptr, "derived from the rate and filter lists at start-up"},
        {"Label_StabilitySettingTime", nullptr, "derived from the rate list and the sample count at start-up"},
    };
    return rows;
}

const std::vector<ListRow>& lists()
{
    static const QStringList outSource{QStringLiteral("Nieaktywne"), QStringLiteral("Wejście 1"),
                                       QStringLiteral("Wejście 2"),  QStringLiteral("Wejście 3"),
                                       QStringLiteral("Wejście 4"),  QStringLiteral("Suma")};
    static const QStringList outMode{QStringLiteral("<"), QStringLiteral(">")};
    static const QStringList outCondition{QStringLiteral("---"), QStringLiteral("ORAZ"), QStringLiteral("LUB")};
    static const QStringList outState{QStringLiteral("Nieaktywne"), QStringLiteral("Aktywne")};
    static const std::vector<ListRow> rows{
        {"ComboB_ChartSampling",
         {"100/sek.", "50 /sek.", "25 /sek.", "10/sek.", "1/sek.", "1/min.", "10/min.", "10/h."},
         0,
         2}, // stored sampling, default 2
        {"Cb_ChartTimeWindow", {"1 sek.", "10 sek.", "1 min.", "5 min.", "10 min.", "30 min.", "1 h."}, 1, 1},
        {"ComboBox_ChartAutoCh", {"1", "2", "3", "4", "SUMA"}, 0, 0},
        {"ComboBox_AcquistionTime",
         {" 100 / s.", " 50 / s.", " 25 / s.", " 10 / s.", " 1 / s.", " 10 / min.", " 1 / min"},
         3,
         0}, // stored recording rate, default 0
        {"Cb_SelTens", {"1", "1+2", "1+2+3", "1+2+3+4"}, 0, 0},
        {"Cb_AdRate", {"4 / sek", "10 / sek", "16 / sek ", "33 / sek", "50 / sek", "62 / sek", "120 / sek"}, 2, 2},
        {"Cb_FiltLevel", {"1", "2", "4", "8", "16", "32", "64", "128"}, 0, 0},
        {"Cb_Units", {"N - niutony", "kN -kiloniutony", "g   -gramy", "kg -kilogramy", "kN"}, 0, 0},
        {"Cb_Decp", {"0", "1", "2", "3", "4"}, 0, 1}, // stored decimals, default 1
        {"Cb_ModbusBaud", {"9600", "19200", "38400", "57600", "115200"}, 2, 2},
        {"Cb_ModbusParity", {"None", "Odd", "Even"}, 0, 0},
        {"Out1_source", outSource, 0, 0},
        {"Out2_source", outSource, 0, 0},
        {"Out1_mode1", outMode, 0, 0},
        {"Out1_mode2", outMode, 0, 0},
        {"Out2_mode1", outMode, 0, 0},
        {"Out2_mode2", outMode, 0, 0},
        {"Out1_condition", outCondition, 0, 0},
        {"Out2_condition", outCondition, 0, 0},
        {"Out1_state", outState, 0, 0},
        {"Out2_state", outState, 0, 0},
        {"siLangCombo1", {"Polski", "English"}, 0, 0}, // stored language, default Polish
    };
    return rows;
}

const std::vector<TooltipRow>& tooltips()
{
    static const std::vector<TooltipRow> rows{
        {"ComboB_ChartSampling", "Okresla czestotliwosc dodawania nowych pomiarow do wykresu"},
        {"Cb_ChartTimeWindow",
         "Okresla czas zapelnienia okna wykresu pomiarami. Po przekroczeniu czasu okno jest przesuwane."},
        {"Cb_ChartAutoStartStop", "Automatyczne rozpoczęcie i zatrzymanie rejestracji pomiarów na wykresie."},
        {"Edit_AutoStartVal", "Wartość siły powyżej której rozpocznie się rejestracjia pomiarów. Wartość powinna być "
                              "większa od parametru \"Próg stop\"."},
        {"Edit_AutoStopVal", "Wartość siły poniżej której zakończy się rejestracjia pomiarów. Wartość powinna być "
                             "mniejsza od parametru \"Próg star\"."},
        {"ComboBox_ChartAutoCh", "Wybór kanału sterującego rozpoczęciem / zatrzymaniem rejestracji pomiarów."},
        {"ComboBox_AcquistionTime",
         "Prędkosć zapisu pomiarow do pliku. Maksymalnie 100 pomiarow/sekunde, minimalnie 1/godzine."},
        {"Rb_AcqContinuus", "Zapis odbywa się ciągle z okresem \"Częstotliwość rejestracji\""},
        {"Rb_AcqTrigIN2", "Zapis odbywa się na zbocze narastające na wejście IN2 "},
        {"Rb_AcqContinuusIN2",
         "Zapis odbywa się na stan wysoki na wejście IN2 z okresem zapisu \"Częstotliwość rejestracji\""},
        {"Cb_SelTens", "Określa ilość aktywnych weść czujników siły"},
        {"Label_DataFreq", "Czestotliwosc próbkowania / kanał"},
        {"Cb_FiltLevel", "Poziom ciągłego filtru uśredniającego."},
        {"Label_ResponseDelay", "Czas odpowiedzi kanału przy zmianie siły"},
        {"Label_StabilitySettingTime", "Czas odpowiedzi kanału przy zmianie siły"},
    };
    return rows;
}

const std::vector<FontRow>& fonts()
{
    static const std::vector<FontRow> rows{
        {"Form1", "Tahoma", 11, false},
        {"DisplaySum", "Arial", 80, true},
        {"DisplayMax", "Arial", 35, true},
        {"Edit_Ch1_Status", "Arial", 12, false},
        {"Edit_Ch2_Status", "Arial", 12, false},
        {"Edit_Ch3_Status", "Arial", 12, false},
        {"Edit_Ch4_Status", "Arial", 12, false},
        {"DisplayTens1", "Arial", 32, true},
        {"DisplayTens2", "Arial", 32, true},
        {"DisplayTens3", "Arial", 32, true},
        {"DisplayTens4", "Arial", 32, true},
        {"StatusBarAcquisition", "Calibri", 11, false},
        {"ChartStatus", "Calibri", 12, false},
        {"AcquisitionStatus", "Calibri", 12, false},
        {"MaskEdit_IP_Addr", "Courier New", 13, false},
        {"MaskEdit_IP_Mask", "Courier New", 13, false},
        {"MaskEdit_IP_Gate", "Courier New", 13, false},
        {"MaskEdit_MAC", "Courier New", 13, false},
        {"Out1Status", "Arial", 12, true},
        {"Out2Status", "Arial", 12, true},
    };
    return rows;
}

const std::vector<HeaderRow>& headers()
{
    static const std::vector<HeaderRow> rows{
        {"JvNavPanelHeader1", "Wartość sumaryczna", 16},
        {"JvNavPanelHeader2", "Max:", 16},
        {"JvNavPanelHeader4", "Wartości z czujników", 16},
        {"JvNavPanelHeader9", "Kanał 1:", 15},
        {"JvNavPanelHeader5", "Kanał 2:", 15},
        {"JvNavPanelHeader6", "Kanał 3:", 15},
        {"JvNavPanelHeader7", "Kanał 4:", 15},
        {"JvHeader_Chart", "Wykres", 13},
        {"JvHeader_File", "Rejestracja pomiarów do pliku", 13},
        {"JvNavPanelHeader18", "Ustawienia", 13},
        {"JvNavPanelHeader14", "Czujnik 1", 13},
        {"JvNavPanelHeader11", "Czujnik 2", 13},
        {"JvNavPanelHeader12", "Czujnik 3", 13},
        {"JvNavPanelHeader13", "Czujnik 4", 13},
    };
    return rows;
}

const std::vector<SizeRow>& grownFromSizes()
{
    static const std::vector<SizeRow> rows{
        {"GroupBox2", 0, 219},
        {"DisplaySum", 439, 93},
        {"DisplayMax", 151, 41},
        {"GroupBox_DispTens", 646, 62},
        {"GroupBox5", 646, 62},
        {"GroupBox15", 646, 62},
        {"GroupBox19", 646, 62},
    };
    return rows;
}

const std::vector<SizeRow>& fixedSizes()
{
    static const std::vector<SizeRow> rows{
        {"ConnectionStatus", 246, 0},
        {"GroupBox1", 0, 25},
        {"StatusBarAcquisition", 80, 0},
        {"Progress_TensVal1_100", 190, 0},
        {"Progress_TensVal1_150", 85, 0},
        {"Progress_TensVal1_200", 85, 0},
        {"Progress_TensVal4_100", 190, 0},
        {"Progress_TensVal4_150", 85, 0},
        {"Progress_TensVal4_200", 85, 0},
        {"Panel3", 0, 120},
    };
    return rows;
}

} // namespace qmx::test::layout
