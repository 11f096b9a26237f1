// The main window against the tables of its controls, lists, tooltips, fonts and header bars.

#include "LayoutFixture.h"
#include "LayoutTables.h"

#include "link/LinkController.h"
#include "ui/icons/Icons.h"
#include "ui/pages/ChartPage.h"
#include "ui/pages/MeasurementPage.h"
#include "ui/pages/RecordingPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/widgets/HeaderBar.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>

#include <map>

using namespace qmx;
using namespace qmx::test::layout;

namespace {

/// A caption as it is drawn: the "&" that marks a control's Alt letter is not shown ("&&" is a
/// shown ampersand).
QString withoutAltMark(QString caption)
{
    static const QRegularExpression altMark(QStringLiteral("&(.)"));
    return caption.replace(altMark, QStringLiteral("\\1"));
}

/// The caption or text a control shows, by its kind.
QString shownText(const QWidget* w)
{
    if (const auto* header = qobject_cast<const ui::HeaderBar*>(w)) {
        return header->caption();
    }
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        return label->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        return edit->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return withoutAltMark(button->text());
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
        return group->title();
    }
    return QStringLiteral("<no text>");
}

QStringList itemsOf(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->itemText(i);
    }
    return items;
}

const StartUpText* startUpTextOf(const char* name)
{
    for (const StartUpText& row : startUpTexts()) {
        if (qstrcmp(row.name, name) == 0) {
            return &row;
        }
    }
    return nullptr;
}

class MainWindowLayout : public MainWindowFixture {};

} // namespace

