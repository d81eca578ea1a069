#pragma once

#include <cstddef>
#include <cstdint>

// The IEEE 802.3 CRC-32 of the link and of the firmware images: reflected polynomial
// 0xEDB88320, register preset by the caller (always 0xFFFFFFFF), result complemented.
// The check value over "123456789" is 0xCBF43926.
//
// A longer run can be computed in pieces: pass the complement of the previous result as the
// initial value of the next piece.
class Crc32
{
public:
    static constexpr uint32_t InitialValue = 0xFFFFFFFFu;

    // Returns the complemented register after data; with count 0 that is ~initial.
    uint32_t calculate(const void *data, std::size_t count, uint32_t initial = InitialValue) const;
};
