#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace TestSupport {

// Update packages for the tests, made the way the service department makes them: plain images
// encrypted into a ustar archive by k27-mkpackage, and packages it refuses to make (a missing
// manifest, a manifest naming a missing image, a tampered image) from its output with tar or by
// changing bytes.
class UpdatePackages
{
public:
    // folder: where images and packages are written; tool: the path of k27-mkpackage.
    UpdatePackages(const QString &folder, const QString &tool);

    // A plain image of size bytes, the same bytes for the same size and seed.
    static QByteArray image(int size, int seed = 0);

    // A package with a platform and/or a display application image (an empty image leaves
    // that controller out). Returns the package's path, or an empty string (with a warning
    // that fails the test) when k27-mkpackage refused.
    QString build(const QString &name, const QByteArray &platform, const QString &platformVersion,
                  const QByteArray &display = QByteArray(),
                  const QString &displayVersion = QString(),
                  const QString &packageVersion = QStringLiteral("V2.0.0.0"));
    // The same package with one byte of an image's ciphertext changed.
    QString tamper(const QString &package, const QString &name);
    // The images of package ("platform.crypt", "display.crypt") under another manifest: for
    // manifests k27-mkpackage never writes.
    QString withManifest(const QString &package, const QString &name, const QByteArray &manifest);
    // An archive of the given files (name, contents), made with tar.
    QString archive(const QString &name, const QList<QPair<QString, QByteArray>> &files);
    QString folder() const { return m_folder; }

private:
    QString m_folder;
    QString m_tool;
};

} // namespace TestSupport
