#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace MkPackage {

// Builds update packages: encrypts plain firmware images with the build's image
// key (random IV, zero fill, digest, plain length) and writes a ustar archive of
// "version.json" followed by the images. Nothing is written unless everything
// checks out, and the output appears complete or not at all.
class PackageBuilder
{
public:
    // An image the device can take: its block count is a 16-bit number of
    // 512-byte blocks.
    static constexpr qint64 maxImageLength = 65535LL * 512;

    struct Image
    {
        QString sourcePath; // plain image on disk
        QString version; // "V1.2.3.4" or "1.2.3.4"
        QString archiveName; // name inside the package; empty for the source's name + ".crypt"
    };

    void setPackageVersion(const QString &version) { m_packageVersion = version; }
    void setPlatformApplication(const Image &image) { m_platform = image; }
    void setDisplayApplication(const Image &image) { m_display = image; }

    // Writes the package; false with the reasons in errors().
    bool build(const QString &outputPath);

    // Encrypts one plain image file into an encrypted image file.
    bool encryptFile(const QString &inputPath, const QString &outputPath);

    const QStringList &errors() const { return m_errors; }

    // A version text of four decimal numbers 0-255, optionally after an upper-case V.
    static bool isVersionText(const QString &text);
    // "platform_V1.2.bin" becomes "platform_V1.2.crypt".
    static QString defaultArchiveName(const QString &sourcePath);

private:
    QByteArray readPlainImage(const QString &path);
    bool writeFile(const QString &path, const QByteArray &contents);

    QString m_packageVersion;
    Image m_platform;
    Image m_display;
    QStringList m_errors;
};

} // namespace MkPackage
