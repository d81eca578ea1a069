#pragma once

#include <QSet>
#include <QtGlobal>

namespace DeviceSim {

// Faults the simulated device puts on the line towards the PC. Probabilities are per
// outgoing packet (0 never, 1 every packet) and drawn from the simulator's seeded
// generator, so a run with the same seed and the same traffic fails the same way.
struct LineFaults
{
    double bitFlipProbability = 0.0; // one bit of the packet inverted
    double dropByteProbability = 0.0; // one byte of the packet left out
    double garbageProbability = 0.0; // random bytes sent in front of the packet
    int garbageMaxBytes = 8; // 1 … this many garbage bytes; some start like a start word
    int splitSize = 0; // > 0: every packet leaves in pieces of at most this many bytes
    int splitDelayMs = 0; // pause between two pieces of a split packet
    // Every answer is preceded by a "SetModelValue" for "SettingChanged" whose content is
    // the flow control bytes 0x13 (XOFF) and 0x11 (XON), as a device sending binary data
    // naturally does now and then.
    bool flowControlBytes = false;
    // Commands the faults above apply to; empty means every command.
    QSet<quint16> commands;

    // No fault is ever put on a packet.
    bool isSound() const
    {
        return bitFlipProbability <= 0.0 && dropByteProbability <= 0.0 && garbageProbability <= 0.0
            && splitSize <= 0;
    }

    bool appliesTo(quint16 command) const
    {
        return commands.isEmpty() || commands.contains(command);
    }
};

} // namespace DeviceSim
