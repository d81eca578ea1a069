#include "PseudoTerminal.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace DeviceSim {

PseudoTerminal::PseudoTerminal(const QString &linkPath, QObject *parent)
    : QObject(parent)
    , m_linkPath(linkPath)
{
}

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::fail(const QString &what)
{
    m_errorString
        = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
    close();
    return false;
}

bool PseudoTerminal::open()
{
    if (isOpen())
        return true;
    m_errorString.clear();

    char name[128] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return fail(QStringLiteral("Cannot open a pseudo-terminal"));
    }
    // Raw mode on top of the kernel's defaults, so that the control characters (XON, XOFF)
    // stay those of a real serial device and take effect once the PC switches them on.
    termios settings {};
    if (::tcgetattr(m_slave, &settings) != 0)
        return fail(QStringLiteral("Cannot read the pseudo-terminal's settings"));
    cfmakeraw(&settings);
    cfsetispeed(&settings, B115200);
    cfsetospeed(&settings, B115200);
    if (::tcsetattr(m_slave, TCSANOW, &settings) != 0)
        return fail(QStringLiteral("Cannot put the pseudo-terminal in raw mode"));
    m_serialName = QString::fromLocal8Bit(name);

    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail(QStringLiteral("Cannot make the pseudo-terminal non-blocking"));
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);

    // Replace the link in one step, so that nobody ever sees a half-made port.
    const QByteArray link = QFile::encodeName(m_linkPath);
    const QByteArray temporary = link + ".new";
    ::unlink(temporary.constData());
    if (::symlink(name, temporary.constData()) != 0)
        return fail(QStringLiteral("Cannot create the port link %1").arg(m_linkPath));
    if (::rename(temporary.constData(), link.constData()) != 0) {
        ::unlink(temporary.constData());
        return fail(QStringLiteral("Cannot create the port link %1").arg(m_linkPath));
    }

    m_readNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_readNotifier.get(), &QSocketNotifier::activated, this,
            &PseudoTerminal::handleReadable);
    m_writeNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this,
            &PseudoTerminal::handleWritable);
    return true;
}

void PseudoTerminal::close()
{
    m_readNotifier.reset();
    m_writeNotifier.reset();
    m_pending.clear();
    m_frontWritten = 0;
    m_pendingBytes = 0;
    if (m_master >= 0) {
        // Only remove the link if it still points at this pair; a newer simulator may own it.
        const QString target = QFileInfo(m_linkPath).symLinkTarget();
        if (target == m_serialName)
            QFile::remove(m_linkPath);
        ::close(m_master);
    }
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
    m_serialName.clear();
}

void PseudoTerminal::write(const QByteArray &bytes)
{
    if (!isOpen() || bytes.isEmpty())
        return;
    // With nothing queued the bytes go to the line at once; only what it does not take waits.
    int written = 0;
    while (m_pending.empty() && written < bytes.size()) {
        const ssize_t count
            = ::write(m_master, bytes.constData() + written, size_t(bytes.size() - written));
        if (count > 0)
            written += int(count);
        else if (count < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    if (written == bytes.size()) {
        emit allBytesWritten();
        return;
    }
    m_pending.push_back(bytes);
    m_frontWritten = m_pending.size() == 1 ? written : m_frontWritten;
    m_pendingBytes += bytes.size() - written;
    flush();
    dropOldestWrites();
}

void PseudoTerminal::dropOldestWrites()
{
    // The newest write always stays, however large; the first stays once it is partly sent.
    auto oldest = m_pending.begin() + (m_frontWritten > 0 ? 1 : 0);
    while (m_pendingBytes > pendingLimit && m_pending.end() - oldest > 1) {
        m_pendingBytes -= oldest->size();
        ++m_droppedWrites;
        oldest = m_pending.erase(oldest);
    }
}

void PseudoTerminal::flush()
{
    while (!m_pending.empty()) {
        const QByteArray &front = m_pending.front();
        const ssize_t written = ::write(m_master, front.constData() + m_frontWritten,
                                        size_t(front.size() - m_frontWritten));
        if (written > 0) {
            m_frontWritten += int(written);
            m_pendingBytes -= written;
            if (m_frontWritten == front.size()) {
                m_pending.pop_front();
                m_frontWritten = 0;
            }
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        // The terminal layer is full (the PC is not reading): wait until it drains.
        m_writeNotifier->setEnabled(true);
        return;
    }
    m_writeNotifier->setEnabled(false);
    emit allBytesWritten();
}

void PseudoTerminal::handleWritable()
{
    flush();
}

void PseudoTerminal::handleReadable()
{
    char buffer[4096];
    QByteArray received;
    for (;;) {
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count > 0) {
            received.append(buffer, int(count));
            // A read that did not fill the buffer took all there was; the notifier calls
            // again when more arrives, without a read that only finds the line empty.
            if (std::size_t(count) < sizeof buffer)
                break;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        break;
    }
    if (!received.isEmpty())
        emit bytesReceived(received);
}

} // namespace DeviceSim
