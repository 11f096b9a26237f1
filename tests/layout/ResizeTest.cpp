// The main window at its minimum size and when it grows: what stretches, what keeps its place.

#include "LayoutFixture.h"

#include "ui/pages/ChartPage.h"
#include "ui/pages/SettingsPage.h"

#include <QRegularExpression>
#include <QAbstractButton>
#include <QLabel>
#include <QTabWidget>

#include <map>

using namespace qmx;
using namespace qmx::test::layout;

namespace {

const QSize kMinimum(682, 672);
const QSize kLarge(1280, 900);

class MainWindowResize : public MainWindowFixture {
protected:
    /// Gives the window the outer size `size`.
    void resizeTo(QSize size)
    {
        window.resize(size - (window.frameGeometry().size() - window.size()));
        settle();
    }
    /// Shows outer page `page` (and inner page `inner` of "Ustawienia") and returns it.
    QWidget* showPage(int page, int inner = -1)
    {
        window.pageTabs->setCurrentIndex(page);
        if (inner >= 0) {
            window.settingsPage->settingsTabs->setCurrentIndex(inner);
        }
        settle();
        return inner >= 0 ? window.settingsPage->settingsTabs->currentWidget() : window.pageTabs->currentWidget();
    }
    /// Rectangles of the named controls in the coordinates of `page`.
    std::map<std::string, QRect> places(QWidget* page, std::initializer_list<const char*> names)
    {
        std::map<std::string, QRect> result;
        for (const char* name : names) {
            QWidget* w = control(name);
            EXPECT_NE(w, nullptr) << name;
            if (w != nullptr) {
                result[name] = rectIn(w, page);
            }
        }
        return result;
    }
};

struct PageCase {
    int page;
    int inner;
    std::initializer_list<const char*> controls;
};

// Controls that keep their size and their distance from the top left corner of their page.
const PageCase kFixedPlaces[] = {
    {0, -1, {"DisplaySum", "DisplayMax", "Bit_BigWindow", "BtnTara", "Edit_IN1", "Btn_ResetMinMax",
             "RadioButton_DispS4", "GroupBox_DispTens", "GroupBox19", "DisplayTens1", "Progress_TensVal1_200",
             "Edit_Ch4_Status"}},
    {2, -1, {"Checkbox_Acquistion", "Edit_IN2", "Label_TimeToAcqData", "AcquisitionStatus", "GroupBox14",
             "Rb_AcqContinuusIN2", "ComboBox_AcquistionTime", "Edit_FileName", "Button_SaveFilePath",
             "Cb_SaveDataSens4"}},
    {3, 0, {"GroupBox7", "Cb_SelTens", "Btn_SumTara", "GroupBox8", "GroupBox9", "GroupBox10", "Edit_TRange4",
            "Btn_Tens4Zero", "Btn_ReadTensSettings", "Btn_SetTensSettings", "Button_TensSettingFactory"}},
    {3, 1, {"GroupBox21", "Cb_ModbusBaud", "Label_Rs485FPS", "GroupBox4", "MaskEdit_MAC", "Label_EthFps",
            "Btn_ReadIOettings", "Btn_ComFactory"}},
    {3, 2, {"Cb_Out2OverloadIndicator", "GroupBox26", "Out2_state", "Out2_Number2", "BitBtn5", "BitBtn6",
            "Btn_OutputsFactory"}},
};

} // namespace

TEST_F(MainWindowResize, CannotBeMadeSmallerThanTheMinimum)
{
    showWindow();
    // The limit is the outer size, frame included.
    resizeTo(QSize(300, 300));
    EXPECT_EQ(window.frameGeometry().size(), kMinimum);
    // The contents fit into that size: nothing forces the window wider or taller.
    const QSize frame = window.frameGeometry().size() - window.size();
    EXPECT_LE(window.minimumSizeHint().width() + frame.width(), kMinimum.width());
    EXPECT_LE(window.minimumSizeHint().height() + frame.height(), kMinimum.height());
}

TEST_F(MainWindowResize, EveryPageFitsAtTheMinimumSize)
{
    showWindow();
    resizeTo(kMinimum);
    const std::pair<int, int> pages[] = {{0, -1}, {1, -1}, {2, -1}, {3, 0}, {3, 1}, {3, 2}};
    for (const auto& [outer, inner] : pages) {
        QWidget* page = showPage(outer, inner);
        SCOPED_TRACE(page->objectName().toStdString());
        EXPECT_LE(page->minimumSizeHint().width(), page->width());
        EXPECT_LE(page->minimumSizeHint().height(), page->height());
        // Nothing squeezed below what it needs to show its caption, and nothing cut off.
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (!w->isVisible() || w->parentWidget() == nullptr || !w->inherits("QAbstractButton")) {
                continue;
            }
            const auto* button = static_cast<QAbstractButton*>(w);
            // The "&" that marks the Alt letter is not drawn.
            const QString shown = QString(button->text()).replace(QRegularExpression(QStringLiteral("&(.)")),
                                                                  QStringLiteral("\\1"));
            const int caption = button->fontMetrics().horizontalAdvance(shown) +
                                (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
            EXPECT_GE(w->width(), caption + 8) << w->objectName().toStdString();
            EXPECT_TRUE(page->rect().contains(rectIn(w, page))) << w->objectName().toStdString();
        }
        for (const QLabel* label : page->findChildren<QLabel*>()) {
            if (label->isVisible() && !label->text().isEmpty() && !label->wordWrap() &&
                label->sizePolicy().horizontalPolicy() != QSizePolicy::Ignored) {
                EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();
            }
        }
    }
}

