#include "PortDiagnosis.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString forbidden(const QString &portPath)
{
    QString text = QStringLiteral("cannot open %1: permission denied").arg(portPath);
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(portPath).constData(), &status) == 0) {
        const struct group *owner = ::getgrgid(status.st_gid);
        if (owner != nullptr && owner->gr_name != nullptr) {
            const QString group = QString::fromLocal8Bit(owner->gr_name);
            text += QStringLiteral(" (the port belongs to group '%1': add your user to that "
                                   "group, for example with 'sudo usermod -aG %1 $USER', and "
                                   "log in again)")
                        .arg(group);
        }
    }
    return text;
}

} // namespace

QString PortDiagnosis::explain(const QString &portPath)
{
    if (!QFileInfo::exists(portPath))
        return QStringLiteral("cannot open %1: no such port").arg(portPath);

    const int descriptor = ::open(QFile::encodeName(portPath).constData(),
                                  O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        const int error = errno;
        switch (error) {
        case EACCES:
        case EPERM:
            return forbidden(portPath);
        case EBUSY:
            return QStringLiteral("cannot open %1: the port is busy (another program has it "
                                  "open)")
                .arg(portPath);
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return QStringLiteral("cannot open %1: no such port").arg(portPath);
        default:
            return QStringLiteral("cannot open %1: %2")
                .arg(portPath, QString::fromLocal8Bit(std::strerror(error)));
        }
    }
    const bool terminal = ::isatty(descriptor) == 1;
    ::close(descriptor);
    if (!terminal)
        return QStringLiteral("cannot open %1: not a serial port").arg(portPath);
    // The device node opens, so the serial-port layer refused it: another program holds
    // its lock.
    return QStringLiteral("cannot open %1: the port is busy (another program has it open)")
        .arg(portPath);
}
