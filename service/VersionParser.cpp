#include "service/VersionParser.h"

#include <QFile>
#include <QStringList>

namespace Service::K27 {

namespace {
QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
} // namespace

VersionParser::Image::Image(const QString &path, const QString &version)
    : m_path(path)
    , m_version(version)
    , m_number(versionNumber(version))
{
}

VersionParser::VersionParser(const QByteArray &json, QObject *parent)
    : QObject(parent)
    , m_document(QJsonDocument::fromJson(json))
{
}

VersionParser::VersionParser(const QString &fileName, QObject *parent)
    : VersionParser(readFile(fileName), parent)
{
}

quint32 VersionParser::versionNumber(const QString &text)
{
    QString digits = text;
    digits.remove(QLatin1Char('V'), Qt::CaseSensitive);
    const QStringList parts = digits.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    if (parts.size() < 4)
        return 0;
    quint32 number = 0;
    for (int i = 0; i < 4; ++i) {
        // toUInt gives 0 for anything that is not a decimal number.
        const quint32 part = parts.at(i).toUInt(nullptr, 10);
        number |= part << (24 - 8 * i);
    }
    return number;
}

VersionParser::Image VersionParser::parseImage(const QJsonObject &record)
{
    const QJsonValue path = record.value(QLatin1String("Path"));
    const QJsonValue version = record.value(QLatin1String("Version"));
    return Image(path.isString() ? path.toString() : QString(),
                 version.isString() ? version.toString() : QString());
}

void VersionParser::parseImages(const QJsonObject &records, Image *bootloader, Image *application)
{
    const QJsonValue bootloaderRecord = records.value(QLatin1String("Bootloader"));
    if (bootloaderRecord.isObject())
        *bootloader = parseImage(bootloaderRecord.toObject());
    const QJsonValue applicationRecord = records.value(QLatin1String("Application"));
    if (applicationRecord.isObject())
        *application = parseImage(applicationRecord.toObject());
}

void VersionParser::parse()
{
    const QJsonObject root = m_document.object();

    const QJsonValue package = root.value(QLatin1String("Package"));
    if (package.isObject()) {
        const QJsonValue version = package.toObject().value(QLatin1String("Version"));
        if (version.isString()) {
            m_packageVersion = version.toString();
            emit packageUpdateVersion(m_packageVersion);
        }
    }

    const QJsonValue platform = root.value(QLatin1String("Platform"));
    if (platform.isObject()) {
        parseImages(platform.toObject(), &m_platformBootloader, &m_platformApplication);
        emit packageUpdatePlatformVersion(m_platformApplication.number());
    }

    const QJsonValue display = root.value(QLatin1String("Display"));
    if (display.isObject())
        parseImages(display.toObject(), &m_displayBootloader, &m_displayApplication);
}

} // namespace Service::K27
