#pragma once

#include <QByteArray>
#include <QString>
#include <termios.h>

namespace TestSupport {

// A pseudo-terminal pair standing in for a device's serial line. The slave side is what the
// program opens as its serial port (by its /dev/pts path or by a symlink whose name contains
// "tty"); the test plays the device on the master side. Both sides start in raw mode, so every
// byte passes unchanged unless the program's own line settings interfere.
class PtyPair
{
public:
    // Opens a new pair. With a link path, also creates (or re-points) a symlink there to the
    // slave, so a device that comes back can appear under the same name.
    explicit PtyPair(const QString &linkPath = QString());
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_masterFd >= 0; }
    QString errorString() const { return m_errorString; }

    // Path of the slave device, for example /dev/pts/4.
    QString slavePath() const { return m_slavePath; }
    // The symlink given to the constructor, or the slave path without one.
    QString portName() const { return m_linkPath.isEmpty() ? m_slavePath : m_linkPath; }

    int masterFd() const { return m_masterFd; }

    // Writes all bytes to the master side; false on an error or a closed master.
    bool writeMaster(const QByteArray &data);
    // Reads from the master side until count bytes have arrived or timeoutMs has passed;
    // returns what arrived. Keeps the Qt event loop turning, since the program writes from it.
    QByteArray readMaster(int count, int timeoutMs = 5000);
    // What the master side holds right now, without waiting and without turning the event
    // loop.
    QByteArray readMasterNow();

    // The line settings of the slave as the program left them.
    termios slaveSettings() const;

    // Closes the master (and the helper's own slave descriptor) and removes the link: to
    // whoever holds the slave open, the device has been unplugged.
    void closeMaster();

private:
    int m_masterFd = -1;
    int m_slaveFd = -1;
    QString m_slavePath;
    QString m_linkPath;
    QString m_errorString;
};

} // namespace TestSupport
