#include "support/UpdatePackages.h"

#include "service/FirmwareImageCipher.h"
#include "support/ExternalTool.h"
#include "support/TestSupport.h"
#include "utilities/Tarball.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace TestSupport {

UpdatePackages::UpdatePackages(const QString &folder, const QString &tool)
    : m_folder(folder)
    , m_tool(tool)
{
}

QByteArray UpdatePackages::image(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + seed * 7 + (i >> 9)) & 0xFF);
    return bytes;
}

QString UpdatePackages::build(const QString &name, const QByteArray &platform,
                              const QString &platformVersion, const QByteArray &display,
                              const QString &displayVersion, const QString &packageVersion)
{
    const QDir dir(m_folder);
    QStringList arguments {QStringLiteral("build"), QStringLiteral("-o"), dir.filePath(name),
                           QStringLiteral("--package-version"), packageVersion};
    if (!platform.isEmpty()) {
        const QString path = dir.filePath(name + QStringLiteral(".platform.bin"));
        if (!writeFile(path, platform))
            return QString();
        arguments << QStringLiteral("--platform") << path << QStringLiteral("--platform-version")
                  << platformVersion << QStringLiteral("--platform-name")
                  << QStringLiteral("platform.crypt");
    }
    if (!display.isEmpty()) {
        const QString path = dir.filePath(name + QStringLiteral(".display.bin"));
        if (!writeFile(path, display))
            return QString();
        arguments << QStringLiteral("--display") << path << QStringLiteral("--display-version")
                  << displayVersion << QStringLiteral("--display-name")
                  << QStringLiteral("display.crypt");
    }
    const ToolRun run = runTool(m_tool, arguments, m_folder);
    if (!run.succeeded()) {
        qWarning("k27-mkpackage failed: %s", run.standardError.constData());
        return QString();
    }
    return dir.filePath(name);
}

QString UpdatePackages::tamper(const QString &package, const QString &name)
{
    QByteArray bytes = readFile(package);
    const Utilities::Tarball tarball(bytes.constData(), quint32(bytes.size()));
    const Utilities::Tarball::Entry *entry = tarball.find(QByteArrayLiteral("platform.crypt"));
    if (entry == nullptr)
        entry = tarball.find(QByteArrayLiteral("display.crypt"));
    if (entry == nullptr || entry->size <= Service::K27::FirmwareImageCipher::headerLength + 1) {
        qWarning("no image to tamper with in %s", qPrintable(package));
        return QString();
    }
    const int at = int(entry->offset) + Service::K27::FirmwareImageCipher::headerLength + 1;
    bytes[at] = char(bytes.at(at) ^ 0x10);
    const QString path = QDir(m_folder).filePath(name);
    return writeFile(path, bytes) ? path : QString();
}

QString UpdatePackages::withManifest(const QString &package, const QString &name,
                                     const QByteArray &manifest)
{
    const QByteArray bytes = readFile(package);
    const Utilities::Tarball tarball(bytes.constData(), quint32(bytes.size()));
    QList<QPair<QString, QByteArray>> files {{QStringLiteral("version.json"), manifest}};
    for (const char *image : {"platform.crypt", "display.crypt"}) {
        if (const Utilities::Tarball::Entry *entry = tarball.find(QByteArray(image)))
            files.append(
                qMakePair(QString::fromLatin1(image), QByteArray(entry->data, int(entry->size))));
    }
    return archive(name, files);
}

QString UpdatePackages::archive(const QString &name, const QList<QPair<QString, QByteArray>> &files)
{
    const QDir dir(m_folder);
    const QString sources = dir.filePath(name + QStringLiteral(".files"));
    QDir().mkpath(sources);
    QStringList arguments {QStringLiteral("--format=ustar"), QStringLiteral("-cf"),
                           dir.filePath(name), QStringLiteral("-C"), sources};
    for (const QPair<QString, QByteArray> &file : files) {
        if (!writeFile(QDir(sources).filePath(file.first), file.second))
            return QString();
        arguments << file.first;
    }
    const ToolRun run = runTool(QStringLiteral("tar"), arguments, m_folder);
    if (!run.succeeded()) {
        qWarning("tar failed: %s", run.standardError.constData());
        return QString();
    }
    return dir.filePath(name);
}

} // namespace TestSupport