TEST_F(MainWindowLayout, EveryControlHasItsKindTextAndContainer)
{
    for (const ControlRow& row : controls()) {
        SCOPED_TRACE(row.name);
        QWidget* w = control(row.name);
        ASSERT_NE(w, nullptr) << "missing or not unique";
        EXPECT_TRUE(w->inherits(row.kind)) << "is a " << w->metaObject()->className();
        QWidget* container = control(row.container);
        ASSERT_NE(container, nullptr) << row.container;
        EXPECT_TRUE(container->isAncestorOf(w)) << "not inside " << row.container;
        if (row.text == nullptr) {
            continue;
        }
        // Start-up replaces a few design texts (preferences, the link status, derived values).
        QString expected = QString::fromUtf8(row.text);
        if (const StartUpText* startUp = startUpTextOf(row.name)) {
            if (startUp->text == nullptr) {
                continue;
            }
            expected = QString::fromUtf8(startUp->text);
        }
        QString shown = shownText(w);
        if (startUpTextOf(row.name) != nullptr) {
            shown.replace(u',', u'.'); // the user's decimal mark
        }
        EXPECT_EQ(shown, expected);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(MainWindowLayout, EveryStartUpTextBelongsToATableControl)
{
    for (const StartUpText& row : startUpTexts()) {
        const bool listed = std::any_of(controls().begin(), controls().end(),
                                        [&row](const ControlRow& c) { return qstrcmp(c.name, row.name) == 0; });
        EXPECT_TRUE(listed) << row.name;
    }
}

TEST_F(MainWindowLayout, ListsHoldTheirItemsAndTheStartUpSelection)
{
    for (const ListRow& row : lists()) {
        SCOPED_TRACE(row.name);
        auto* list = qobject_cast<QComboBox*>(control(row.name));
        ASSERT_NE(list, nullptr);
        EXPECT_FALSE(list->isEditable()) << "drop-down list without free text";
        EXPECT_EQ(itemsOf(list), row.items);
        EXPECT_EQ(list->currentIndex(), row.startUpSelection);
    }
    // Filled at start-up: "1" to "247", the first selected.
    auto* addresses = qobject_cast<QComboBox*>(control("Cb_ModbusAddress"));
    ASSERT_NE(addresses, nullptr);
    ASSERT_EQ(addresses->count(), 247);
    EXPECT_EQ(addresses->itemText(0), QStringLiteral("1"));
    EXPECT_EQ(addresses->itemText(246), QStringLiteral("247"));
    EXPECT_EQ(addresses->currentIndex(), 0);
    EXPECT_FALSE(addresses->isEditable());
}

TEST(MainWindowPages, ListsHaveTheirDesignSelectionBeforeStartUp)
{
    // The pages as built, before the start-up sequence applies the preferences.
    test::FakeBackend backend;
    link::LinkController link(backend, [](std::string_view) { return QString(); });
    ui::ChartPage chart;
    ui::RecordingPage recording;
    ui::SettingsPage settings(link, [](std::string_view) { return QString(); });
    const QList<QWidget*> pages{&chart, &recording, &settings};
    int checked = 0;
    for (const ListRow& row : lists()) {
        for (QWidget* page : pages) {
            if (auto* list = page->findChild<QComboBox*>(QString::fromLatin1(row.name))) {
                SCOPED_TRACE(row.name);
                EXPECT_EQ(itemsOf(list), row.items);
                EXPECT_EQ(list->currentIndex(), row.designSelection);
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, static_cast<int>(lists().size()) - 1); // all but the window's language list
    auto* addresses = settings.findChild<QComboBox*>(QStringLiteral("Cb_ModbusAddress"));
    ASSERT_NE(addresses, nullptr);
    EXPECT_EQ(addresses->count(), 0); // empty until start-up fills it
    for (const char* name : {"Checkbox_SaveDate", "Checkbox_SaveTime", "Checkbox_SaveDataCnt", "Cb_SaveDataSummary",
                             "Cb_SaveDataSens1", "Cb_SaveDataSens2", "Cb_SaveDataSens3", "Cb_SaveDataSens4"}) {
        auto* box = recording.findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(box, nullptr) << name;
        EXPECT_FALSE(box->isChecked()) << name << " is clear at design";
    }
}

TEST_F(MainWindowLayout, OnlyTheListedControlsShowATooltip)
{
    std::map<QString, QString> expected;
    for (const TooltipRow& row : tooltips()) {
        expected[QString::fromLatin1(row.name)] = QString::fromUtf8(row.tooltip);
        QWidget* w = control(row.name);
        ASSERT_NE(w, nullptr) << row.name;
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(row.tooltip)) << row.name;
    }
    QList<QWidget*> all = window.findChildren<QWidget*>();
    all << &window;
    for (const QWidget* w : all) {
        if (!w->toolTip().isEmpty()) {
            EXPECT_TRUE(expected.count(w->objectName()) == 1)
                << "unexpected tooltip on " << w->metaObject()->className() << " '" << w->objectName().toStdString()
                << "': " << w->toolTip().toStdString();
        }
    }
}

TEST_F(MainWindowLayout, NamedFontsAreUsed)
{
    for (const FontRow& row : fonts()) {
        SCOPED_TRACE(row.name);
        QWidget* w = control(row.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->font().family(), QString::fromLatin1(row.family));
        EXPECT_EQ(w->font().pixelSize(), row.pixelSize);
        EXPECT_EQ(w->font().bold(), row.bold);
    }
    for (const char* bold : {"Label_ResponseDelay", "Label_StabilitySettingTime"}) {
        EXPECT_TRUE(control(bold)->font().bold()) << bold;
    }
}

TEST_F(MainWindowLayout, HeaderBarsHaveTheirCaptionHeights)
{
    for (const HeaderRow& row : headers()) {
        SCOPED_TRACE(row.name);
        auto* header = qobject_cast<ui::HeaderBar*>(control(row.name));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->caption(), QString::fromUtf8(row.caption));
        EXPECT_EQ(header->captionPixelHeight(), row.captionPixels);
        EXPECT_EQ(header->gradientStart(), QColor(111, 104, 104));
        EXPECT_EQ(header->gradientEnd(), QColor(0, 0, 0));
    }
    // Every header bar of the window is in the table.
    EXPECT_EQ(window.findChildren<ui::HeaderBar*>().size(), static_cast<qsizetype>(headers().size()));
}

TEST_F(MainWindowLayout, FixedSizesAreKept)
{
    for (const SizeRow& row : fixedSizes()) {
        SCOPED_TRACE(row.name);
        QWidget* w = control(row.name);
        ASSERT_NE(w, nullptr);
        if (row.width > 0) {
            EXPECT_EQ(w->minimumWidth(), row.width);
            EXPECT_EQ(w->maximumWidth(), row.width);
        }
        if (row.height > 0) {
            EXPECT_EQ(w->minimumHeight(), row.height);
            EXPECT_EQ(w->maximumHeight(), row.height);
        }
    }
}

TEST_F(MainWindowLayout, ReadoutsHaveTheirDesignedSizeAsTheSmallest)
{
    for (const SizeRow& row : grownFromSizes()) {
        SCOPED_TRACE(row.name);
        QWidget* w = control(row.name);
        ASSERT_NE(w, nullptr);
        if (row.width > 0) {
            EXPECT_EQ(w->minimumWidth(), row.width);
            EXPECT_GT(w->maximumWidth(), row.width);
        }
        if (row.height > 0) {
            EXPECT_EQ(w->minimumHeight(), row.height);
            EXPECT_GT(w->maximumHeight(), row.height);
        }
    }
}

TEST_F(MainWindowLayout, TabsInOrderWithTheirImageListIcons)
{
    const QStringList outer{QStringLiteral("Pomiary"), QStringLiteral("Wykres"), QStringLiteral("Rejestracja"),
                            QStringLiteral("Ustawienia")};
    const QStringList outerPages{QStringLiteral("TabSheet1"), QStringLiteral("TabSheet2"), QStringLiteral("TabSheet3"),
                                 QStringLiteral("TabSheet5")};
    const QStringList inner{QStringLiteral("Wejścia tensometryczne"), QStringLiteral("Komunikacja"),
                            QStringLiteral("Wyjścia ")};
    const QStringList innerPages{QStringLiteral("TabSheet6"), QStringLiteral("TabSheet7"), QStringLiteral("TabSheet4")};
    const auto check = [](QTabWidget* tabs, const QStringList& captions, const QStringList& pages, int firstIcon) {
        ASSERT_EQ(tabs->count(), captions.size());
        EXPECT_EQ(tabs->iconSize(), QSize(32, 32));
        for (int i = 0; i < tabs->count(); ++i) {
            SCOPED_TRACE(captions[i].toStdString());
            EXPECT_EQ(withoutAltMark(tabs->tabText(i)), captions[i]);
            EXPECT_EQ(tabs->widget(i)->objectName(), pages[i]);
            const QImage shown = tabs->tabIcon(i).pixmap(QSize(32, 32), 1.0).toImage();
            const QImage listed = ui::imageListIcon(firstIcon + i).pixmap(QSize(32, 32), 1.0).toImage();
            EXPECT_FALSE(shown.isNull());
            EXPECT_EQ(shown, listed);
        }
    };
    check(window.pageTabs, outer, outerPages, 0);
    check(window.settingsPage->settingsTabs, inner, innerPages, 4);
    // Opens on "Pomiary" and, inside "Ustawienia", on "Komunikacja".
    EXPECT_EQ(window.pageTabs->currentIndex(), 0);
    EXPECT_EQ(window.settingsPage->settingsTabs->currentWidget()->objectName(), QStringLiteral("TabSheet7"));
}

TEST_F(MainWindowLayout, MenuHasItsItemsInOrder)
{
    const QList<QAction*> menus = window.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("Konfiguracja"));
    EXPECT_EQ(menus[0]->menu()->objectName(), QStringLiteral("N1"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("Pomoc"));
    EXPECT_EQ(menus[1]->menu()->objectName(), QStringLiteral("Pomoc1"));
    const auto items = [](QMenu* menu) {
        QStringList names;
        for (const QAction* a : menu->actions()) {
            names << a->objectName() + u'=' + a->text();
        }
        return names;
    };
    EXPECT_EQ(items(menus[0]->menu()), (QStringList{QStringLiteral("Wczytajustawieniazpliku1=Wczytaj ustawienia z pliku"),
                                                    QStringLiteral("Wczytajustawieniazpliku2=Zapisz ustawienia do pliku"),
                                                    QStringLiteral("=Język")}));
    EXPECT_EQ(items(menus[1]->menu()), (QStringList{QStringLiteral("Instrukcja1=Instrukcja obsługi"),
                                                    QStringLiteral("Informacje1=Informacje")}));
}

TEST_F(MainWindowLayout, EditsThatOnlyShowStateAreReadOnly)
{
    for (const char* name : {"Edit_IN1", "Edit_Ch1_Status", "Edit_Ch4_Status", "StatusBarAcquisition", "ChartStatus",
                             "Edit_IN2", "AcquisitionStatus", "Edit_FileName", "Edit1", "MaskEdit_MAC", "Out1Status",
                             "Out2Status"}) {
        auto* edit = qobject_cast<QLineEdit*>(control(name));
        ASSERT_NE(edit, nullptr) << name;
        EXPECT_TRUE(edit->isReadOnly()) << name;
    }
    EXPECT_FALSE(control("Edit1")->isEnabled());
    EXPECT_FALSE(control("MaskEdit_MAC")->isEnabled());
    // The address edits are plain fields without an input mask.
    for (const char* name : {"MaskEdit_IP_Addr", "MaskEdit_IP_Mask", "MaskEdit_IP_Gate", "MaskEdit_MAC"}) {
        EXPECT_TRUE(qobject_cast<QLineEdit*>(control(name))->inputMask().isEmpty()) << name;
    }
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(control("RadioButton_DispSum"))->isChecked());
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(control("Rb_AcqContinuus"))->isChecked());
}

