#include "PtyPair.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace TestSupport {

namespace {
QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

bool makeRaw(int fd)
{
    termios settings {};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}
} // namespace

PtyPair::PtyPair(const QString &linkPath)
{
    char name[128] = {};
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        m_errorString = systemError("openpty");
        return;
    }
    if (!makeRaw(master) || !makeRaw(slave)) {
        m_errorString = systemError("raw mode");
        ::close(master);
        ::close(slave);
        return;
    }
    // The test polls the master itself; a blocking read must never hang it.
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    m_masterFd = master;
    // Holding the slave open keeps the pair usable while the program has its port closed
    // (reading a master whose slave is closed fails with EIO).
    m_slaveFd = slave;
    m_slavePath = QString::fromLocal8Bit(name);

    if (!linkPath.isEmpty()) {
        const QByteArray link = QFile::encodeName(linkPath);
        ::unlink(link.constData());
        if (::symlink(name, link.constData()) != 0) {
            m_errorString = systemError("symlink");
            closeMaster();
            return;
        }
        m_linkPath = linkPath;
    }
}

PtyPair::~PtyPair()
{
    closeMaster();
}

bool PtyPair::writeMaster(const QByteArray &data)
{
    qsizetype written = 0;
    const QDeadlineTimer deadline(5000);
    while (m_masterFd >= 0 && written < data.size()) {
        const ssize_t result
            = ::write(m_masterFd, data.constData() + written, size_t(data.size() - written));
        if (result > 0) {
            written += result;
        } else if (result < 0 && errno == EAGAIN) {
            // The slave's input queue is full until the program reads, from its event loop.
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            pollfd descriptor {m_masterFd, POLLOUT, 0};
            ::poll(&descriptor, 1, 10);
        } else if (!(result < 0 && errno == EINTR)) {
            return false;
        }
    }
    return m_masterFd >= 0;
}

QByteArray PtyPair::readMaster(int count, int timeoutMs)
{
    QByteArray received;
    const QDeadlineTimer deadline(timeoutMs);
    while (m_masterFd >= 0 && received.size() < count) {
        // The program writes from its event loop, so keep that loop turning while waiting.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        pollfd descriptor {m_masterFd, POLLIN, 0};
        const int ready = ::poll(&descriptor, 1, 10);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0) {
            char buffer[4096];
            const ssize_t result = ::read(m_masterFd, buffer, sizeof buffer);
            if (result > 0)
                received.append(buffer, int(result));
            else if (!(result < 0 && (errno == EAGAIN || errno == EINTR)))
                break;
        } else if (deadline.hasExpired()) {
            break;
        }
    }
    return received;
}

QByteArray PtyPair::readMasterNow()
{
    QByteArray received;
    pollfd descriptor {m_masterFd, POLLIN, 0};
    while (m_masterFd >= 0 && ::poll(&descriptor, 1, 0) > 0) {
        char buffer[4096];
        const ssize_t count = ::read(m_masterFd, buffer, sizeof buffer);
        if (count <= 0)
            break;
        received.append(buffer, int(count));
    }
    return received;
}

termios PtyPair::slaveSettings() const
{
    termios settings {};
    // Both ends of a pair share the slave's settings; the master may already be closed.
    ::tcgetattr(m_slaveFd >= 0 ? m_slaveFd : m_masterFd, &settings);
    return settings;
}

void PtyPair::closeMaster()
{
    if (m_masterFd < 0)
        return;
    // An unplugged device's node goes away with it. Another pair may have re-pointed the link
    // to its own slave meanwhile; that one stays. (The slave's number is still ours here, so
    // the comparison cannot confuse the two.)
    if (!m_linkPath.isEmpty()) {
        const QByteArray link = QFile::encodeName(m_linkPath);
        char target[128] = {};
        const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
        if (length > 0 && QString::fromLocal8Bit(target, int(length)) == m_slavePath)
            ::unlink(link.constData());
    }
    ::close(m_masterFd);
    ::close(m_slaveFd);
    m_masterFd = -1;
    m_slaveFd = -1;
}

} // namespace TestSupport
