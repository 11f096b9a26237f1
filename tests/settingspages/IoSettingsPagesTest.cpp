// The communication and outputs pages: filling them from a reply, the write with its address and
// threshold checks, the notice, the factory questions and the indicator roles.

#include "PagesFixture.h"

#include "link/Protocol.h"
#include "settings/core/IoSettings.h"
#include "ui/pages/CommunicationPage.h"
#include "ui/pages/OutputsPage.h"
#include "ui/pages/SettingsWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace qmx;
using namespace qmx::test;
using PK = qmx::test::PromptEvent::Kind;
using ui::settingswidgets::isMarkedRefused;

namespace {

class IoPages : public PagesFixture {
protected:
    ui::CommunicationPage& comm() { return *page.communicationPage; }
    ui::OutputsPage& outs() { return *page.outputsPage; }

    void applyReply(const settings::IoSettings& io)
    {
        page.applyIoSettings(toQByteArray(frameOf(link::CMD_GET_IO_SETTINGS, settings::encodeIoSettingsRequest(io))));
    }
    void applyRaw(std::vector<std::uint8_t> frame) { page.applyIoSettings(toQByteArray(frame)); }

    /// The reply record as raw bytes, for bytes the codec's types cannot express.
    static std::vector<std::uint8_t> rawFrame(const settings::IoSettings& io)
    {
        return frameOf(link::CMD_GET_IO_SETTINGS, settings::encodeIoSettingsRequest(io));
    }