TEST_F(MainWindowLayout, LanguageControlsAndDeviceListAreNeverVisible)
{
    showWindow();
    for (const char* name : {"Label20", "siLangCombo1", "ListBox1"}) {
        EXPECT_FALSE(control(name)->isVisible()) << name;
    }
    EXPECT_TRUE(control("Label19")->isVisible());
    EXPECT_TRUE(control("ConnectionStatus")->isVisible());
}

TEST_F(MainWindowLayout, StripsAndPagesStandInTheirOrder)
{
    showWindow();
    const QRect strip = rectIn(control("Panel1"), &window);
    const QRect pages = rectIn(window.pageTabs, &window);
    const QRect status = rectIn(window.statusStrip, &window);
    EXPECT_LE(strip.bottom(), pages.top());
    EXPECT_LE(pages.bottom(), status.top());
    EXPECT_EQ(status.bottom(), window.height() - 1);
    // Connection strip left to right.
    EXPECT_LT(rectIn(window.connectionCaptionLabel, &window).right(), rectIn(window.connectionStatusEdit, &window).left());
    // Status strip: the status line at the left, the frame and recording state at the right.
    const auto x = [this](const char* name) { return rectIn(control(name), &window).left(); };
    EXPECT_LT(x("Label1"), x("Label_Status"));
    EXPECT_LT(x("Label_Status"), x("Label_FpsData"));
    EXPECT_LT(x("Label_FpsData"), x("Label26"));
    EXPECT_LT(x("Label26"), x("StatusBarAcquisition"));
}

