#pragma once
// Little-endian byte routines shared by every record of the protocol. Values are copied byte by
// byte, so positions need not be aligned; readers check the length and never read past the end.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qmx::link {

/// Writes a 32-bit value as four bytes, least significant first, at `pos`.
constexpr void writeU32Le(std::span<std::uint8_t> out, std::size_t pos, std::uint32_t value)
{
    out[pos] = static_cast<std::uint8_t>(value);
    out[pos + 1] = static_cast<std::uint8_t>(value >> 8);
    out[pos + 2] = static_cast<std::uint8_t>(value >> 16);
    out[pos + 3] = static_cast<std::uint8_t>(value >> 24);
}

constexpr void writeU16Le(std::span<std::uint8_t> out, std::size_t pos, std::uint16_t value)
{
    out[pos] = static_cast<std::uint8_t>(value);
    out[pos + 1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void writeFloatLe(std::span<std::uint8_t> out, std::size_t pos, float value)
{
    writeU32Le(out, pos, std::bit_cast<std::uint32_t>(value));
}

constexpr std::uint16_t readU16Le(std::span<const std::uint8_t> in, std::size_t pos)
{
    return static_cast<std::uint16_t>(in[pos] | (in[pos + 1] << 8));
}

constexpr std::uint32_t readU32Le(std::span<const std::uint8_t> in, std::size_t pos)
{
    return static_cast<std::uint32_t>(in[pos]) | (static_cast<std::uint32_t>(in[pos + 1]) << 8) |
           (static_cast<std::uint32_t>(in[pos + 2]) << 16) | (static_cast<std::uint32_t>(in[pos + 3]) << 24);
}

/// Reads a float32 from four bytes at any position.
constexpr float readFloatLe(std::span<const std::uint8_t> in, std::size_t pos)
{
    return std::bit_cast<float>(readU32Le(in, pos));
}

/// True when `in` holds at least `count` bytes from `pos` on.
constexpr bool hasBytes(std::span<const std::uint8_t> in, std::size_t pos, std::size_t count)
{
    return pos <= in.size() && count <= in.size() - pos;
}

} // namespace qmx::link
