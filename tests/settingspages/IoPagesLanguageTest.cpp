// The communication and outputs pages and the analog output calibration window in either interface
// language: no Polish left with English chosen (texts written by replies included), the old Polish
// texts back with Polish chosen, and the same bytes for the transducer and the settings file
// whichever language is shown.

#include "FakeBackend.h"
#include "PagesFixture.h"
#include "QtPrinters.h"
#include "ShownTexts.h"

#include "link/Protocol.h"
#include "settings/core/IoSettings.h"
#include "settings/core/ListItems.h"
#include "ui/MainWindow.h"
#include "ui/pages/CommunicationPage.h"
#include "ui/pages/OutputsPage.h"
#include "ui/windows/AnalogCalibrationWindow.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <span>

using namespace qmx;
using namespace qmx::test;

namespace {

QString asQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList textsOf(const QList<ShownText>& shown)
{
    QStringList lines;
    for (const auto& s : shown) {
        lines << s.where + QStringLiteral(": ") + s.text;
    }
    return lines;
}

// ---------------------------------------------------------------------------------------------
// The output lists: the value lists of the settings files and the transducer stay in ListItems;
// the string table gives each item with words its English text. Each entry's Polish text must be
// the item it stands for, so the two cannot drift apart.

struct ValueList {
    const char* name;
    std::span<const std::string_view> items;
    std::span<const std::string_view> ids;
};

TEST(OutputListTexts, EachEntrysPolishTextIsTheItemOfTheValueList)
{
    const ValueList lists[] = {
        {"parity", settings::kModbusParityItems, ui::kModbusParityTextIds},
        {"source", settings::kOutSourceItems, ui::kOutSourceTextIds},
        {"condition", settings::kOutConditionItems, ui::kOutConditionTextIds},
        {"state", settings::kOutStateItems, ui::kOutStateTextIds},
    };
    static const QRegularExpression letters(QStringLiteral("\\p{L}"));
    for (const auto& list : lists) {
        ASSERT_EQ(list.items.size(), list.ids.size()) << list.name;
        for (std::size_t i = 0; i < list.items.size(); ++i) {
            const QString item = asQString(list.items[i]);
            if (list.ids[i].empty()) {
                // Shown as it is in every language: only numbers and symbols may go without a text.
                EXPECT_FALSE(item.contains(letters)) << list.name << " item " << i;
                continue;
            }
            EXPECT_EQ(lang::lookupText(list.ids[i], lang::Language::Polish), item) << list.name << " item " << i;
            EXPECT_FALSE(lang::lookupText(list.ids[i], lang::Language::English).isEmpty()) << list.name << " item " << i;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The two pages inside the settings page, bound to a lookup that follows a chosen language, as the
// settings page binds them to the main window's language.

class IoPagesLanguage : public PagesFixture {
protected:
    IoPagesLanguage()
    {
        const ui::TextBindings::Lookup follow = [this](std::string_view id) { return lang::lookupText(id, language); };
        comm().setTextLookup(follow);
        outs().setTextLookup(follow);
    }
    ui::CommunicationPage& comm() { return *page.communicationPage; }
    ui::OutputsPage& outs() { return *page.outputsPage; }

    void choose(lang::Language chosen)
    {
        language = chosen;
        comm().retranslate();
        outs().retranslate();
    }
    void applyReply(const settings::IoSettings& io)
    {
        page.applyIoSettings(toQByteArray(frameOf(link::CMD_GET_IO_SETTINGS, settings::encodeIoSettingsRequest(io))));
    }
    QList<ShownText> shownOnPages() { return shownTexts(&comm()) + shownTexts(&outs()); }
    QStringList polishOnPages(const QSet<QString>& words)
    {
        return polishTextsIn(&comm(), words) + polishTextsIn(&outs(), words);
    }

    /// Every list of both pages on a position other than its first, and odd thresholds.
    static settings::IoSettings editedIo()
    {
        settings::IoSettings io;
        io.Baudrate = 4;
        io.Address = 17;
        io.Parity = 2;
        io.IP = {10, 0, 0, 7};
        io.Mask = {255, 255, 0, 0};
        io.Gate = {10, 0, 0, 1};
        io.MAC = {0x00, 0x1B, 0x2C, 0x0A, 0xFF, 0x07};
        io.Out1 = {1, 1, 0, 1, 5, 150.5F, -20.0F};
        io.Out2 = {2, 0, 1, 0, 3, 1000.0F, 2000.0F};
        io.IndicatorFlags = 0;
        return io;
    }

    lang::Language language = lang::Language::Polish;
};

TEST_F(IoPagesLanguage, EnglishLeavesNoPolishAndPolishBringsBackTheOldTexts)
{
    const QList<ShownText> polishStart = shownOnPages();
    const QSet<QString> words = polishWordsShownBy({&comm(), &outs()});

    choose(lang::Language::English);
    EXPECT_EQ(polishOnPages(words), QStringList());
    EXPECT_EQ(outs().writeOutputsButton->text(), QStringLiteral("&Write"));
    EXPECT_EQ(outs().out1.source->itemText(5), QStringLiteral("Sum"));

    choose(lang::Language::Polish);
    EXPECT_EQ(textsOf(shownOnPages()), textsOf(polishStart));
    EXPECT_EQ(comm().readIoSettingsButton->text(), QStringLiteral("&Odczytaj"));
    EXPECT_EQ(outs().out1.condition->itemText(1), QStringLiteral("ORAZ"));
}

TEST_F(IoPagesLanguage, ReplyReadInEnglishSelectsTheSameItemsAndShowsNoPolish)
{
    const QSet<QString> words = polishWordsShownBy({&comm(), &outs()});
    applyReply(editedIo());
    const QList<ShownText> polishFilled = shownOnPages();

    choose(lang::Language::English);
    applyReply(editedIo());
    EXPECT_EQ(polishOnPages(words), QStringList());
    EXPECT_EQ(outs().out1.condition->currentText(), QStringLiteral("AND"));
    EXPECT_EQ(outs().out1.state->currentText(), QStringLiteral("Active"));
    EXPECT_EQ(outs().out1.source->currentText(), QStringLiteral("Sum"));
    EXPECT_EQ(outs().out2.condition->currentText(), QStringLiteral("OR"));
    EXPECT_EQ(outs().out2.source->currentText(), QStringLiteral("Input 3"));
    EXPECT_EQ(comm().modbusParityList->currentText(), QStringLiteral("Even"));

    // Switching back renames the items in place: the selections stay, the old words return.
    choose(lang::Language::Polish);
    EXPECT_EQ(textsOf(shownOnPages()), textsOf(polishFilled));
}

TEST_F(IoPagesLanguage, WriteSendsTheSameBytesInEitherLanguage)
{
    applyReply(editedIo());
    const auto writeOnce = [this] {
        dev->clearWrites();
        comm().writeIoSettingsButton->click();
        return onlyRequest();
    };
    const auto polishRequest = writeOnce();
    choose(lang::Language::English);
    ASSERT_EQ(outs().out1.condition->currentText(), QStringLiteral("AND"));
    const auto englishRequest = writeOnce();
    EXPECT_EQ(englishRequest, polishRequest);
    EXPECT_EQ(englishRequest.at(0), link::CMD_SET_IO_SETTINGS);
}

// ---------------------------------------------------------------------------------------------
// The device settings file saved from the main window with English chosen is byte for byte the
// file saved with Polish chosen.

TEST(IoPagesSettingsFile, SavedFileIsTheSameInEitherLanguage)
{
    FakeBackend backend;
    ui::MainWindow window(backend);
    window.setErrorBox([](const QString& text) { ADD_FAILURE() << text.toStdString(); });
    ui::CommunicationPage& comm = *window.settingsPage->communicationPage;
    ui::OutputsPage& outs = *window.settingsPage->outputsPage;
    const ui::TextBindings::Lookup windowLanguage = [&window](std::string_view id) { return window.lookupText(id); };
    comm.setTextLookup(windowLanguage);
    outs.setTextLookup(windowLanguage);

    comm.modbusBaudList->setCurrentIndex(4);
    comm.modbusParityList->setCurrentIndex(1);
    comm.modbusAddressList->setCurrentIndex(99);
    comm.ipAddressEdit->setText(QStringLiteral("10.1.2.3"));
    outs.stabilityIndicatorCheck->setChecked(true);
    outs.out1.source->setCurrentIndex(5);
    outs.out1.condition->setCurrentIndex(2);
    outs.out1.state->setCurrentIndex(1);
    outs.out2.source->setCurrentIndex(0);
    outs.out2.condition->setCurrentIndex(1);
    outs.out2.number1->setText(QStringLiteral("-7,25"));

    QTemporaryDir dir;
    const auto saveIn = [&](const char* language, QAction* choice) {
        choice->trigger();
        comm.retranslate();
        outs.retranslate();
        const QString path = dir.filePath(QString::fromLatin1(language) + QStringLiteral(".conf"));
        EXPECT_TRUE(window.saveDeviceSettingsFile(path));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    };
    const QByteArray english = saveIn("english", window.languageActions.at(1));
    EXPECT_EQ(outs.out1.condition->currentText(), QStringLiteral("OR"));
    const QByteArray polish = saveIn("polish", window.languageActions.at(0));
    EXPECT_EQ(outs.out1.condition->currentText(), QStringLiteral("LUB"));
    EXPECT_FALSE(polish.isEmpty());
    EXPECT_EQ(english, polish);
}

// ---------------------------------------------------------------------------------------------
// The analog output calibration window.

TEST(AnalogCalibrationLanguage, EnglishLeavesNoPolishAndPolishBringsBackTheOldTexts)
{
    ui::AnalogCalibrationWindow window;
    window.setNumberLocale(display::NumberLocale::c());
    const QList<ShownText> polishStart = shownTexts(&window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Wyjście analogowe - kalibracja"));
    const QSet<QString> words = polishWordsShownBy({&window});

    window.setLanguage(lang::Language::English);
    EXPECT_EQ(polishTextsIn(&window, words), QStringList());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Analog output - calibration"));
    EXPECT_EQ(window.calibrateCurrentButton->text(), QStringLiteral("Write"));

    // A refused value is only marked; a stored one is rewritten: neither brings in a Polish text.
    window.voltageEdit->setText(QStringLiteral("0,5"));
    window.calibrateVoltageButton->click();
    window.currentEdit->setText(QStringLiteral("9,5"));
    window.calibrateCurrentButton->click();
    EXPECT_EQ(polishTextsIn(&window, words), QStringList());

    window.voltageEdit->setText(QStringLiteral("0"));
    window.currentEdit->setText(QStringLiteral("0"));
    window.setLanguage(lang::Language::Polish);
    EXPECT_EQ(textsOf(shownTexts(&window)), textsOf(polishStart));
}

} // namespace