    /// Writes through "Zapisz" of the communication page; returns the request when one was sent.
    std::optional<std::vector<std::uint8_t>> write()
    {
        dev->clearWrites();
        comm().writeIoSettingsButton->click();
        const auto r = requests();
        if (r.empty()) {
            return std::nullopt;
        }
        EXPECT_EQ(r.size(), 1U);
        return r.front();
    }
};

settings::IoSettings sampleIo()
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

TEST_F(IoPages, StartsWithTheDesignTexts)
{
    EXPECT_EQ(comm().modbusBaudList->currentText(), QStringLiteral("38400"));
    EXPECT_EQ(comm().modbusParityList->currentText(), QStringLiteral("None"));
    EXPECT_EQ(comm().modbusAddressList->count(), 247);
    EXPECT_EQ(comm().modbusAddressList->currentText(), QStringLiteral("1"));
    EXPECT_EQ(comm().ipAddressEdit->text(), QStringLiteral("192.168.0.2"));
    EXPECT_EQ(comm().ipMaskEdit->text(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(comm().ipGatewayEdit->text(), QStringLiteral("192.168.0.1"));
    EXPECT_EQ(comm().macAddressEdit->text(), QStringLiteral("00:00:00:00:00:00"));
    EXPECT_TRUE(comm().macAddressEdit->isReadOnly());
    EXPECT_FALSE(comm().ethernetPortEdit->isEnabled());
    EXPECT_EQ(comm().ethernetPortEdit->text(), QStringLiteral("502"));
    EXPECT_EQ(page.settingsTabs->currentWidget(), page.communicationPage);
    for (const auto* row : {&outs().out1, &outs().out2}) {
        for (QWidget* c : row->settingsControls()) {
            EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
        }
    }
}

TEST_F(IoPages, ReplyFillsBothPages)
{
    page.decimalsList->setCurrentIndex(1);
    applyReply(sampleIo());
    EXPECT_EQ(comm().modbusBaudList->currentText(), QStringLiteral("115200"));
    EXPECT_EQ(comm().modbusAddressList->currentText(), QStringLiteral("17"));
    EXPECT_EQ(comm().modbusParityList->currentText(), QStringLiteral("Even"));
    EXPECT_EQ(comm().ipAddressEdit->text(), QStringLiteral("10.0.0.7"));
    EXPECT_EQ(comm().ipMaskEdit->text(), QStringLiteral("255.255.0.0"));
    EXPECT_EQ(comm().ipGatewayEdit->text(), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(comm().macAddressEdit->text(), QStringLiteral("0:1b:2c:a:ff:7"));
    EXPECT_EQ(outs().out1.condition->currentText(), QStringLiteral("ORAZ"));
    EXPECT_EQ(outs().out1.mode1->currentText(), QStringLiteral(">"));
    EXPECT_EQ(outs().out1.mode2->currentText(), QStringLiteral("<"));
    EXPECT_EQ(outs().out1.state->currentText(), QStringLiteral("Aktywne"));
    EXPECT_EQ(outs().out1.source->currentText(), QStringLiteral("Suma"));
    EXPECT_EQ(outs().out1.number1->text(), QStringLiteral("150.5"));
    EXPECT_EQ(outs().out1.number2->text(), QStringLiteral("-20.0"));
    EXPECT_EQ(outs().out2.condition->currentText(), QStringLiteral("LUB"));
    EXPECT_EQ(outs().out2.source->currentText(), QStringLiteral("Wejście 3"));
    EXPECT_EQ(outs().out2.number2->text(), QStringLiteral("2000.0"));
}

TEST_F(IoPages, AddressByteSelectsItsItemAndZeroLeavesTheList)
{
    auto io = sampleIo();
    io.Address = 200;
    applyReply(io);
    EXPECT_EQ(comm().modbusAddressList->currentText(), QStringLiteral("200"));
    io.Address = 0;
    applyReply(io);
    EXPECT_EQ(comm().modbusAddressList->currentText(), QStringLiteral("200"));
    io.Address = 248;
    applyReply(io);
    EXPECT_EQ(comm().modbusAddressList->currentIndex(), -1);
}

TEST_F(IoPages, BaudAndParityBytesAreReadSigned)
{
    auto raw = rawFrame(sampleIo());
    raw[1] = 7; // outside the list: kept
    raw[3] = 3;
    applyRaw(raw);
    EXPECT_EQ(comm().modbusBaudList->currentText(), QStringLiteral("38400"));
    EXPECT_EQ(comm().modbusParityList->currentText(), QStringLiteral("None"));
    raw[1] = 0xFF; // negative: no selection
    raw[3] = 0x80;
    applyRaw(raw);
    EXPECT_EQ(comm().modbusBaudList->currentIndex(), -1);
    EXPECT_EQ(comm().modbusParityList->currentIndex(), -1);
}

TEST_F(IoPages, OutputListByteOutsideItsListLeavesItWithoutSelection)
{
    auto io = sampleIo();
    io.Out2.Source = 6;
    io.Out1.state = 2;
    applyReply(io);
    EXPECT_EQ(outs().out2.source->currentIndex(), -1);
    EXPECT_EQ(outs().out1.state->currentIndex(), -1);
    EXPECT_EQ(outs().out2.condition->currentIndex(), 2); // the rest is applied
}

TEST_F(IoPages, ShortReplyChangesNothing)
{
    auto raw = rawFrame(sampleIo());
    raw.resize(49);
    applyRaw(raw);
    EXPECT_EQ(comm().ipAddressEdit->text(), QStringLiteral("192.168.0.2"));
}

TEST_F(IoPages, WriteSendsTheRecordAtItsByteOffsetsAfterTheNotice)
{
    page.decimalsList->setCurrentIndex(1);
    applyReply(sampleIo());
    const auto r = write();
    ASSERT_TRUE(r.has_value());
    ASSERT_EQ(r->size(), 64U);
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].kind, PK::Information);
    EXPECT_EQ(events[0].caption, QStringLiteral("Parametry komunikacji ethernet"));
    EXPECT_EQ(events[0].text,
              QStringLiteral("Ustawienie nowych parametrów dla Ethernet nastąpi po ponownym uruchomieniu urządzenia."));
    EXPECT_EQ(events[0].writesBefore, 0U); // the frame goes out only after the notice is closed

    const std::vector<std::uint8_t> head{0x8B, 4, 17, 2, 10, 0, 0, 7, 255, 255, 0, 0, 10, 0, 0, 1,
                                         0x00, 0x1B, 0x2C, 0x0A, 0xFF, 0x07, 0,
                                         1, 1, 0, 1, 5}; // OUT1: condition, mode1, mode2, state, Source
    EXPECT_EQ(std::vector<std::uint8_t>(r->begin(), r->begin() + static_cast<std::ptrdiff_t>(head.size())), head);
    EXPECT_EQ(floatAt(*r, 28), 150.5F);
    EXPECT_EQ(floatAt(*r, 32), -20.0F);
    EXPECT_EQ((std::vector<std::uint8_t>(r->begin() + 36, r->begin() + 41)), (std::vector<std::uint8_t>{2, 0, 1, 0, 3}));
    EXPECT_EQ(floatAt(*r, 41), 1000.0F);
    EXPECT_EQ(floatAt(*r, 45), 2000.0F);
    EXPECT_EQ((*r)[49], 0);
    for (std::size_t i = 50; i < r->size(); ++i) {
        EXPECT_EQ((*r)[i], 0) << "byte " << i;
    }
}

TEST_F(IoPages, BothSaveButtonsWriteAndBothReadButtonsRead)
{
    outs().writeOutputsButton->click();
    comm().writeIoSettingsButton->click();
    outs().readOutputsButton->click();
    comm().readIoSettingsButton->click();
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{0x8B, 0x8B, 0x03, 0x03}));
}

