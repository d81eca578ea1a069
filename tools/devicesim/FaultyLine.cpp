#include "FaultyLine.h"

#include "PseudoTerminal.h"

namespace DeviceSim {

FaultyLine::FaultyLine(PseudoTerminal *terminal, quint32 seed, QObject *parent)
    : QObject(parent)
    , m_terminal(terminal)
    , m_random(seed)
    , m_delay(this)
{
    m_delay.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, [this] {
        if (!m_queue.isEmpty())
            m_queue.first().delayMs = 0;
        pump();
    });
}

bool FaultyLine::chance(double probability)
{
    if (probability <= 0.0)
        return false;
    if (probability >= 1.0)
        return true;
    return m_random.generateDouble() < probability;
}

QByteArray FaultyLine::garbage()
{
    const int count = 1 + int(m_random.bounded(quint32(qMax(1, m_faults.garbageMaxBytes))));
    QByteArray bytes;
    bytes.reserve(count);
    for (int i = 0; i < count; ++i)
        bytes.append(char(m_random.bounded(256u)));
    // Half of the time the garbage begins like a start word that never completes, so that
    // the PC's receiver has to let go of a false start.
    if (m_random.bounded(2u) == 1)
        bytes.prepend(QByteArray("702", 1 + int(m_random.bounded(3u))));
    return bytes;
}

void FaultyLine::sendPacket(const QByteArray &packet, quint16 command)
{
    // A sound line with nothing held back passes the packet straight on.
    if (m_faults.isSound() && m_queue.isEmpty() && !m_delay.isActive()) {
        if (!packet.isEmpty())
            m_terminal->write(packet);
        emit idle();
        return;
    }
    QByteArray bytes = packet;
    if (m_faults.appliesTo(command) && !bytes.isEmpty()) {
        if (chance(m_faults.bitFlipProbability)) {
            const int bit = int(m_random.bounded(quint32(bytes.size() * 8)));
            bytes[bit / 8] = char(bytes.at(bit / 8) ^ (1 << (bit % 8)));
        }
        if (chance(m_faults.dropByteProbability))
            bytes.remove(int(m_random.bounded(quint32(bytes.size()))), 1);
        if (chance(m_faults.garbageProbability))
            bytes.prepend(garbage());
        if (m_faults.splitSize > 0) {
            for (int offset = 0; offset < bytes.size(); offset += m_faults.splitSize)
                enqueue(bytes.mid(offset, m_faults.splitSize),
                        offset == 0 ? 0 : m_faults.splitDelayMs);
            pump();
            return;
        }
    }
    enqueue(bytes, 0);
    pump();
}

void FaultyLine::sendRaw(const QByteArray &bytes)
{
    enqueue(bytes, 0);
    pump();
}

void FaultyLine::clear()
{
    m_delay.stop();
    m_queue.clear();
}

void FaultyLine::enqueue(const QByteArray &bytes, int delayMs)
{
    if (!bytes.isEmpty())
        m_queue.append({bytes, delayMs});
}

void FaultyLine::pump()
{
    if (m_delay.isActive())
        return;
    while (!m_queue.isEmpty()) {
        if (m_queue.first().delayMs > 0) {
            m_delay.start(m_queue.first().delayMs);
            return;
        }
        m_terminal->write(m_queue.takeFirst().bytes);
    }
    emit idle();
}

} // namespace DeviceSim
