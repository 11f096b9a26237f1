// Captions bound to string-table identifiers: set at once, set again after a change of language,
// list items renamed in place, and controls deleted since binding passed over.

#include "ui/widgets/HeaderBar.h"
#include "ui/widgets/TextBindings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

using qmx::ui::HeaderBar;
using qmx::ui::TextBindings;

namespace {

// A two-language table in miniature; `english` chooses the column.
struct MiniTable {
    bool english = false;
    std::map<std::string, std::pair<QString, QString>> texts{
        {"IDS_A", {QStringLiteral("Pomiary"), QStringLiteral("Measurement")}},
        {"IDS_B", {QStringLiteral("Wykres"), QStringLiteral("Chart")}},
        {"IDS_C", {QStringLiteral("Kanał %1:"), QStringLiteral("Channel %1:")}},
    };
    TextBindings::Lookup lookup()
    {
        return [this](std::string_view id) {
            const auto& pair = texts.at(std::string(id));
            return english ? pair.second : pair.first;
        };
    }
};

} // namespace

TEST(TextBindings, EveryKindOfCaptionIsSetAtOnceAndAgainAfterTheLanguageChanges)
{
    MiniTable table;
    TextBindings texts(table.lookup());
    QLabel label;
    QGroupBox group;
    HeaderBar header;
    QTabWidget tabs;
    tabs.addTab(new QWidget, QString());
    texts.bind(&label, &QLabel::setText, "IDS_A");
    texts.bind(&group, &QGroupBox::setTitle, "IDS_B");
    texts.bind(&header, &HeaderBar::setCaption, "IDS_C", [](const QString& text) { return text.arg(3); });
    texts.bind(&label, &QWidget::setToolTip, "IDS_B");
    texts.bindTab(&tabs, 0, "IDS_A");
    EXPECT_EQ(label.text(), QStringLiteral("Pomiary"));
    EXPECT_EQ(group.title(), QStringLiteral("Wykres"));
    EXPECT_EQ(header.caption(), QStringLiteral("Kanał 3:"));
    EXPECT_EQ(label.toolTip(), QStringLiteral("Wykres"));
    EXPECT_EQ(tabs.tabText(0), QStringLiteral("Pomiary"));

    table.english = true;
    texts.apply();
    EXPECT_EQ(label.text(), QStringLiteral("Measurement"));
    EXPECT_EQ(group.title(), QStringLiteral("Chart"));
    EXPECT_EQ(header.caption(), QStringLiteral("Channel 3:"));
    EXPECT_EQ(label.toolTip(), QStringLiteral("Chart"));
    EXPECT_EQ(tabs.tabText(0), QStringLiteral("Measurement"));
}

TEST(TextBindings, ListItemsAreRenamedInPlaceKeepingTheSelectionWithoutAChangeSignal)
{
    MiniTable table;
    TextBindings texts(table.lookup());
    QComboBox list;
    texts.bindItems(&list, {"IDS_A", "IDS_B"});
    ASSERT_EQ(list.count(), 2);
    list.setCurrentIndex(1);
    QSignalSpy changes(&list, &QComboBox::currentTextChanged);
    table.english = true;
    texts.apply();
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.itemText(0), QStringLiteral("Measurement"));
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(list.currentText(), QStringLiteral("Chart"));
    EXPECT_EQ(changes.count(), 0);
}

TEST(TextBindings, AControlDeletedSinceItWasBoundIsPassedOver)
{
    MiniTable table;
    TextBindings texts(table.lookup());
    auto gone = std::make_unique<QLabel>();
    QLabel kept;
    texts.bind(gone.get(), &QLabel::setText, "IDS_A");
    texts.bind(&kept, &QLabel::setText, "IDS_B");
    gone.reset();
    table.english = true;
    texts.apply();
    EXPECT_EQ(kept.text(), QStringLiteral("Chart"));
}
