#include "PackageInstall.h"

#include "application/core/Application.h"
#include "application/core/UpdateVerdict.h"
#include "model/database/ModelDatabase.h"
#include "service/PackageUpdateService.h"
#include "service/UpdateControlService.h"
#include "service/VersionParser.h"
#include "utilities/VersionText.h"

#include <QTextStream>

using Application::K27::UpdateVerdict;
using Service::K27::PackageUpdateService;
using Service::K27::UpdateControlService;

namespace {
// "1:05" for 65 seconds.
QString durationText(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

PackageInstall::PackageInstall(Application::K27::Application &application, QTextStream &out,
                               QTextStream &err)
    : m_application(application)
    , m_out(out)
    , m_err(err)
{
    PackageUpdateService *const package = m_application.packageUpdateService().data();
    connect(package, &PackageUpdateService::packageUpdateVersion, this,
            [this](const QString &version) { m_packageVersion = version; });
    connect(package, &PackageUpdateService::packageUpdateErrorOccured, this,
            [this](const QString &message) {
                // Before the start, open() reports why the package was refused.
                if (!m_running)
                    return;
                endProgressLine();
                m_err << "k27ctl: " << message << Qt::endl;
                emit finished(Failed);
            });
    connect(package, &PackageUpdateService::packageUpdateFinished, this, [this] {
        endProgressLine();
        m_out << "installed package " << m_packageVersion << Qt::endl;
        emit finished(Installed);
    });
    connect(package, &PackageUpdateService::packageUpdateStepChanged, this,
            [this](PackageUpdateService::Step step, quint32 percent) {
                switch (step) {
                case PackageUpdateService::Step::Platform:
                    printProgress(QStringLiteral("Platform"), int(percent));
                    break;
                case PackageUpdateService::Step::Display:
                    printProgress(QStringLiteral("Display"), int(percent));
                    break;
                case PackageUpdateService::Step::WaitingForDevice:
                    printProgress(QStringLiteral("Waiting for the device to restart"), -1);
                    break;
                }
            });
}

PackageInstall::~PackageInstall() = default;

PackageUpdateService *PackageInstall::package() const
{
    return m_application.packageUpdateService().data();
}

bool PackageInstall::open(const QString &path)
{
    package()->openPackage(path);
    if (package()->state() != PackageUpdateService::State::Loaded) {
        const QString reason = package()->error().text();
        m_err << "k27ctl: " << path << ": "
              << (reason.isEmpty() ? QStringLiteral("the package cannot be used") : reason)
              << "; nothing sent" << Qt::endl;
        return false;
    }
    return true;
}

bool PackageInstall::accepts(bool allowDowngrade)
{
    const UpdateVerdict verdict = UpdateVerdict::decide(m_application, allowDowngrade);
    if (verdict.mayInstall())
        return true;
    const UpdateVerdict::Facts &facts = verdict.facts();
    switch (verdict.kind()) {
    case UpdateVerdict::Kind::MotorRuns:
        m_err << "k27ctl: the motor runs (operating mode "
              << m_application.database()->operation().operatingMode().toString()
              << "); stop the motor first; nothing sent" << Qt::endl;
        return false;
    case UpdateVerdict::Kind::NoPlatformImage:
        m_err << "k27ctl: the package has no platform image to compare with the device's "
                 "platform software "
              << Utilities::versionText(facts.deviceVersion);
        break;
    default:
        m_err << "k27ctl: the package's platform software "
              << Utilities::versionText(facts.packageVersion.value_or(0))
              << " is not newer than the device's " << Utilities::versionText(facts.deviceVersion);
        break;
    }
    m_err << "; --allow-downgrade installs it anyway; nothing sent" << Qt::endl;
    return false;
}

void PackageInstall::start()
{
    m_running = true;
    package()->startUpdate();
}

void PackageInstall::printProgress(const QString &step, int percent)
{
    if (step == m_step && percent == m_percent)
        return;
    m_step = step;
    m_percent = percent;
    QString line = step;
    const UpdateControlService &control = *m_application.updateControlService();
    if (percent >= 0) {
        const int done = control.blocksDone();
        const int count = control.blockCount();
        const double seconds = double(control.elapsed()) / 1000.0;
        line += QStringLiteral(": %1 %, block %2 of %3").arg(percent, 3).arg(done).arg(count);
        if (done > 0 && seconds > 0) {
            const double rate = done / seconds;
            line += QStringLiteral(", %1 blocks/s, %2 left")
                        .arg(rate, 0, 'f', 0)
                        .arg(durationText(qint64((count - done) / rate + 0.5)));
        }
    }
    // One line, rewritten in place; the padding wipes a longer line before it.
    m_err << '\r' << line.leftJustified(72) << Qt::flush;
    m_lineOpen = true;
}

void PackageInstall::endProgressLine()
{
    if (m_lineOpen)
        m_err << Qt::endl;
    m_lineOpen = false;
}
