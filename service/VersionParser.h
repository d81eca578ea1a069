#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

namespace Service::K27 {

// The manifest "version.json" of an update package: the package version and one
// image record (archive path, version text, packed number) per controller and
// image kind. Every key is optional; a value of the wrong JSON type counts as
// absent.
//
// A manifest that says something contradictory or cannot be meant is refused as a whole
// (faults()): a key given twice in one object (the JSON reader would keep one of the two
// silently), a version part above 255 (it would spill into the next part of the packed
// number), or one file named for both controllers (one of them would get the other's
// image). The service tool, k27ctl and k27-mkpackage inspect all refuse it through here.
class VersionParser : public QObject
{
    Q_OBJECT

public:
    class Image
    {
    public:
        Image() = default;
        Image(const QString &path, const QString &version);

        const QString &path() const { return m_path; }
        const QString &version() const { return m_version; }
        quint32 number() const { return m_number; }

    private:
        QString m_path;
        QString m_version;
        quint32 m_number = 0;
    };

    explicit VersionParser(const QByteArray &json, QObject *parent = nullptr);
    // Reads the manifest from a file; an unreadable file gives an empty document.
    explicit VersionParser(const QString &fileName, QObject *parent = nullptr);

    // Fills the fields from the document, finds the manifest's faults and announces the
    // package version and the platform application's packed version.
    void parse();

    // Why the manifest must not be used, one text each, after parse(); empty for a manifest
    // that may be used.
    const QStringList &faults() const { return m_faults; }

    const QString &packageVersion() const { return m_packageVersion; }
    const Image &platformBootloader() const { return m_platformBootloader; }
    const Image &platformApplication() const { return m_platformApplication; }
    const Image &displayBootloader() const { return m_displayBootloader; }
    const Image &displayApplication() const { return m_displayApplication; }

    // "V1.2.3.4" or "1.2.3.4" to 0x01020304: every upper-case V is dropped, the
    // first four dot-separated parts are combined by OR into bits 31-24, 23-16,
    // 15-8 and 7-0 (a part above 255 spills into the next field), a part that is
    // not a decimal number counts as 0, and fewer than four parts give 0.
    static quint32 versionNumber(const QString &text);
    // Whether a version text packs without a spill: none of its first four parts is a
    // decimal number above 255. A text of fewer than four parts packs to 0 and passes.
    static bool isVersionInRange(const QString &text);
    // The fault of a manifest text that gives a key twice in one object; empty when it gives
    // none. Asked before any JSON reader runs over the text.
    static QString duplicateKeyFault(const QByteArray &json);

signals:
    void packageUpdateVersion(const QString &version);
    void packageUpdatePlatformVersion(quint32 version);

private:
    static Image parseImage(const QJsonObject &record);
    // One controller's records: its bootloader and application images, each only where the
    // records hold one.
    static void parseImages(const QJsonObject &records, Image *bootloader, Image *application);
    // "version.json gives the key … twice"; empty for no key.
    static QString keyTwiceFault(const QString &key);
    // The faults of the parsed records: versions out of range, one file for both controllers.
    void findRecordFaults();

    // A key the manifest's text gives twice in one object; empty when there is none. Such a
    // text is not read at all: Qt's reader loses the memory of an object it drops for a
    // repeated key.
    const QString m_duplicateKey;
    const QJsonDocument m_document;
    QString m_packageVersion;
    Image m_platformBootloader;
    Image m_platformApplication;
    Image m_displayBootloader;
    Image m_displayApplication;
    QStringList m_faults;
};

} // namespace Service::K27