TEST_F(MainWindowLayout, MeasurementPageControlsStandInTheirOrder)
{
    showWindow();
    QWidget* page = window.measurementPage;
    const auto r = [page, this](const char* name) { return rectIn(control(name), page); };
    EXPECT_LT(r("JvNavPanelHeader1").bottom(), r("DisplaySum").top());
    EXPECT_LT(r("DisplaySum").right(), r("JvNavPanelHeader2").left());
    EXPECT_LT(r("JvNavPanelHeader2").bottom(), r("DisplayMax").top() + 1);
    // Buttons: big window, tare, then IN1 between tare and the maximum reset.
    EXPECT_LT(r("Bit_BigWindow").right(), r("BtnTara").left());
    EXPECT_LT(r("BtnTara").right(), r("Label47").left());
    EXPECT_LT(r("Label47").right(), r("Edit_IN1").left());
    EXPECT_LT(r("Edit_IN1").right(), r("Btn_ResetMinMax").left());
    EXPECT_LT(r("Label10").right(), r("RadioButton_DispSum").left());
    const char* radios[] = {"RadioButton_DispSum", "RadioButton_DispS1", "RadioButton_DispS2", "RadioButton_DispS3",
                            "RadioButton_DispS4"};
    for (int i = 0; i + 1 < 5; ++i) {
        EXPECT_LT(r(radios[i]).right(), r(radios[i + 1]).left()) << radios[i];
    }
    EXPECT_LE(r("GroupBox2").bottom(), r("GroupBox3").top());
    // Channel boxes stacked, each: header, load and status, gauges, value at the right end.
    const char* boxes[] = {"GroupBox_DispTens", "GroupBox5", "GroupBox15", "GroupBox19"};
    EXPECT_LT(r("JvNavPanelHeader4").bottom(), r(boxes[0]).top());
    for (int i = 0; i + 1 < 4; ++i) {
        EXPECT_LT(r(boxes[i]).bottom(), r(boxes[i + 1]).top());
    }
    for (int ch = 1; ch <= 4; ++ch) {
        SCOPED_TRACE(ch);
        const QString n = QString::number(ch);
        const auto c = [page](const QString& name) {
            return rectIn(page->findChild<QWidget*>(name), page);
        };
        const QRect box = r(boxes[ch - 1]);
        const QRect gauge100 = c(QStringLiteral("Progress_TensVal%1_100").arg(n));
        const QRect gauge150 = c(QStringLiteral("Progress_TensVal%1_150").arg(n));
        const QRect gauge200 = c(QStringLiteral("Progress_TensVal%1_200").arg(n));
        const QRect value = c(QStringLiteral("DisplayTens") + n);
        EXPECT_LT(c(QStringLiteral("Edit_Ch%1_Status").arg(n)).right(), value.left());
        EXPECT_LT(gauge100.right(), gauge150.left());
        EXPECT_LT(gauge150.right(), gauge200.left());
        EXPECT_LT(gauge200.right(), value.left());
        EXPECT_TRUE(box.contains(value)) << "value inside its box";
        EXPECT_GE(value.width(), 150) << "room for the value";
        EXPECT_TRUE(box.contains(gauge200));
    }
}

