#include "component/Crc32.h"

#include <zlib.h>

uint32_t Crc32::calculate(const void *data, std::size_t count, uint32_t initial) const
{
    // zlib keeps the register complemented between calls, so a register preset to R is
    // continued by passing ~R; for count 0 this yields ~initial as well.
    if (data == nullptr || count == 0) {
        return ~initial;
    }
    return static_cast<uint32_t>(
        crc32_z(static_cast<unsigned long>(~initial), static_cast<const Bytef *>(data), count));
}
