// The tool's verbs end with exit code 3 and a message when the link to the transducer is lost.

#include "cli/CliSession.h"
#include "cli/RecordCommand.h"
#include "cli/WatchCommand.h"
#include "link/Protocol.h"
#include "sim/SimBackend.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

using namespace qmx;
using namespace std::chrono_literals;

namespace {

struct VerbCase {
    const char* name;
    std::function<int(cli::CliSession&, const QString& dir)> run;
};

const VerbCase kVerbs[] = {
    {"watch", [](cli::CliSession& s, const QString&) { return cli::runWatch(s, {}); }},
    {"record", [](cli::CliSession& s, const QString& dir) {
         return cli::runRecord(s, QStringList{QStringLiteral("--out"), dir + QStringLiteral("/x.csv"),
                                              QStringLiteral("--seconds"), QStringLiteral("60")});
     }},
};

} // namespace

TEST(CliLinkLoss, MeasurementsThatStopEndWatchAndRecordWithExitThree)
{
    for (const auto& verb : kVerbs) {
        // Model time moves only when the test moves it: once the exchange is done, the transducer
        // sends no measurement at all, as one that has stopped streaming.
        sim::SimBackend backend(sim::SimBackend::Clock::Manual);
        cli::CliSession session(backend);
        ASSERT_EQ(session.connect(), cli::SessionError::None) << verb.name;
        session.link().setMeasurementSilenceLimit(50);
        QTemporaryDir dir;
        EXPECT_EQ(verb.run(session, dir.path()), 3) << verb.name;
        EXPECT_TRUE(session.linkLost()) << verb.name;
        EXPECT_TRUE(session.linkLostText().contains(QStringLiteral("no measurement"))) << verb.name;
        EXPECT_FALSE(session.link().connected()) << verb.name;
    }
}

TEST(CliLinkLoss, AReaderThatFailsEndsWatchWithExitThree)
{
    sim::SimBackend backend(sim::SimBackend::Clock::Manual);
    cli::CliSession session(backend);
    ASSERT_EQ(session.connect(), cli::SessionError::None);
    session.link().setMeasurementSilenceLimit(60'000);
    backend.transducer().setPlugged(false); // every read on the open handle fails from now on
    EXPECT_EQ(cli::runWatch(session, {}), 3);
    EXPECT_TRUE(session.linkLostText().contains(QStringLiteral("reading from the device failed")));
}
