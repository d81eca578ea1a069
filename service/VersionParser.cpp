#include "service/VersionParser.h"

#include "utilities/JsonDuplicateKey.h"

#include <QFile>
#include <algorithm>

namespace Service::K27 {

namespace {
QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The version text's parts as versionNumber() reads them.
QStringList versionParts(const QString &text)
{
    QString digits = text;
    digits.remove(QLatin1Char('V'), Qt::CaseSensitive);
    return digits.split(QLatin1Char('.'), Qt::KeepEmptyParts);
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
    , m_duplicateKey(Utilities::JsonDuplicateKey::find(json))
    , m_document(m_duplicateKey.isEmpty() ? QJsonDocument::fromJson(json) : QJsonDocument())
{
}

VersionParser::VersionParser(const QString &fileName, QObject *parent)
    : VersionParser(readFile(fileName), parent)
{
}

quint32 VersionParser::versionNumber(const QString &text)
{
    const QStringList parts = versionParts(text);
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

bool VersionParser::isVersionInRange(const QString &text)
{
    const QStringList parts = versionParts(text);
    if (parts.size() < 4)
        return true;
    for (int i = 0; i < 4; ++i) {
        const QString part = parts.at(i).trimmed();
        bool isNumber = false;
        const qulonglong value = part.toULongLong(&isNumber, 10);
        if (isNumber && value > 255)
            return false;
        // Digits too many for any number: far above 255.
        if (!isNumber && !part.isEmpty() && std::all_of(part.cbegin(), part.cend(), [](QChar c) {
                return c >= QLatin1Char('0') && c <= QLatin1Char('9');
            }))
            return false;
    }
    return true;
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

void VersionParser::findRecordFaults()
{
    struct Record
    {
        QString name;
        const Image *image;
        bool platform;
    };
    const Record records[] = {
        {tr("platform application"), &m_platformApplication, true},
        {tr("platform bootloader"), &m_platformBootloader, true},
        {tr("display application"), &m_displayApplication, false},
        {tr("display bootloader"), &m_displayBootloader, false},
    };
    for (const Record &record : records) {
        if (!isVersionInRange(record.image->version()))
            //: %1 is a version text ("V0.0.0.256"), %2 an image ("platform application")
            m_faults << tr("version.json: the %2 version \"%1\" has a part above 255")
                            .arg(record.image->version(), record.name);
    }
    // The same file named for the platform and the display would send one controller's image
    // to the other; within one controller the bootloader record is never sent.
    for (const Record &platform : records) {
        if (!platform.platform || platform.image->path().isEmpty())
            continue;
        for (const Record &display : records) {
            if (!display.platform && display.image->path() == platform.image->path())
                //: %1 is a file of the package, %2 and %3 images ("platform application")
                m_faults << tr("version.json names the file \"%1\" for two controllers: %2 "
                               "and %3")
                                .arg(platform.image->path(), platform.name, display.name);
        }
    }
}

QString VersionParser::duplicateKeyFault(const QByteArray &json)
{
    return keyTwiceFault(Utilities::JsonDuplicateKey::find(json));
}

QString VersionParser::keyTwiceFault(const QString &key)
{
    if (key.isEmpty())
        return QString();
    //: %1 is a key of the manifest ("Platform.Application.Path")
    return tr("version.json gives the key \"%1\" twice").arg(key);
}

void VersionParser::parse()
{
    m_faults.clear();
    if (!m_duplicateKey.isEmpty())
        m_faults << keyTwiceFault(m_duplicateKey);

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
    findRecordFaults();
}

} // namespace Service::K27
