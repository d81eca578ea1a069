#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <deque>
#include <memory>

class QSocketNotifier;

namespace DeviceSim {

// The device's end of a pseudo-terminal pair. The serial side is reached through a
// symbolic link whose name stays the same across close and open, the way a USB device
// keeps its port name when it re-enumerates. The simulator keeps its own descriptor of
// the serial side open while it serves, so that the PC opening and closing the port
// never hangs up the line under the simulator.
class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    explicit PseudoTerminal(const QString &linkPath, QObject *parent = nullptr);
    ~PseudoTerminal() override;

    // Creates a new pair in raw mode and points the link at its serial side.
    bool open();
    // Closes both sides and removes the link: to the PC the port is gone.
    void close();
    bool isOpen() const { return m_master >= 0; }

    QString linkPath() const { return m_linkPath; }
    // The kernel's name of the serial side of the current pair, empty while closed.
    QString serialName() const { return m_serialName; }
    QString errorString() const { return m_errorString; }

    // Bytes waiting for the line are held up to this many. While nobody reads the port the
    // newest writes are kept and the oldest whole ones dropped (a write partly on the line
    // already is never cut), so the PC never sees a packet cut in two.
    static constexpr qint64 pendingLimit = 64 * 1024;

    // Queues bytes for the PC; they leave as fast as the terminal layer takes them.
    void write(const QByteArray &bytes);
    qint64 pendingBytes() const { return m_pendingBytes; }
    // Writes dropped because the queue was full, since the simulator started.
    quint64 droppedWrites() const { return m_droppedWrites; }

signals:
    void bytesReceived(const QByteArray &bytes);
    void allBytesWritten();

private:
    void handleReadable();
    void handleWritable();
    void flush();
    void dropOldestWrites();
    bool fail(const QString &what);

    QString m_linkPath;
    QString m_serialName;
    QString m_errorString;
    int m_master = -1;
    int m_slave = -1;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    // Whole writes in order; the first may be partly written (m_frontWritten bytes of it).
    std::deque<QByteArray> m_pending;
    int m_frontWritten = 0;
    qint64 m_pendingBytes = 0;
    quint64 m_droppedWrites = 0;
};

} // namespace DeviceSim