TEST_F(MainWindowResize, PageControlsKeepTheirPlacesWhenTheWindowGrows)
{
    showWindow();
    for (const PageCase& c : kFixedPlaces) {
        resizeTo(kMinimum);
        QWidget* page = showPage(c.page, c.inner);
        SCOPED_TRACE(page->objectName().toStdString());
        const auto small = places(page, c.controls);
        const QSize smallPage = page->size();
        resizeTo(kLarge);
        EXPECT_GT(page->width(), smallPage.width());
        EXPECT_GT(page->height(), smallPage.height());
        EXPECT_EQ(places(page, c.controls), small);
    }
}

TEST_F(MainWindowResize, StatusStripLabelsKeepTheirDistanceFromTheRightEdge)
{
    showWindow();
    resizeTo(kMinimum);
    const auto left = [this](const char* name) { return rectIn(control(name), &window).left(); };
    const auto fromRight = [this, &left](const char* name) { return window.width() - left(name); };
    const int label1 = left("Label1");
    const int status = left("Label_Status");
    const int fps = fromRight("Label_FpsData");
    const int label26 = fromRight("Label26");
    const int acquisition = fromRight("StatusBarAcquisition");
    const int stripTop = window.height() - rectIn(window.statusStrip, &window).top();
    resizeTo(kLarge);
    EXPECT_EQ(left("Label1"), label1);
    EXPECT_EQ(left("Label_Status"), status);
    EXPECT_EQ(fromRight("Label_FpsData"), fps);
    EXPECT_EQ(fromRight("Label26"), label26);
    EXPECT_EQ(fromRight("StatusBarAcquisition"), acquisition);
    EXPECT_EQ(window.height() - rectIn(window.statusStrip, &window).top(), stripTop);
    EXPECT_EQ(window.statusStrip->height(), 25);
}

TEST_F(MainWindowResize, ChartGrowsWithTheWindowAndKeepsItsCornerControls)
{
    showWindow();
    resizeTo(kMinimum);
    QWidget* page = showPage(1);
    ui::ChartPage& chart = *window.chartPage;
    const QSize smallChart = chart.chartPlot->size();
    const QRect smallStatus = chart.chartStatusEdit->geometry();
    const QRect smallTips = chart.chartTipsButton->geometry();
    const int panelFromBottom = page->height() - rectIn(chart.chartControlPanel, page).top();
    const auto groupsSmall = places(page, {"GroupBox16", "GroupBox13", "GroupBox17"});
    const int smallPageHeight = page->height();
    resizeTo(kLarge);
    const QSize grown = kLarge - kMinimum;
    ASSERT_EQ(window.frameGeometry().size(), kLarge);
    EXPECT_EQ(chart.chartPlot->size(), smallChart + grown);
    // Status field at the bottom left, tips button at the bottom right of the chart.
    const QRect status = chart.chartStatusEdit->geometry();
    const QRect tips = chart.chartTipsButton->geometry();
    EXPECT_EQ(status.left(), smallStatus.left());
    EXPECT_EQ(chart.chartPlot->height() - status.bottom(), smallChart.height() - smallStatus.bottom());
    EXPECT_EQ(chart.chartPlot->width() - tips.right(), smallChart.width() - smallTips.right());
    EXPECT_EQ(chart.chartPlot->height() - tips.bottom(), smallChart.height() - smallTips.bottom());
    EXPECT_EQ(status.size(), smallStatus.size());
    EXPECT_EQ(tips.size(), smallTips.size());
    // The lower panel stays at the bottom with its height; its groups keep their distance from it.
    EXPECT_EQ(page->height() - rectIn(chart.chartControlPanel, page).top(), panelFromBottom);
    EXPECT_EQ(chart.chartControlPanel->height(), 120);
    const auto groupsLarge = places(page, {"GroupBox16", "GroupBox13", "GroupBox17"});
    for (const auto& [name, rect] : groupsSmall) {
        const QRect large = groupsLarge.at(name);
        EXPECT_EQ(large.left(), rect.left()) << name;
        EXPECT_EQ(page->height() - large.bottom(), smallPageHeight - rect.bottom()) << name;
    }
}
