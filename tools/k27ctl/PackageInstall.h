#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <optional>

class QTextStream;

namespace Application::K27 {
class Application;
} // namespace Application::K27

namespace Service::K27 {
class PackageUpdateService;
} // namespace Service::K27

// k27ctl update: installs an update package through a device application's package update
// service, with a progress line on standard error; at the end it prints the versions the
// device reports. The update counts as installed only when the device confirms it. The package
// is opened and checked before anything is sent; the window's update verdict decides whether it
// is installed: never while the motor runs; a package that is newer than the device's platform
// software, any package on a device whose last update did not finish, and otherwise only when a
// downgrade is allowed (also the only way to install a package without a platform image, which
// brings nothing to compare).
class PackageInstall : public QObject
{
    Q_OBJECT

public:
    enum Result { Installed, Refused, Failed };

    PackageInstall(Application::K27::Application &application, QTextStream &out, QTextStream &err);
    ~PackageInstall() override;

    // Opens and checks the package; false (the reason on standard error) when it cannot be
    // used. Sends nothing.
    bool open(const QString &path);
    // The update verdict for the opened package on the device as it reported itself (its
    // platform software, its operating mode, a controller in its bootloader); false with the
    // reason on standard error. allowDowngrade confirms a package that is not newer.
    bool accepts(bool allowDowngrade);
    // The verdict for a device whose platform runs its bootloader and so reports no version:
    // only a package with a platform image can complete it. False with the reason on standard
    // error.
    bool acceptsRecovery();
    // Runs the update; finished() follows.
    void start();

signals:
    void finished(PackageInstall::Result result);

private:
    Service::K27::PackageUpdateService *package() const;
    void printProgress(const QString &step, int percent, int secondsLeft);
    // "platform V2.0.0.0, display V2.0.0.1": what the device reports.
    QString reportedVersions() const;
    void endProgressLine();

    Application::K27::Application &m_application;
    QTextStream &m_out;
    QTextStream &m_err;
    QString m_packageVersion;
    QString m_step;
    int m_percent = -1;
    int m_secondsLeft = -1;
    bool m_lineOpen = false;
    bool m_running = false;
};
