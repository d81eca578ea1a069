#pragma once

namespace DeviceSim {

// Ways the device's side of a firmware transfer can go wrong; -1 switches a fault off.
struct UpdateFaults
{
    int stallAfterBlock = -1; // no further request once this block has arrived
    int repeatRequestBlock = -1; // this block is requested twice in a row
    bool requestBeyondCount = false; // after the last block, one request for block number = count
    int corruptBlock = -1; // the first copy of this block arrives with one bit changed
};

} // namespace DeviceSim
