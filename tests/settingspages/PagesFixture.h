#pragma once
// A settings page on a real link controller over the scripted HID backend: every request the page
// sends is recorded byte for byte, replies are injected, and the modal boxes are answered by a
// recorder.

#include "FakeBackend.h"
#include "LinkTestSupport.h"

#include "lang/StringTable.h"
#include "link/LinkController.h"
#include "ui/pages/SettingsPage.h"
#include "ui/pages/SettingsPrompts.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace qmx::test {

/// One modal box that was asked for.
struct PromptEvent {
    enum class Kind { Warning, Information, Confirm, Error };
    Kind kind;
    QString caption;
    QString text;
    std::size_t writesBefore; ///< requests written when the box was shown
};

/// Answers the boxes without showing them and records each one.
class RecordingPrompts final : public ui::SettingsPrompts {
public:
    RecordingPrompts(std::vector<PromptEvent>& events, const bool& confirmAnswer, std::function<std::size_t()> writes)
        : m_events(events), m_confirmAnswer(confirmAnswer), m_writes(std::move(writes))
    {
    }
    void warning(const QString& caption, const QString& text) override { add(PromptEvent::Kind::Warning, caption, text); }
    void information(const QString& caption, const QString& text) override
    {
        add(PromptEvent::Kind::Information, caption, text);
    }
    bool confirm(const QString& caption, const QString& text) override
    {
        add(PromptEvent::Kind::Confirm, caption, text);
        return m_confirmAnswer;
    }
    void error(const QString& message) override { add(PromptEvent::Kind::Error, QString(), message); }

private:
    void add(PromptEvent::Kind kind, const QString& caption, const QString& text)
    {
        m_events.push_back({kind, caption, text, m_writes()});
    }
    std::vector<PromptEvent>& m_events;
    const bool& m_confirmAnswer;
    std::function<std::size_t()> m_writes;
};

inline QString polish(std::string_view id)
{
    return lang::lookupText(id, lang::Language::Polish);
}

class PagesFixture : public ::testing::Test {
protected:
    PagesFixture() : dev(backend.add(u"QMX80NET")), link(backend, polish), page(link, polish)
    {
        page.setNumberLocale(display::NumberLocale::c());
        page.setPrompts(std::make_unique<RecordingPrompts>(events, confirmAnswer, [this] { return dev->writes().size(); }));
        page.fillModbusAddressList();
        page.adRateChanged();
        link.onDeviceChange();
        EXPECT_TRUE(link.connected());
        dev->clearWrites();
    }

    /// Request payloads written so far (the report ID removed), each as long as the output report.
    std::vector<std::vector<std::uint8_t>> requests()
    {
        std::vector<std::vector<std::uint8_t>> result;
        for (auto w : dev->writes()) {
            EXPECT_EQ(w.at(0), 1) << "report ID";
            w.erase(w.begin());
            result.push_back(std::move(w));
        }
        return result;
    }
    /// The single request written so far; fails the test when there is not exactly one.
    std::vector<std::uint8_t> onlyRequest()
    {
        auto all = requests();
        EXPECT_EQ(all.size(), 1U);
        return all.empty() ? std::vector<std::uint8_t>(64, 0xEE) : all.front();
    }
    /// Injects a reply and waits until the link has dispatched it.
    void deliver(std::vector<std::uint8_t> reply)
    {
        const std::uint8_t code = reply.at(0);
        bool seen = false;
        auto c = QObject::connect(&link, &link::LinkController::replyDispatched, [&](std::uint8_t got) {
            seen = seen || got == code;
        });
        dev->inject(std::move(reply));
        EXPECT_TRUE(waitUntil([&] { return seen; }));
        QObject::disconnect(c);
    }
    std::size_t count(PromptEvent::Kind kind) const
    {
        return static_cast<std::size_t>(
            std::count_if(events.begin(), events.end(), [kind](const PromptEvent& e) { return e.kind == kind; }));
    }

    FakeBackend backend;
    std::shared_ptr<FakeDeviceState> dev;
    link::LinkController link;
    ui::SettingsPage page;
    std::vector<PromptEvent> events;
    bool confirmAnswer = true;
};

/// Reads a little-endian float32 from a request at `offset`.
inline float floatAt(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    float f = 0.0F;
    std::memcpy(&f, bytes.data() + offset, sizeof f);
    return f;
}

/// A frame of `code` followed by `record`, padded with zeros to 64 bytes.
template <std::size_t N>
std::vector<std::uint8_t> frameOf(std::uint8_t code, const std::array<std::uint8_t, N>& requestFrame)
{
    std::vector<std::uint8_t> r(requestFrame.begin(), requestFrame.end());
    r[0] = code;
    r.resize(64, 0);
    return r;
}

inline QByteArray toQByteArray(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace qmx::test
