#pragma once
// A virtual transducer driven report by report, as the host would drive it.

#include "sim/VirtualTransducer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace qmx::test {

using namespace std::chrono_literals;

class ModelTest : public ::testing::Test {
protected:
    /// Sends one request payload in a 65-byte output report (report ID 1, zeros after it).
    bool send(std::span<const std::uint8_t> payload)
    {
        std::vector<std::uint8_t> report(65, 0);
        report[0] = 1;
        std::copy(payload.begin(), payload.end(), report.begin() + 1);
        return model.handleOutputReport(report);
    }
    bool send(std::initializer_list<std::uint8_t> payload)
    {
        return send(std::span<const std::uint8_t>(payload.begin(), payload.size()));
    }
    /// Payload (report ID removed) of the next queued input report; empty when none is queued.
    std::vector<std::uint8_t> next()
    {
        std::vector<std::uint8_t> report;
        if (!model.popInputReport(report) || report.empty()) {
            return {};
        }
        EXPECT_EQ(report[0], 1) << "report ID";
        return {report.begin() + 1, report.end()};
    }
    /// Payloads of every queued input report.
    std::vector<std::vector<std::uint8_t>> drain()
    {
        std::vector<std::vector<std::uint8_t>> all;
        for (auto p = next(); !p.empty(); p = next()) {
            all.push_back(std::move(p));
        }
        return all;
    }

    sim::VirtualTransducer model;
};

/// A model with exact, held loads: no noise, every channel at 0 N until a test sets it.
class QuietModelTest : public ModelTest {
protected:
    QuietModelTest()
    {
        model.setNoiseLevel(0.0);
        for (int ch = 0; ch < 4; ++ch) {
            model.setLoad(ch, 0.0);
        }
        settle();
    }
    /// Lets the model sample long enough for every setting and load to show.
    void settle() { model.advance(5s); }
    void setLoads(double a, double b, double c, double d)
    {
        model.setLoad(0, a);
        model.setLoad(1, b);
        model.setLoad(2, c);
        model.setLoad(3, d);
        settle();
    }
    link::Measurement now() const { return model.currentMeasurement(); }
};

} // namespace qmx::test
