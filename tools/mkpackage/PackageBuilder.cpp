#include "tools/mkpackage/PackageBuilder.h"

#include "service/FirmwareImageCipher.h"
#include "tools/mkpackage/TarWriter.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

namespace MkPackage {

namespace {
const QByteArray manifestName = QByteArrayLiteral("version.json");

struct Record
{
    QString node; // "Platform" or "Display"
    PackageBuilder::Image image;
};
} // namespace

bool PackageBuilder::isVersionText(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^V?(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    for (int part = 1; part <= 4; ++part) {
        if (match.captured(part).toUInt() > 255)
            return false;
    }
    return true;
}

QString PackageBuilder::defaultArchiveName(const QString &sourcePath)
{
    const QFileInfo info(sourcePath);
    const QString name = info.fileName();
    const QString base = name.endsWith(QLatin1String(".bin")) ? name.chopped(4) : name;
    return base + QLatin1String(".crypt");
}

QByteArray PackageBuilder::readPlainImage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_errors << QStringLiteral("%1: %2").arg(path, file.errorString());
        return {};
    }
    if (file.size() > maxImageLength) {
        m_errors << QStringLiteral("%1: %2 bytes is more than the device takes (%3 bytes)")
                        .arg(path)
                        .arg(file.size())
                        .arg(maxImageLength);
        return {};
    }
    const QByteArray plain = file.readAll();
    if (plain.size() != file.size()) {
        m_errors << QStringLiteral("%1: could not read the whole file").arg(path);
        return {};
    }
    if (plain.isEmpty())
        m_errors << QStringLiteral("%1: the image is empty").arg(path);
    return plain;
}

bool PackageBuilder::writeFile(const QString &path, const QByteArray &contents)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()
        || !file.commit()) {
        m_errors << QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool PackageBuilder::encryptFile(const QString &inputPath, const QString &outputPath)
{
    m_errors.clear();
    const QByteArray plain = readPlainImage(inputPath);
    if (!m_errors.isEmpty())
        return false;
    const QByteArray encrypted = Service::K27::FirmwareImageCipher().encryptImage(plain);
    if (encrypted.isEmpty()) {
        m_errors << QStringLiteral("%1: encryption failed").arg(inputPath);
        return false;
    }
    return writeFile(outputPath, encrypted);
}

bool PackageBuilder::build(const QString &outputPath)
{
    m_errors.clear();
    if (m_packageVersion.isEmpty())
        m_errors << QStringLiteral("the package needs a version text");

    QList<Record> records;
    if (!m_platform.sourcePath.isEmpty())
        records << Record {QStringLiteral("Platform"), m_platform};
    if (!m_display.sourcePath.isEmpty())
        records << Record {QStringLiteral("Display"), m_display};
    if (records.isEmpty())
        m_errors << QStringLiteral("the package needs a platform or a display image");

    QList<QByteArray> names;
    for (Record &record : records) {
        if (record.image.archiveName.isEmpty())
            record.image.archiveName = defaultArchiveName(record.image.sourcePath);
        const QByteArray name = record.image.archiveName.toUtf8();
        if (!isVersionText(record.image.version))
            m_errors << QStringLiteral("%1 image: version \"%2\" is not four numbers 0-255 "
                                       "separated by dots, like V1.2.3.4")
                            .arg(record.node, record.image.version);
        if (name.isEmpty() || name.size() > TarWriter::maxNameLength)
            m_errors << QStringLiteral("%1 image: the name \"%2\" must have 1 to %3 bytes")
                            .arg(record.node, record.image.archiveName)
                            .arg(TarWriter::maxNameLength);
        if (name == manifestName || names.contains(name))
            m_errors << QStringLiteral("%1 image: the name \"%2\" is already taken in the package")
                            .arg(record.node, record.image.archiveName);
        names << name;
    }
    if (!m_errors.isEmpty())
        return false;

    QJsonObject manifest;
    manifest.insert(QStringLiteral("Package"),
                    QJsonObject {{QStringLiteral("Version"), m_packageVersion}});
    QList<QByteArray> images;
    const Service::K27::FirmwareImageCipher cipher;
    for (const Record &record : records) {
        const QByteArray plain = readPlainImage(record.image.sourcePath);
        if (plain.isEmpty())
            continue;
        const QByteArray encrypted = cipher.encryptImage(plain);
        if (encrypted.isEmpty()) {
            m_errors << QStringLiteral("%1: encryption failed").arg(record.image.sourcePath);
            continue;
        }
        images << encrypted;
        const QJsonObject application {{QStringLiteral("Path"), record.image.archiveName},
                                       {QStringLiteral("Version"), record.image.version}};
        manifest.insert(record.node, QJsonObject {{QStringLiteral("Application"), application}});
    }
    if (!m_errors.isEmpty())
        return false;

    TarWriter writer(QDateTime::currentSecsSinceEpoch());
    QString error;
    bool written = writer.addFile(manifestName, QJsonDocument(manifest).toJson(), &error);
    for (int i = 0; written && i < records.size(); ++i)
        written = writer.addFile(names.at(i), images.at(i), &error);
    if (!written) {
        m_errors << error;
        return false;
    }
    return writeFile(outputPath, writer.finish());
}

} // namespace MkPackage
