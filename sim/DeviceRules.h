#pragma once
// Rules by which the virtual transducer judges written settings, converts units and switches its
// outputs. Pure functions, so that each rule is tested on its own.

#include "link/Measurement.h"
#include "settings/core/IoSettings.h"
#include "settings/core/SensorSettings.h"

#include <cstdint>

namespace qmx::sim {

/// Standard gravity, for the gram and kilogram units.
inline constexpr double kStandardGravity = 9.80665;
/// A channel counts as overloaded above this multiple of its range.
inline constexpr double kOverloadFactor = 1.5;

/// True when the device accepts a written sensor block: every list index inside its list and every
/// number finite and within the bounds of the settings page. SignBits above bit 3 are not judged
/// (the device ignores them).
bool sensorSettingsAcceptable(const settings::SensorSettings& s);

/// True when the device accepts a written communication and output block: list indices inside
/// their lists, Modbus address 1-247, thresholds finite within their bounds. The addresses are
/// taken as they are; the MAC is never taken from a write.
bool ioSettingsAcceptable(const settings::IoSettings& s);

/// Newtons expressed in the unit of a `Units` index (N, kN, g, kg, kN); an unknown index gives N.
double newtonsToUnit(double newtons, std::uint8_t units);
/// The inverse of newtonsToUnit.
double unitToNewtons(double value, std::uint8_t units);

/// Whether an output driven by conditions is on. Source 0 ("Nieaktywne") or an unknown source
/// keeps it off whatever `state` says. Otherwise condition 1 (mode1: 0 '<', 1 '>' against number1)
/// is joined with condition 2 by `condition` (0 condition 1 alone, 1 and, 2 or; unknown values
/// count as 0); with `state` 1 ("Aktywne") the output is on while the result holds, with `state` 0
/// it is on while the result does not hold.
bool outputFromConditions(const settings::OutputSettings& out, const link::Measurement& m);

/// OUT1 and OUT2 as bits 0 and 1. With IndicatorFlags bit 0 OUT1 is on while every summed channel
/// (1..SelTens+1) is stable; with bit 1 OUT2 is on while any channel is overloaded; an output
/// without its flag follows its conditions.
std::uint8_t outputState(const settings::IoSettings& io, std::uint8_t selTens, const link::Measurement& m);

} // namespace qmx::sim
