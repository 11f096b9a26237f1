#pragma once
// Shared fixture pieces for link tests: an event-loop wait and a controller over a fake backend.

#include "FakeBackend.h"

#include "lang/StringTable.h"
#include "link/LinkController.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace qmx::test {

/// Runs the event loop until `done` holds or `timeoutMs` passes; returns `done()`.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return done();
}

/// Reply payload of `code` padded with zeros to 64 bytes.
inline std::vector<std::uint8_t> reply(std::initializer_list<std::uint8_t> bytes)
{
    std::vector<std::uint8_t> r(bytes);
    r.resize(64, 0);
    return r;
}

} // namespace qmx::test
