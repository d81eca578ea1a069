#include "utilities/RegularFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
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

bool RegularFile::writeAtomically(const QString &path, const QByteArray &content,
                                  QString *errorString)
{
    // Unbuffered: a write the disk cuts short (full, or over a size limit) then shows as a short
    // count here; through the buffer the commit would report it as written.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        && file.write(content) == content.size() && file.commit())
        return true;
    if (errorString != nullptr)
        *errorString = file.errorString();
    file.cancelWriting();
    return false;
}

QString RegularFile::systemError()
{
    return QString::fromLocal8Bit(std::strerror(lastError));
}

QString RegularFile::failureText(Result result, qint64 maximumSize)
{
    switch (result) {
    case Result::Read:
        break;
    case Result::Missing:
        return QCoreApplication::translate("Utilities::RegularFile", "the file does not exist");
    case Result::NotRegular:
        return QCoreApplication::translate("Utilities::RegularFile", "it is not a regular file");
    case Result::Unreadable:
        //: %1 is the system's reason
        return QCoreApplication::translate("Utilities::RegularFile", "it cannot be read (%1)")
            .arg(systemError());
    case Result::TooLarge:
        return QCoreApplication::translate("Utilities::RegularFile", "it is larger than %1 bytes")
            .arg(maximumSize);
    }
    return QString();
}

} // namespace Utilities