struct AddressCase {
    const char* ip;
    std::array<std::uint8_t, 4> sent;
};

class IpTexts : public IoPages, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(IpTexts, AreSentAsInetAddrReadsThem)
{
    comm().ipAddressEdit->setText(QString::fromLatin1(GetParam().ip));
    const auto r = write();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ((std::array<std::uint8_t, 4>{(*r)[4], (*r)[5], (*r)[6], (*r)[7]}), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(Table, IpTexts,
                         ::testing::Values(AddressCase{"192.168.0.2", {192, 168, 0, 2}}, AddressCase{"10.1", {10, 0, 0, 1}},
                                           AddressCase{"010.0.0.1", {8, 0, 0, 1}},
                                           AddressCase{"0x0A.0.0.0x10", {10, 0, 0, 16}}));

TEST_F(IoPages, UnreadableAddressEndsTheWriteWithOnlyItsMark)
{
    comm().ipAddressEdit->setText(QStringLiteral("192.168.0.300"));
    ui::settingswidgets::markRefused(comm().ipGatewayEdit, true); // left from an earlier write
    outs().out1.number1->setText(QStringLiteral("x"));
    EXPECT_FALSE(write().has_value());
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(isMarkedRefused(comm().ipAddressEdit));
    EXPECT_FALSE(isMarkedRefused(comm().ipMaskEdit));
    EXPECT_TRUE(isMarkedRefused(comm().ipGatewayEdit));  // not checked: keeps its colour
    EXPECT_FALSE(isMarkedRefused(outs().out1.number1));     // not checked either
}

TEST_F(IoPages, BroadcastMaskIsRefusedLikeAnUnreadableText)
{
    comm().ipMaskEdit->setText(QStringLiteral("255.255.255.255"));
    EXPECT_FALSE(write().has_value());
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(isMarkedRefused(comm().ipAddressEdit));
    EXPECT_TRUE(isMarkedRefused(comm().ipMaskEdit));
}

TEST_F(IoPages, MacFromTheReplyIsWrittenBackUnchanged)
{
    applyReply(sampleIo());
    const auto r = write();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(std::vector<std::uint8_t>(r->begin() + 16, r->begin() + 22),
              (std::vector<std::uint8_t>{0x00, 0x1B, 0x2C, 0x0A, 0xFF, 0x07}));
}

TEST_F(IoPages, ModbusAddressItemIsWrittenAsTheAddress)
{
    comm().modbusAddressList->setCurrentIndex(246);
    EXPECT_EQ(write().value().at(2), 247);
    comm().modbusAddressList->setCurrentIndex(0);
    EXPECT_EQ(write().value().at(2), 1);
}

TEST_F(IoPages, ListsWithoutSelectionAreRefusedSoNoAddressZeroOrIndex255IsSent)
{
    for (QComboBox* list : {comm().modbusAddressList, comm().modbusBaudList, outs().out2.source}) {
        events.clear();
        list->setCurrentIndex(-1);
        EXPECT_FALSE(write().has_value()) << list->objectName().toStdString();
        ASSERT_EQ(events.size(), 1U);
        EXPECT_EQ(events[0].kind, PK::Warning);
        EXPECT_TRUE(isMarkedRefused(list));
        list->setCurrentIndex(0);
    }
    events.clear();
    EXPECT_TRUE(write().has_value());
    EXPECT_FALSE(isMarkedRefused(comm().modbusAddressList));
}

TEST_F(IoPages, ThresholdBeyondTheBoundsIsRefusedWithOneBoxAndNoNotice)
{
    outs().out2.number2->setText(QStringLiteral("200000000"));
    outs().out1.number1->setText(QStringLiteral("abc"));
    EXPECT_FALSE(write().has_value());
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].kind, PK::Warning);
    EXPECT_EQ(events[0].caption, QStringLiteral("Warning"));
    EXPECT_EQ(events[0].text, QStringLiteral("Błędne parametry\n\n"
                                             "Wartość do warunku 1 (OUT1): od -100000000 do 100000000\n"
                                             "Wartość do warunku 2 (OUT2): od -100000000 do 100000000"));
    EXPECT_TRUE(isMarkedRefused(outs().out2.number2));
    EXPECT_TRUE(isMarkedRefused(outs().out1.number1));
    EXPECT_FALSE(isMarkedRefused(outs().out1.number2));
}

