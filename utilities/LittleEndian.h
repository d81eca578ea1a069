#pragma once

#include <QtEndian>
#include <array>
#include <cstdint>
#include <type_traits>

namespace Utilities::LittleEndian {

// The one place the link's byte order is spelled out: every integer on the line, in the
// firmware images and in the packages is little-endian. The reads take the bytes as they lie
// (no alignment needed), so they serve a view into a received packet as well as a buffer.

// The integer held by the sizeof(T) bytes at bytes.
template<typename T> T read(const void *bytes) noexcept
{
    static_assert(std::is_integral_v<T>, "the link carries integers");
    return qFromLittleEndian<T>(bytes);
}

// Writes the sizeof(T) bytes of value to bytes.
template<typename T> void write(T value, void *bytes) noexcept
{
    static_assert(std::is_integral_v<T>, "the link carries integers");
    qToLittleEndian<T>(value, bytes);
}

// The sizeof(T) bytes of value, for a packet argument that must outlive the call.
template<typename T> std::array<uint8_t, sizeof(T)> bytes(T value) noexcept
{
    std::array<uint8_t, sizeof(T)> result {};
    write<T>(value, result.data());
    return result;
}

} // namespace Utilities::LittleEndian
