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
using Service::K27::UpdateStep;

namespace {
// "1:05" for 65 seconds.
QString durationText(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString waitText(UpdateStep::Wait wait)
{
    switch (wait) {
    case UpdateStep::Wait::Bootloader:
        return QStringLiteral("Waiting for the bootloader to start");
    case UpdateStep::Wait::DeviceRestart:
        return QStringLiteral("Waiting for the device to restart");
    case UpdateStep::Wait::DisplayFinish:
        return QStringLiteral("Waiting for the display to finish");
    case UpdateStep::Wait::Confirmation:
        return QStringLiteral("Asking the device what it runs now");
    case UpdateStep::Wait::None:
        break;
    }
    return QString();
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
        m_out << "installed package " << m_packageVersion << ": " << reportedVersions() << Qt::endl;
        emit finished(Installed);
    });
    connect(package, &PackageUpdateService::packageUpdateStepChanged, this,
            [this](const UpdateStep &step) {
                const QString number = QStringLiteral("[%1/%2] ").arg(step.number).arg(step.count);
                switch (step.kind) {
                case UpdateStep::Kind::PlatformTransfer:
                    printProgress(number + QStringLiteral("Platform"), step.percent, -1);
                    break;
                case UpdateStep::Kind::DisplayTransfer:
                    printProgress(number + QStringLiteral("Display"), step.percent, -1);
                    break;
                case UpdateStep::Kind::Waiting:
                    printProgress(number + waitText(step.wait), -1, step.secondsLeft);
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
    // A display left in its bootloader by a transfer that broke off: the package that was
    // being installed completes it, though the platform has it already (its answer may reach
    // the package service before the terminal's start-up question is answered).
    if (verdict.kind() != UpdateVerdict::Kind::MotorRuns
        && package()->controllerName(1) == "Bootloader" && package()->updates(1)) {
        m_err << "k27ctl: the display runs its bootloader: its last update did not finish; the "
                 "package completes it"
              << Qt::endl;
        return true;
    }
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

bool PackageInstall::acceptsRecovery()
{
    if (package()->updates(0)) {
        m_err << "k27ctl: the platform runs its bootloader: its last update did not finish; the "
                 "package completes it"
              << Qt::endl;
        return true;
    }
    m_err << "k27ctl: the platform runs its bootloader: its last update did not finish, and the "
             "package has no platform image to complete it; nothing sent"
          << Qt::endl;
    return false;
}

QString PackageInstall::reportedVersions() const
{
    QStringList parts;
    for (const quint8 node : {quint8(0), quint8(1)}) {
        const QString name = node == 0 ? QStringLiteral("platform") : QStringLiteral("display");
        const std::optional<quint32> version = package()->reportedVersion(node);
        if (version)
            parts.append(name + QLatin1Char(' ') + Utilities::versionText(*version));
    }
    return parts.join(QStringLiteral(", "));
}

void PackageInstall::start()
{
    m_running = true;
    package()->startUpdate();
}

void PackageInstall::printProgress(const QString &step, int percent, int secondsLeft)
{
    if (step == m_step && percent == m_percent && secondsLeft == m_secondsLeft)
        return;
    m_step = step;
    m_percent = percent;
    m_secondsLeft = secondsLeft;
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
    } else if (secondsLeft >= 0) {
        line += QStringLiteral(" (at most %1 left)").arg(durationText(secondsLeft));
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