TEST_F(IoPages, ThresholdIsSentAsTypedAndShownWithTheDecimalsOfTheDisplayOrMore)
{
    outs().out1.number1->setText(QStringLiteral("150.5"));
    outs().out1.number2->setText(QStringLiteral("12"));
    const auto r = write();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(floatAt(*r, 28), 150.5F);
    // No decimals are shown, except where the value needs them: the field shows what was sent.
    EXPECT_EQ(outs().out1.number1->text(), QStringLiteral("150.5"));
    EXPECT_EQ(outs().out1.number2->text(), QStringLiteral("12"));
}

TEST_F(IoPages, UnchangedPagesWriteBackTheBytesTheyRead)
{
    auto io = sampleIo();
    for (int decp = 0; decp < 5; ++decp) {
        page.decimalsList->setCurrentIndex(decp);
        for (const auto& [a, b] : {std::pair{150.25F, -12.5F}, std::pair{0.75F, 2.25F}, std::pair{0.1F, 1e6F},
                                   std::pair{-0.5F, 99999.99F}}) {
            io.Out1.number1 = a;
            io.Out1.number2 = b;
            io.Out2.number1 = -b;
            io.Out2.number2 = a * 3;
            applyReply(io);
            const auto r = write();
            ASSERT_TRUE(r.has_value());
            const auto expected = settings::encodeIoSettingsRequest(io);
            ASSERT_GE(r->size(), expected.size());
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), r->begin())) << "Decp " << decp << " " << a << " " << b;
        }
    }
}

TEST_F(IoPages, AnUnreadableAddressBringsTheCommunicationPageForward)
{
    page.settingsTabs->setCurrentWidget(page.outputsPage);
    comm().ipAddressEdit->setText(QStringLiteral("192.168.0.300"));
    outs().writeOutputsButton->click();
    EXPECT_TRUE(requests().empty());
    EXPECT_TRUE(events.empty()); // still no message: the mark, now in view, tells
    EXPECT_EQ(page.settingsTabs->currentWidget(), page.communicationPage);
    EXPECT_TRUE(isMarkedRefused(comm().ipAddressEdit));
}

TEST_F(IoPages, ARefusedThresholdBringsTheOutputsPageForwardUnlessAMarkIsInView)
{
    page.settingsTabs->setCurrentWidget(page.communicationPage);
    outs().out2.number1->setText(QStringLiteral("x"));
    comm().writeIoSettingsButton->click();
    ASSERT_EQ(count(PK::Warning), 1U);
    EXPECT_EQ(page.settingsTabs->currentWidget(), page.outputsPage);

    // With a marked list on the communication page in view, that page stays.
    events.clear();
    page.settingsTabs->setCurrentWidget(page.communicationPage);
    comm().modbusParityList->setCurrentIndex(-1);
    comm().writeIoSettingsButton->click();
    ASSERT_EQ(count(PK::Warning), 1U);
    EXPECT_EQ(page.settingsTabs->currentWidget(), page.communicationPage);
    EXPECT_TRUE(events[0].text.endsWith(QStringLiteral("\nParzystość\nWartość do warunku 1 (OUT2): od -100000000 do 100000000")))
        << events[0].text.toStdString();
}

