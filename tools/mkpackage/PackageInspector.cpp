#include "tools/mkpackage/PackageInspector.h"

#include "service/FirmwareImageCipher.h"
#include "service/VersionParser.h"
#include "tools/mkpackage/PackageBuilder.h"
#include "utilities/Tarball.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

namespace MkPackage {

namespace {
using Service::K27::FirmwareImageCipher;
using Service::K27::VersionParser;

QString describe(const VersionParser::Image &image)
{
    return QStringLiteral("\"%1\", version %2 (0x%3)")
        .arg(image.path(), image.version().isEmpty() ? QStringLiteral("-") : image.version())
        .arg(image.number(), 8, 16, QLatin1Char('0'));
}
} // namespace

bool PackageInspector::inspect(const QString &packagePath)
{
    m_report.clear();
    m_errors.clear();
    m_warnings.clear();

    QFile file(packagePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_errors << QStringLiteral("%1: %2").arg(packagePath, file.errorString());
        return false;
    }
    const QByteArray package = file.readAll();
    if (package.size() != file.size()) {
        m_errors << QStringLiteral("%1: could not read the whole file").arg(packagePath);
        return false;
    }

    const Utilities::Tarball tarball(package.constData(), static_cast<quint32>(package.size()));
    if (tarball.isTruncated())
        m_warnings << QStringLiteral("%1: the archive is truncated; files cut off are missing")
                          .arg(packagePath);
    if (tarball.entries().isEmpty()) {
        m_errors << QStringLiteral("%1: no files found; not an uncompressed ustar archive")
                        .arg(packagePath);
        return false;
    }
    const Utilities::Tarball::Entry *const manifest = tarball.find("version.json");
    if (!manifest) {
        m_errors << QStringLiteral("%1: no \"version.json\" among the first %2 files")
                        .arg(packagePath)
                        .arg(Utilities::Tarball::maxEntries);
        return false;
    }
    const QByteArray json(manifest->data, manifest->size);
    // Asked before the JSON reader runs, which keeps one of two equal keys silently.
    if (const QString fault = VersionParser::duplicateKeyFault(json); !fault.isEmpty()) {
        m_errors << fault;
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        m_errors << QStringLiteral("%1: \"version.json\" is not a JSON object (%2)")
                        .arg(packagePath,
                             parseError.error != QJsonParseError::NoError
                                 ? parseError.errorString()
                                 : QStringLiteral("other JSON value"));
        return false;
    }

    VersionParser parser(json);
    parser.parse();
    // The service tool refuses such a manifest whole, before it looks at any image.
    m_errors << parser.faults();
    m_report << QStringLiteral("Package version: %1")
                    .arg(parser.packageVersion().isEmpty() ? QStringLiteral("-")
                                                           : parser.packageVersion());

    struct Named
    {
        QString label;
        VersionParser::Image image;
        bool application;
    };
    const Named images[] = {
        {QStringLiteral("Platform application"), parser.platformApplication(), true},
        {QStringLiteral("Display application"), parser.displayApplication(), true},
        {QStringLiteral("Platform bootloader"), parser.platformBootloader(), false},
        {QStringLiteral("Display bootloader"), parser.displayBootloader(), false},
    };

    const FirmwareImageCipher cipher;
    int applications = 0;
    for (const Named &named : images) {
        if (named.image.path().isEmpty()) {
            if (!named.image.version().isEmpty())
                m_errors << QStringLiteral("%1: the record names no path").arg(named.label);
            continue;
        }
        if (!named.application) {
            m_report << QStringLiteral("%1: %2, not sent by the update")
                            .arg(named.label, describe(named.image));
            continue;
        }
        ++applications;
        m_report << QStringLiteral("%1: %2").arg(named.label, describe(named.image));
        if (named.image.number() == 0)
            m_warnings << QStringLiteral("%1: version \"%2\" does not read as four numbers")
                              .arg(named.label, named.image.version());

        const Utilities::Tarball::Entry *const entry = tarball.find(named.image.path().toUtf8());
        if (!entry) {
            m_errors << QStringLiteral("%1 \"%2\": not in the package")
                            .arg(named.label, named.image.path());
            continue;
        }
        QByteArray image(entry->data, entry->size);
        const FirmwareImageCipher::Check check = cipher.verifyImage(image);
        if (check != FirmwareImageCipher::Check::Ok) {
            m_errors << QStringLiteral("%1 \"%2\": %3")
                            .arg(named.label, named.image.path(),
                                 FirmwareImageCipher::checkText(check));
        } else if (image.size() > PackageBuilder::maxImageLength) {
            m_errors << QStringLiteral("%1 \"%2\": %3 bytes is more than the device takes")
                            .arg(named.label, named.image.path())
                            .arg(image.size());
        } else {
            m_report << QStringLiteral("  verified: %1 bytes of firmware").arg(image.size());
        }
    }
    if (applications == 0)
        m_errors
            << QStringLiteral("%1: \"version.json\" names no application image").arg(packagePath);
    return m_errors.isEmpty();
}

} // namespace MkPackage
