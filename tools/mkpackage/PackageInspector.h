#pragma once

#include <QString>
#include <QStringList>

namespace MkPackage {

// Checks an update package the way the service tool reads it: the same tar index,
// the same manifest parser and the same image check (digest over the decrypted
// payload, plain length) as the update itself.
class PackageInspector
{
public:
    // Reads and checks the package. True only when the manifest has no fault (a key
    // twice, a version part above 255, one file for both controllers), names at least
    // one application image, and every named application image is in the package and
    // verifies.
    bool inspect(const QString &packagePath);

    // The manifest, one line each: package version, then each image's path and version.
    const QStringList &report() const { return m_report; }
    // One line per failing image, or the reason the package could not be read.
    const QStringList &errors() const { return m_errors; }
    // Things the update copes with but the service department should know.
    const QStringList &warnings() const { return m_warnings; }

private:
    QStringList m_report;
    QStringList m_errors;
    QStringList m_warnings;
};

} // namespace MkPackage
