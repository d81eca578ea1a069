#include "utilities/RegularFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Utilities {

namespace {
thread_local int lastError = 0;
} // namespace

QByteArray RegularFile::read(const QString &path, qint64 maximumSize, Result *result)
{
    const auto fail = [result](Result reason) {
        lastError = errno;
        if (result != nullptr)
            *result = reason;
        return QByteArray();
    };
    const QByteArray name = QFile::encodeName(path);
    struct stat status
    {
    };
    if (name.isEmpty() || ::stat(name.constData(), &status) != 0)
        return fail(errno == EACCES ? Result::Unreadable : Result::Missing);
    if (!S_ISREG(status.st_mode))
        return fail(Result::NotRegular);
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return fail(Result::Unreadable);
    QFile file;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return fail(Result::NotRegular);
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return fail(Result::Unreadable);
    }
    // One byte more than allowed tells a file that is too large.
    QByteArray content = file.read(maximumSize + 1);
    if (file.error() != QFileDevice::NoError) {
        errno = EIO;
        return fail(Result::Unreadable);
    }
    if (content.size() > maximumSize)
        return fail(Result::TooLarge);
    if (result != nullptr)
        *result = Result::Read;
    return content;
}

QString RegularFile::systemError()
{
    return QString::fromLocal8Bit(std::strerror(lastError));
}

} // namespace Utilities