TEST_F(MainWindowLayout, SettingsPagesPutTheirButtonsInTheSamePlaces)
{
    showWindow();
    window.pageTabs->setCurrentIndex(3);
    QTabWidget* inner = window.settingsPage->settingsTabs;
    const char* rows[][3] = {{"Btn_ReadTensSettings", "Btn_SetTensSettings", "Button_TensSettingFactory"},
                             {"Btn_ReadIOettings", "Btn_SaveIOSettings", "Btn_ComFactory"},
                             {"BitBtn5", "BitBtn6", "Btn_OutputsFactory"}};
    QList<QRect> first;
    for (int page = 0; page < 3; ++page) {
        inner->setCurrentIndex(page);
        settle();
        QList<QRect> places;
        for (const char* name : rows[page]) {
            places << rectIn(control(name), inner->currentWidget());
        }
        SCOPED_TRACE(page);
        EXPECT_LT(places[0].right(), places[1].left()); // left, middle, right
        EXPECT_LT(places[1].right(), places[2].left());
        if (page == 0) {
            first = places;
        } else {
            for (int b = 0; b < 3; ++b) {
                EXPECT_EQ(places[b].topLeft(), first[b].topLeft()) << rows[page][b];
            }
        }
    }
    // The sensor page: sum group, then the three groups side by side, then the sensor columns.
    inner->setCurrentIndex(0);
    settle();
    QWidget* page = inner->currentWidget();
    const auto r = [page, this](const char* name) { return rectIn(control(name), page); };
    EXPECT_LT(r("GroupBox7").bottom(), r("GroupBox8").top());
    EXPECT_LT(r("GroupBox8").right(), r("GroupBox22").left());
    EXPECT_LT(r("GroupBox22").right(), r("GroupBox9").left());
    EXPECT_LT(r("GroupBox8").bottom(), r("GroupBox10").top());
    EXPECT_LT(r("GroupBox10").bottom(), r("Btn_SetTensSettings").top());
    EXPECT_LT(r("BitBtn4").right(), r("GroupBox_Tens1").left());
    for (int s = 1; s < 4; ++s) {
        EXPECT_LT(rectIn(page->findChild<QWidget*>(QStringLiteral("GroupBox_Tens%1").arg(s)), page).right(),
                  rectIn(page->findChild<QWidget*>(QStringLiteral("GroupBox_Tens%1").arg(s + 1)), page).left());
    }
}
