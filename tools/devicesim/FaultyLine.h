#pragma once

#include "LineFaults.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

namespace DeviceSim {

class PseudoTerminal;

// Puts whole packets on the line, bending them according to the configured faults.
// Pieces keep their order: a delayed piece holds back everything queued after it.
class FaultyLine : public QObject
{
    Q_OBJECT

public:
    FaultyLine(PseudoTerminal *terminal, quint32 seed, QObject *parent = nullptr);

    void setFaults(const LineFaults &faults) { m_faults = faults; }
    const LineFaults &faults() const { return m_faults; }

    // Sends one encoded packet; command selects whether the faults apply.
    void sendPacket(const QByteArray &packet, quint16 command);
    // Sends bytes as they are, behind anything still queued.
    void sendRaw(const QByteArray &bytes);
    // Forgets everything not yet written (the device went away).
    void clear();
    bool isIdle() const { return m_queue.isEmpty(); }

signals:
    void idle();

private:
    struct Piece
    {
        QByteArray bytes;
        int delayMs = 0;
    };

    bool chance(double probability);
    QByteArray garbage();
    void enqueue(const QByteArray &bytes, int delayMs);
    void pump();

    PseudoTerminal *m_terminal;
    QRandomGenerator m_random;
    LineFaults m_faults;
    QList<Piece> m_queue;
    QTimer m_delay;
};

} // namespace DeviceSim