TEST_F(IoPages, ReplyTakesTheMarkOffFieldsItFillsWithValidValues)
{
    outs().out1.number2->setText(QStringLiteral("2E8"));
    outs().out2.source->setCurrentIndex(-1);
    EXPECT_FALSE(write().has_value());
    comm().ipGatewayEdit->setText(QStringLiteral("1.2.3.4.5"));
    EXPECT_FALSE(write().has_value());
    ASSERT_TRUE(isMarkedRefused(outs().out1.number2));
    ASSERT_TRUE(isMarkedRefused(comm().ipGatewayEdit));

    // The transducer holds a broadcast gateway: a text the page cannot send, so its mark stays.
    auto io = sampleIo();
    io.Gate = {255, 255, 255, 255};
    applyReply(io);
    EXPECT_FALSE(isMarkedRefused(outs().out1.number2));
    EXPECT_FALSE(isMarkedRefused(outs().out2.source));
    EXPECT_TRUE(isMarkedRefused(comm().ipGatewayEdit));
    applyReply(sampleIo());
    EXPECT_FALSE(isMarkedRefused(comm().ipGatewayEdit));
}

TEST_F(IoPages, ThresholdOneAboveTheBoundPassesAsItsFloat32)
{
    outs().out2.number2->setText(QStringLiteral("100000001"));
    const auto r = write();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(floatAt(*r, 45), 100000000.0F);
}

TEST_F(IoPages, IndicatorRoleDisablesExactlyItsOwnRow)
{
    outs().stabilityIndicatorCheck->click();
    for (QWidget* c : outs().out1.settingsControls()) {
        EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    }
    for (QWidget* c : outs().out2.settingsControls()) {
        EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
    }
    EXPECT_TRUE(outs().out1.status->isEnabled());
    outs().stabilityIndicatorCheck->click();
    EXPECT_TRUE(outs().out1.mode2->isEnabled());
}

TEST_F(IoPages, ReplyWithBothIndicatorFlagsDisablesBothRowsAndTheirValuesAreStillSent)
{
    page.decimalsList->setCurrentIndex(1);
    auto io = sampleIo();
    io.IndicatorFlags = 3;
    applyReply(io);
    for (const auto* row : {&outs().out1, &outs().out2}) {
        for (QWidget* c : row->settingsControls()) {
            EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
        }
    }
    const auto r = write();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ((*r)[49], 3);
    EXPECT_EQ(floatAt(*r, 28), 150.5F);
    io.IndicatorFlags = 0;
    applyReply(io);
    EXPECT_TRUE(outs().out2.number2->isEnabled());
}

TEST_F(IoPages, FactoryRestoresAskFirstAndCancelSendsNothing)
{
    confirmAnswer = false;
    comm().communicationDefaultsButton->click();
    outs().outputsDefaultsButton->click();
    EXPECT_TRUE(requests().empty());
    ASSERT_EQ(events.size(), 2U);
    for (const auto& e : events) {
        EXPECT_EQ(e.kind, PK::Confirm);
        EXPECT_EQ(e.caption, QStringLiteral("Konfiguracja"));
        EXPECT_EQ(e.text, QStringLiteral("Przywrócić domyślne?"));
    }
    confirmAnswer = true;
    comm().communicationDefaultsButton->click();
    outs().outputsDefaultsButton->click();
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{0xA0, 0xA1}));
}

TEST_F(IoPages, AcknowledgedWriteReadsTheBlockBackAndRefillsThePages)
{
    comm().writeIoSettingsButton->click();
    deliver(reply({link::CMD_SET_IO_SETTINGS}));
    auto io = sampleIo();
    io.Address = 99;
    deliver(rawFrame(io));
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{0x8B, 0x03, 0x85}));
    EXPECT_EQ(comm().modbusAddressList->currentText(), QStringLiteral("99"));
}

} // namespace
