#pragma once
// The settings the virtual transducer leaves the factory with, restored by the factory-restore
// commands. One place, so that the model, its tests and the documentation agree.

#include "settings/core/IoSettings.h"
#include "settings/core/SensorSettings.h"

#include <array>
#include <cstdint>

namespace qmx::sim {

/// Hardware address of the first virtual transducer: locally administered (bit 1 of the first
/// byte set), so it cannot clash with a real interface. Further transducers count up the last byte.
inline constexpr std::array<std::uint8_t, 6> kFactoryMac{0x02, 0x51, 0x4D, 0x58, 0x80, 0x01};

/// Four 1000 N sensors of 2 mV/V, no inversion, no filter, 16 samples per second, newtons, all four
/// channels summed, stable when 50 samples stay within 0.5 N.
inline settings::SensorSettings factorySensorSettings()
{
    settings::SensorSettings s;
    s.Range = {1000, 1000, 1000, 1000};
    s.Sens = {2.0F, 2.0F, 2.0F, 2.0F};
    s.SignBits = 0;
    s.Filter = 0;
    s.Rate = 2;
    s.Units = 0;
    s.SelTens = 3;
    s.SumOffset = 0.0F;
    s.StabSamplesNo = 50;
    s.StabMaxDiff = 0.5F;
    return s;
}

/// Factory communication settings: Modbus RTU 38400 baud, address 1, no parity.
inline void applyFactoryCommSettings(settings::IoSettings& s)
{
    s.Baudrate = 2;
    s.Address = 1;
    s.Parity = 0;
    s.IP = {192, 168, 0, 2};
    s.Mask = {255, 255, 255, 0};
    s.Gate = {192, 168, 0, 1};
}

/// Factory output settings: both outputs without a source, no indicator function.
inline void applyFactoryOutputSettings(settings::IoSettings& s)
{
    s.Out1 = {};
    s.Out2 = {};
    s.IndicatorFlags = 0;
}

/// The whole communication and output block as it leaves the factory, with the given MAC.
inline settings::IoSettings factoryIoSettings(const std::array<std::uint8_t, 6>& mac = kFactoryMac)
{
    settings::IoSettings s;
    applyFactoryCommSettings(s);
    applyFactoryOutputSettings(s);
    s.MAC = mac;
    return s;
}

} // namespace qmx::sim
