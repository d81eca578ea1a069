#include "ControlSession.h"

#include "PortDiagnosis.h"
#include "ValueAccess.h"
#include "application/core/Application.h"
#include "application/core/Config.h"
#include "application/core/ConfigurationRules.h"
#include "application/core/ControllerStates.h"
#include "application/core/MeasurementRecorder.h"
#include "application/core/ReportedSettings.h"
#include "application/core/ServiceReport.h"
#include "application/core/ServiceReportWriter.h"
#include "application/core/SettingsBeforeUpdate.h"
#include "application/core/SettingsComparison.h"
#include "application/core/SettingsImport.h"
#include "application/core/SettingsTransfer.h"
#include "application/core/UserLogin.h"
#include "component/SerialPort.h"
#include "component/SerialPortManager.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "component/ZantLinkUSBComponent.h"
#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelActionID.h"
#include "model/interfaces/ModelValueID.h"
#include "model/observer/ModelValueObserver.h"
#include "service/PackageUpdateService.h"
#include "service/UpdateControlService.h"
#include "service/ZantLinkTerminalService.h"
#include "utilities/LittleEndian.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTextStream>
#include <algorithm>

using Application::K27::SerialPortDescription;
using Application::K27::SerialPortManager;
using Component::Interfaces::ZantLinkPacket;
using Model::Interfaces::ModelValueIntf;

namespace {
// The values the update verdict is decided from: the platform software and the operating mode.
constexpr Model::Interfaces::ModelValueID updateVerdictValues[]
    = {Model::Interfaces::ModelValueID::PlatformVersion,
       Model::Interfaces::ModelValueID::OperatingMode};

// What is asked for again after an update: the settings and the maxima their ranges depend on.
QList<quint16> settingsAfterUpdate()
{
    QList<quint16> identifiers
        = {Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::TripClassMax),
           Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::NominalCurrentMax)};
    for (const Application::K27::Settings::Field field : Application::K27::Settings::fieldOrder())
        identifiers.append(
            Model::Interfaces::toNumber(Application::K27::SettingsTransfer::valueId(field)));
    return identifiers;
}
} // namespace

ControlSession::ControlSession(const QString &portPath, int timeoutMs, QTextStream &out,
                               QTextStream &err)
    : m_portPath(portPath)
    , m_timeoutMs(timeoutMs)
    , m_out(out)
    , m_err(err)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ControlSession::handleTimeout);
    m_arrivals.setCallback([this](quint16 identifier) { handleArrival(identifier); });
}

ControlSession::~ControlSession()
{
    m_measuring = false;
    if (m_application != nullptr)
        m_application->valueObserver()->detach(&m_arrivals);
    m_import.reset();
    m_reportedSettings.reset();
    m_application.reset();
    m_manager.reset();
}

bool ControlSession::open()
{
    if (!QFileInfo::exists(m_portPath)) {
        m_err << "k27ctl: " << PortDiagnosis::explain(m_portPath) << Qt::endl;
        return false;
    }
    // The port is presented to the manager as a device port, whatever the system says of it.
    // The manager takes only names with "tty" or "COM" in them; any other path the user names
    // (/dev/pts/3, /dev/serial/by-id/...) is presented through a link of such a name. A
    // relative path is made absolute first: the serial-port layer reads a name without a
    // leading slash as one below /dev.
    const QString absolutePath = QFileInfo(m_portPath).absoluteFilePath();
    QString portPath = absolutePath;
    if (!SerialPortManager::isDevicePort(
            SerialPortDescription {portPath, SerialPortManager::deviceVendorIdentifier,
                                   SerialPortManager::deviceProductIdentifier})) {
        m_linkFolder = std::make_unique<QTemporaryDir>();
        portPath = m_linkFolder->filePath(QStringLiteral("ttyK27CTL"));
        if (!m_linkFolder->isValid() || !QFile::link(absolutePath, portPath)) {
            m_err << "k27ctl: cannot present " << m_portPath
                  << " to the port manager: no temporary folder for a link" << Qt::endl;
            return false;
        }
    }
    // The port is listed while the user's path leads somewhere: a device that goes away takes
    // its node (or the simulator its link) with it, and the manager reports the port closed.
    m_manager = QSharedPointer<SerialPortManager>::create([portPath, absolutePath] {
        if (!QFileInfo::exists(absolutePath))
            return QList<SerialPortDescription>();
        return QList<SerialPortDescription> {{portPath, SerialPortManager::deviceVendorIdentifier,
                                              SerialPortManager::deviceProductIdentifier}};
    });
    m_manager->handleTimeout();
    const QSharedPointer<Application::K27::SerialPort> port = m_manager->serialPort(portPath);
    if (port == nullptr || !port->isOpen()) {
        m_err << "k27ctl: " << PortDiagnosis::explain(m_portPath) << Qt::endl;
        return false;
    }
    m_application = std::make_unique<Application::K27::Application>(
        QSharedPointer<UserLogin>::create(), QSharedPointer<Application::K27::Config>(), m_manager,
        portPath);
    m_reportedSettings = std::make_unique<Application::K27::ReportedSettings>(
        m_application->valueObserver(), m_application->serialPort());
    m_application->valueObserver()->attach(&m_arrivals);
    const Service::K27::ZantLinkTerminalService *terminal = m_application->terminalService().data();
    connect(terminal, &Service::K27::ZantLinkTerminalService::modelValueDropped, this,
            &ControlSession::handleMalformedValue);
    connect(terminal, &Service::K27::ZantLinkTerminalService::terminalPlatformReady, this,
            &ControlSession::handlePlatformName);
    // Every "GetModelValue" that leaves, whoever sent it, is a value waited for.
    connect(port.data(), &Application::K27::SerialPort::dataTransmitted, this,
            [this](const QByteArray &data) {
                const ZantLinkPacket packet(data);
                if (packet.getCommand() != Component::K27::ZantLinkCommandCode::GetModelValue)
                    return;
                if (const ZantLinkPacket::Argument *identifier = packet.argumentWith(0, 2))
                    m_requested.insert(Utilities::LittleEndian::read<quint16>(identifier->data));
            });
    return true;
}

void ControlSession::runApplication()
{
    m_timer.start(m_timeoutMs);
    m_application->run();
}

ModelValueIntf *ControlSession::findValue(const QString &nameOrNumber)
{
    bool isNumber = false;
    const uint number = nameOrNumber.toUInt(&isNumber, 10);
    for (quint16 identifier = 0;
         identifier < Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::MaxCount);
         ++identifier) {
        const QString name = QString::fromLatin1(Model::Interfaces::modelValueName(identifier));
        if ((isNumber && number == identifier)
            || (!isNumber && name.compare(nameOrNumber, Qt::CaseInsensitive) == 0))
            return m_application->valueObserver()->findValue(identifier);
    }
    return nullptr;
}

void ControlSession::ensureRequested(ModelValueIntf *value)
{
    if (!m_requested.contains(value->getId()))
        value->request();
}

void ControlSession::dump()
{
    m_waiting = Waiting::Dump;
    runApplication();
    handleArrival(0xFFFF); // every value may have answered already
}

bool ControlSession::get(const QString &name)
{
    m_value = findValue(name);
    if (m_value == nullptr) {
        m_err << "k27ctl: no model value named " << name << Qt::endl;
        return false;
    }
    m_waiting = Waiting::Get;
    runApplication();
    ensureRequested(m_value);
    return true;
}

bool ControlSession::set(const QString &name, const QString &text)
{
    m_value = findValue(name);
    if (m_value == nullptr) {
        m_err << "k27ctl: no model value named " << name << Qt::endl;
        return false;
    }
    // Checked before anything is sent: a refused content leaves the device untouched.
    QString error;
    if (!ValueAccess::parse(*m_value, text, false, &error)) {
        m_err << "k27ctl: " << error << "; nothing sent" << Qt::endl;
        return false;
    }
    m_text = text;
    // The device's answer to the model read comes first; the report of the new content is
    // the one after it.
    m_waiting = Waiting::SetInitial;
    runApplication();
    ensureRequested(m_value);
    return true;
}

bool ControlSession::fire(const QString &action)
{
    bool isNumber = false;
    const uint number = action.toUInt(&isNumber, 10);
    int identifier = -1;
    for (quint16 candidate = 0;
         candidate < Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::MaxCount);
         ++candidate) {
        const QString name = QString::fromLatin1(Model::Interfaces::modelActionName(candidate));
        if ((isNumber && number == candidate)
            || (!isNumber && name.compare(action, Qt::CaseInsensitive) == 0))
            identifier = candidate;
    }
    if (identifier < 0) {
        m_err << "k27ctl: no model action named " << action
              << " (actions are 0 to 12, for example MotorStop)" << Qt::endl;
        return false;
    }
    m_application->linkComponent()->sendFireModelAction(static_cast<quint16>(identifier));
    finish(Success);
    return true;
}

bool ControlSession::settingsExport(const QString &path)
{
    m_settingsPath = path;
    m_waiting = Waiting::SettingsExport;
    runApplication();
    return true;
}

bool ControlSession::report(const QString &path)
{
    m_reportPath = path;
    m_waiting = Waiting::Report;
    connect(m_application->terminalService().data(),
            &Service::K27::ZantLinkTerminalService::softwareVersionReported, this,
            [this] { handleArrival(0xFFFF); });
    runApplication();
    // The display's software is known only from its answer to this question.
    m_application->linkComponent()->send(Component::K27::ZantLinkCommandCode::GetSWVersion,
                                         ZantLinkPacket::Host,
                                         Application::K27::ControllerStates::Display);
    return true;
}

bool ControlSession::reportComplete() const
{
    const bool modelRead = std::all_of(m_requested.cbegin(), m_requested.cend(),
                                       [this](quint16 id) { return m_arrivals.count(id) > 0; });
    return modelRead
        && m_application->packageUpdateService()
               ->reportedVersion(Application::K27::ControllerStates::Display)
               .has_value();
}

void ControlSession::writeReport()
{
    Application::K27::ServiceReport::Input input;
    input.time = QDateTime::currentDateTime();
    input.userLevel = Application::K27::ServiceReport::commandLineLevel();
    input.reported
        = [this](Model::Interfaces::ModelValueID id) { return m_reportedSettings->arrived(id); };
    input.displayVersion = m_application->packageUpdateService()->reportedVersion(
        Application::K27::ControllerStates::Display);
    QString error;
    if (!Application::K27::ServiceReportWriter::write(
            Application::K27::ServiceReport::html(*m_application->database(), input), m_reportPath,
            &error)) {
        fail(QStringLiteral("report not written to %1: %2").arg(m_reportPath, error), BadArguments);
        return;
    }
    m_out << "Report written to " << m_reportPath << Qt::endl;
    finish(Success);
}

bool ControlSession::settingsImport(const QString &path)
{
    // The file's own faults are found before the device is even greeted.
    if (!m_settings.load(path)) {
        m_err << "k27ctl: settings not imported from " << path << ": " << m_settings.errorString()
              << "; nothing sent" << Qt::endl;
        return false;
    }
    m_settingsPath = path;
    m_waiting = Waiting::SettingsImport;
    runApplication();
    return true;
}

bool ControlSession::settingsDiff(const QString &path)
{
    if (!m_settings.load(path)) {
        m_err << "k27ctl: settings not compared with " << path << ": " << m_settings.errorString()
              << Qt::endl;
        return false;
    }
    m_settingsPath = path;
    m_waiting = Waiting::SettingsDiff;
    runApplication();
    return true;
}

void ControlSession::diffSettings()
{
    Application::K27::Settings device;
    Application::K27::SettingsTransfer::fill(device, m_application->database()->settings());
    const Application::K27::SettingsComparison comparison(device, m_settings);
    for (const QString &line : comparison.keyLines())
        m_out << line << Qt::endl;
    finish(comparison.matches() ? Success : SettingsDiffer);
}

bool ControlSession::rangeKnown() const
{
    QList<Model::Interfaces::ModelValueID> needed
        = Application::K27::ConfigurationRules::rangeDependsOn(
            Model::Interfaces::ModelValueID(m_value->getId()));
    needed.append(Model::Interfaces::ModelValueID(m_value->getId()));
    return std::all_of(needed.cbegin(), needed.cend(), [this](Model::Interfaces::ModelValueID id) {
        return m_arrivals.count(Model::Interfaces::toNumber(id)) > 0;
    });
}

void ControlSession::exportSettings()
{
    Application::K27::SettingsTransfer::fill(m_settings, m_application->database()->settings());
    if (!m_settings.save(m_settingsPath)) {
        fail(QStringLiteral("settings not exported to %1: %2")
                 .arg(m_settingsPath, m_settings.errorString()),
             BadArguments);
        return;
    }
    m_out << "Settings exported to " << m_settingsPath << Qt::endl;
    finish(Success);
}

void ControlSession::importSettings()
{
    Model::Database::ModelSettings &model = m_application->database()->settings();
    QString reason;
    if (!Application::K27::SettingsTransfer::check(m_settings, model, &reason)) {
        fail(QStringLiteral("settings not imported from %1: %2; nothing sent")
                 .arg(m_settingsPath, reason),
             BadArguments);
        return;
    }
    m_waiting = Waiting::SettingsReport;
    // The import keeps its own time: the session's is for the model read.
    m_timer.stop();
    m_import = std::make_unique<Application::K27::SettingsImport>(m_application->valueObserver(),
                                                                  model, m_timeoutMs);
    connect(m_import.get(), &Application::K27::SettingsImport::finished, this,
            &ControlSession::finishImport);
    m_import->start(m_settings);
}

void ControlSession::finishImport()
{
    using Outcome = Application::K27::SettingsImport::Outcome;
    if (m_waiting != Waiting::SettingsReport)
        return;
    const Application::K27::SettingsImport &import = *m_import;
    const auto keys = [](const QList<Application::K27::Settings::Field> &fields) {
        QStringList names;
        for (const auto field : fields)
            names.append(Application::K27::Settings::keyName(field));
        return names.join(QStringLiteral(", "));
    };
    if (import.outcome() == Outcome::Confirmed)
        m_out << (m_restoring ? "Settings restored from " : "Settings imported from ")
              << m_settingsPath << ": " << import.written()
              << (import.written() == 1 ? " value confirmed by the device"
                                        : " values confirmed by the device")
              << Qt::endl;
    for (const QString &line : import.lines())
        m_out << line << Qt::endl;
    switch (import.outcome()) {
    case Outcome::Confirmed:
        finish(Success);
        return;
    case Outcome::Disagreed:
        fail(QStringLiteral("the device kept other contents for %1").arg(keys(import.disagreed())),
             DeviceDisagreed);
        return;
    default:
        fail(QStringLiteral("settings not %1 from %2: the device did not confirm %3 of %4 "
                            "within %5 s: %6")
                 .arg(m_restoring ? QStringLiteral("restored") : QStringLiteral("imported"),
                      m_settingsPath)
                 .arg(import.unconfirmed().size())
                 .arg(import.written())
                 .arg(m_timeoutMs / 1000.0)
                 .arg(keys(import.unconfirmed())),
             NotConfirmed);
        return;
    }
}

void ControlSession::handleMalformedValue(quint16 identifier, int byteCount)
{
    const bool waitedFor = m_value != nullptr && identifier == m_value->getId()
        && (m_waiting == Waiting::Get || m_waiting == Waiting::SetInitial
            || m_waiting == Waiting::SetReport);
    if (waitedFor) {
        fail(QStringLiteral("no valid answer for %1: the device sent %2 content byte(s), which "
                            "is no content of its type")
                 .arg(QString::fromLatin1(Model::Interfaces::modelValueName(identifier)))
                 .arg(byteCount),
             InvalidAnswer);
        return;
    }
    if (m_waiting == Waiting::Dump) {
        m_invalid.insert(identifier, byteCount);
        handleArrival(identifier);
    }
}

void ControlSession::handlePlatformName()
{
    if (m_application->terminalService()->platformName() != "Bootloader")
        return;
    const QString inBootloader
        = QStringLiteral("the platform runs its bootloader: its last update did not finish; "
                         "k27ctl update PACKAGE completes it");
    switch (m_waiting) {
    case Waiting::SettingsExport:
        fail(QStringLiteral("settings not exported to %1: the device's platform is in its "
                            "bootloader and reports no settings; no file written")
                 .arg(m_settingsPath),
             PlatformInBootloader);
        return;
    case Waiting::SettingsImport:
        fail(QStringLiteral("settings not imported from %1: the device's platform is in its "
                            "bootloader and reports no settings; nothing sent")
                 .arg(m_settingsPath),
             PlatformInBootloader);
        return;
    case Waiting::SettingsDiff:
        fail(QStringLiteral("settings not compared with %1: the device's platform is in its "
                            "bootloader and reports no settings")
                 .arg(m_settingsPath),
             PlatformInBootloader);
        return;
    case Waiting::Report:
        fail(QStringLiteral("report not written to %1: the device's platform is in its "
                            "bootloader and reports no model; no file written")
                 .arg(m_reportPath),
             PlatformInBootloader);
        return;
    case Waiting::Dump:
    case Waiting::Get:
        fail(inBootloader, PlatformInBootloader);
        return;
    case Waiting::SetInitial:
        fail(inBootloader + QStringLiteral("; nothing sent"), PlatformInBootloader);
        return;
    case Waiting::UpdateVersion:
        // No version to compare: the device has no platform software running.
        if (!m_install->acceptsRecovery()) {
            finish(PackageRefused);
            return;
        }
        // Nor any settings to save.
        m_err << "The platform runs its bootloader and holds no settings: none saved before "
                 "the update"
              << Qt::endl;
        m_timer.stop();
        m_waiting = Waiting::Update;
        m_install->start();
        return;
    default:
        return;
    }
}

void ControlSession::monitor()
{
    Service::K27::ZantLinkTerminalService *terminal = m_application->terminalService().data();
    connect(terminal, &Service::K27::ZantLinkTerminalService::commandTransmitted, this,
            [this](const QByteArray &line) {
                m_out << "Send: " << line << Qt::endl;
                endIfOutputClosed();
            });
    connect(terminal, &Service::K27::ZantLinkTerminalService::commandReceived, this,
            [this](const QByteArray &line) {
                m_out << "Receive: " << line << Qt::endl;
                endIfOutputClosed();
            });
    // The manager polls the port every second and opens it again when the device is back.
    connect(m_manager.data(), &SerialPortManager::portClosed, this, [this] {
        m_err << "k27ctl: the device has gone away from " << m_portPath << Qt::endl;
    });
    connect(m_manager.data(), &SerialPortManager::portOpened, this,
            [this] { m_err << "k27ctl: the device is back on " << m_portPath << Qt::endl; });
    m_application->run();
}

bool ControlSession::measure(const QString &quantity, double seconds)
{
    using Model::Interfaces::ModelActionID;
    using Kind = Application::K27::MeasurementSample::Kind;
    using Service::K27::ZantLinkTerminalService;
    ModelActionID start = ModelActionID::StartVoltageMeasurement;
    if (quantity.compare(QLatin1String("current"), Qt::CaseInsensitive) == 0) {
        start = ModelActionID::StartCurrentMeasurement;
    } else if (quantity.compare(QLatin1String("power"), Qt::CaseInsensitive) == 0) {
        start = ModelActionID::StartPowerMeasurement;
    } else if (quantity.compare(QLatin1String("voltage"), Qt::CaseInsensitive) != 0) {
        m_err << "k27ctl: measure takes voltage, current or power, not " << quantity << Qt::endl;
        return false;
    }

    const ZantLinkTerminalService *terminal = m_application->terminalService().data();
    switch (start) {
    case ModelActionID::StartVoltageMeasurement:
        connect(terminal, &ZantLinkTerminalService::measurementVoltageModelValue, this,
                [this](quint8 phase) { printMeasurement(int(Kind::Voltage), phase); });
        break;
    case ModelActionID::StartCurrentMeasurement:
        connect(terminal, &ZantLinkTerminalService::measurementCurrentModelValue, this,
                [this](quint8 phase) { printMeasurement(int(Kind::Current), phase); });
        break;
    default:
        connect(terminal, &ZantLinkTerminalService::measurementActivePowerModelValue, this,
                [this] { printMeasurement(int(Kind::ActivePower), -1); });
        connect(terminal, &ZantLinkTerminalService::measurementReactivePowerModelValue, this,
                [this] { printMeasurement(int(Kind::ReactivePower), -1); });
        connect(terminal, &ZantLinkTerminalService::measurementApparentPowerModelValue, this,
                [this] { printMeasurement(int(Kind::ApparentPower), -1); });
        break;
    }
    // The port closes itself when the line breaks; the manager's poll closes it when the
    // device's node has gone.
    connect(m_application->serialPort().data(), &Application::K27::SerialPort::openStateChanged,
            this, &ControlSession::handleMeasuredPortState);
    connect(m_manager.data(), &SerialPortManager::portClosed, this,
            &ControlSession::handleMeasuredPortState);

    m_out << Application::K27::MeasurementRecorder::header();
    m_out.flush();
    // The link and the terminal service, without the model read: every value that arrives
    // from here on is a measurement the device streams.
    m_application->start();
    m_measuring = true;
    m_measurementClock.start();
    m_application->linkComponent()->sendFireModelAction(Model::Interfaces::toNumber(start));
    if (seconds > 0) {
        disconnect(&m_timer, &QTimer::timeout, this, &ControlSession::handleTimeout);
        connect(&m_timer, &QTimer::timeout, this, &ControlSession::stopMeasuring);
        m_timer.start(qRound(seconds * 1000));
    }
    return true;
}

void ControlSession::stopMeasuring()
{
    if (!m_measuring)
        return;
    m_measuring = false;
    m_application->linkComponent()->sendFireModelAction(
        Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::StopMeasurement));
    m_out.flush();
    finish(Success);
}

void ControlSession::printMeasurement(int kind, int phase)
{
    if (!m_measuring || (phase > 2))
        return;
    const auto sample = Application::K27::MeasurementSample::fromModel(
        *m_application->database(), Application::K27::MeasurementSample::Kind(kind), phase);
    m_out << Application::K27::MeasurementRecorder::formatRow(
        m_measurementClock.elapsed(), QDateTime::currentDateTimeUtc(), sample);
    m_out.flush();
    endIfOutputClosed();
}

void ControlSession::endIfOutputClosed()
{
    // A reader that has seen enough (`| head -3`) closes the pipe: the next write fails, and
    // the work ends as if it had run its course.
    if (m_out.status() != QTextStream::WriteFailed || m_outputClosed)
        return;
    m_outputClosed = true;
    if (m_measuring)
        stopMeasuring();
    else
        finish(Success);
}

void ControlSession::handleMeasuredPortState()
{
    // The port also closes while the session itself goes (the application is then already
    // let go of); that is no device going away.
    if (!m_measuring || m_application == nullptr)
        return;
    const QSharedPointer<Application::K27::SerialPort> &port = m_application->serialPort();
    if (port && port->isOpen())
        return;
    m_measuring = false;
    m_out.flush();
    fail(QStringLiteral("the device has gone away from %1; the measurement ended").arg(m_portPath),
         DeviceGone);
}

bool ControlSession::update(const QString &packagePath, bool allowDowngrade,
                            const QList<int> &waits, const QString &settingsFolder,
                            bool restoreSettings)
{
    m_settingsFolder = settingsFolder;
    m_restoreSettings = restoreSettings;
    m_install = std::make_unique<PackageInstall>(*m_application, m_out, m_err);
    connect(m_install.get(), &PackageInstall::finished, this,
            &ControlSession::handlePackageInstalled);
    if (!m_install->open(packagePath))
        return false;
    Service::K27::PackageUpdateService::Timing timing
        = m_application->packageUpdateService()->timing();
    if (waits.size() >= 4) {
        timing.platformBootloaderMs = waits.at(0);
        timing.displayBootloaderMs = waits.at(1);
        timing.deviceSettleMs = waits.at(2);
        timing.displayFinishMs = waits.at(3);
    }
    if (waits.size() == 6)
        m_application->updateControlService()->setStallTimeouts(waits.at(4), waits.at(5));
    // The updated controllers answer within the time answers are waited for.
    timing.confirmTimeoutMs = m_timeoutMs;
    timing.pollMs = qBound(100, m_timeoutMs / 3, 1000);
    m_application->packageUpdateService()->setTiming(timing);
    // Every block request is answered, as the device window does.
    connect(m_application->terminalService().data(),
            &Service::K27::ZantLinkTerminalService::requestMemblock,
            m_application->updateControlService().data(),
            &Service::K27::UpdateControlService::sendBlock);
    m_allowDowngrade = allowDowngrade;
    m_waiting = Waiting::UpdateVersion;
    runApplication();
    // The verdict needs the platform software and the operating mode (no update while the
    // motor runs).
    for (const Model::Interfaces::ModelValueID id : updateVerdictValues)
        ensureRequested(m_application->valueObserver()->findValue(Model::Interfaces::toNumber(id)));
    return true;
}

bool ControlSession::settingsToSaveKnown() const
{
    return m_reportedSettings->complete()
        && m_arrivals.count(
               Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::SerialNumber))
        > 0;
}

void ControlSession::saveSettingsAndStartUpdate()
{
    const ModelValueIntf *serial = m_application->valueObserver()->findValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::SerialNumber));
    Application::K27::SettingsBeforeUpdate saved;
    if (!saved.save(m_settingsFolder, quint32(ValueAccess::number(*serial)),
                    m_application->database()->settings())) {
        fail(QStringLiteral("the device's settings could not be saved to %1 before the update: "
                            "%2; nothing sent")
                 .arg(saved.path(), saved.errorString()),
             SettingsNotSaved);
        return;
    }
    m_savedSettingsPath = saved.path();
    m_err << "Settings saved to " << m_savedSettingsPath << Qt::endl;
    // The update has its own time-outs.
    m_timer.stop();
    m_waiting = Waiting::Update;
    m_install->start();
}

void ControlSession::handlePackageInstalled(PackageInstall::Result result)
{
    if (m_waiting != Waiting::Update)
        return;
    if (result != PackageInstall::Installed) {
        if (!m_savedSettingsPath.isEmpty())
            m_err << "The settings saved before the update are in " << m_savedSettingsPath
                  << Qt::endl;
        finish(UpdateFailed);
        return;
    }
    if (m_savedSettingsPath.isEmpty()) {
        finish(Success);
        return;
    }
    requestSettingsAfterUpdate();
}

void ControlSession::requestSettingsAfterUpdate()
{
    // The device has restarted into its new software: only what it reports from now on is
    // its settings.
    m_waiting = Waiting::UpdateCompare;
    m_arrivalsAfterUpdate.clear();
    for (const quint16 identifier : settingsAfterUpdate())
        m_arrivalsAfterUpdate.insert(identifier, m_arrivals.count(identifier));
    m_timer.start(m_timeoutMs);
    for (const quint16 identifier : settingsAfterUpdate())
        m_application->valueObserver()->findValue(identifier)->request();
}

bool ControlSession::settingsReportedAfterUpdate() const
{
    for (auto it = m_arrivalsAfterUpdate.cbegin(); it != m_arrivalsAfterUpdate.cend(); ++it) {
        if (m_arrivals.count(it.key()) <= it.value())
            return false;
    }
    return true;
}

void ControlSession::compareSettingsAfterUpdate()
{
    m_timer.stop();
    if (!m_settings.load(m_savedSettingsPath)) {
        fail(QStringLiteral("the settings saved before the update cannot be read from %1: %2")
                 .arg(m_savedSettingsPath, m_settings.errorString()),
             BadArguments);
        return;
    }
    Model::Database::ModelSettings &model = m_application->database()->settings();
    Application::K27::Settings device;
    Application::K27::SettingsTransfer::fill(device, model);
    const Application::K27::SettingsComparison comparison(device, m_settings);
    if (comparison.matches()) {
        m_err << "Settings as before the update" << Qt::endl;
        finish(Success);
        return;
    }
    m_out << "Settings changed by the update (device, file " << m_savedSettingsPath
          << "):" << Qt::endl;
    for (const QString &line : comparison.keyLines())
        m_out << line << Qt::endl;
    if (!m_restoreSettings) {
        fail(QStringLiteral("the device's settings differ from those saved before the update; "
                            "--restore-settings writes them back, or k27ctl settings import %1")
                 .arg(m_savedSettingsPath),
             SettingsDiffer);
        return;
    }
    // Only the settings that differ are written, each confirmed by the device.
    m_settings = comparison.chosen(comparison.differing());
    QString reason;
    if (!Application::K27::SettingsTransfer::check(m_settings, model, &reason)) {
        fail(QStringLiteral("settings not restored from %1: %2; nothing sent")
                 .arg(m_savedSettingsPath, reason),
             BadArguments);
        return;
    }
    m_settingsPath = m_savedSettingsPath;
    m_restoring = true;
    m_waiting = Waiting::SettingsReport;
    m_import = std::make_unique<Application::K27::SettingsImport>(m_application->valueObserver(),
                                                                  model, m_timeoutMs);
    connect(m_import.get(), &Application::K27::SettingsImport::finished, this,
            &ControlSession::finishImport);
    m_import->start(m_settings);
}

void ControlSession::handleArrival(quint16 identifier)
{
    switch (m_waiting) {
    case Waiting::UpdateVersion:
        if (std::all_of(std::cbegin(updateVerdictValues), std::cend(updateVerdictValues),
                        [this](Model::Interfaces::ModelValueID id) {
                            return m_arrivals.count(Model::Interfaces::toNumber(id)) > 0;
                        })) {
            if (!m_install->accepts(m_allowDowngrade)) {
                finish(PackageRefused);
                return;
            }
            // The settings are saved before the first command of the update.
            m_waiting = Waiting::UpdateSettings;
            if (settingsToSaveKnown())
                saveSettingsAndStartUpdate();
        }
        break;
    case Waiting::UpdateSettings:
        if (settingsToSaveKnown())
            saveSettingsAndStartUpdate();
        break;
    case Waiting::Update:
        break;
    case Waiting::UpdateCompare:
        if (settingsReportedAfterUpdate())
            compareSettingsAfterUpdate();
        break;
    case Waiting::Dump: {
        const bool complete
            = std::all_of(m_requested.cbegin(), m_requested.cend(), [this](quint16 id) {
                  return m_arrivals.count(id) > 0 || m_invalid.contains(id);
              });
        if (complete) {
            printDump();
            QStringList invalid;
            for (auto it = m_invalid.cbegin(); it != m_invalid.cend(); ++it) {
                if (m_arrivals.count(it.key()) == 0)
                    invalid.append(
                        QStringLiteral("%1 (%2)")
                            .arg(QString::fromLatin1(Model::Interfaces::modelValueName(it.key())))
                            .arg(it.key()));
            }
            if (invalid.isEmpty())
                finish(Success);
            else
                fail(QStringLiteral("no valid answer for %1: contents of the wrong width")
                         .arg(invalid.join(QStringLiteral(", "))),
                     InvalidAnswer);
        }
        break;
    }
    case Waiting::Get:
        if (identifier == m_value->getId()) {
            m_out << ValueAccess::jsonObject(*m_value) << Qt::endl;
            finish(Success);
        }
        break;
    case Waiting::SetInitial:
        if (rangeKnown()) {
            QString error;
            ValueAccess::parse(*m_value, m_text, true, &error);
            // What the device allows now, given its other values: nothing outside is sent.
            const auto valueId = Model::Interfaces::ModelValueID(m_value->getId());
            const auto range = Application::K27::ConfigurationRules::allowedRange(
                valueId, m_application->database()->settings());
            const double content = ValueAccess::number(*m_value);
            if (range && (content < range->minimum || content > range->maximum)) {
                fail(QStringLiteral("%1 is outside what the device allows for %2 now (from %3 to "
                                    "%4); nothing sent")
                         .arg(m_text.trimmed(),
                              QString::fromLatin1(Model::Interfaces::modelValueName(valueId)))
                         .arg(QString::number(range->minimum), QString::number(range->maximum)),
                     BadArguments);
                return;
            }
            m_sentContent = ValueAccess::jsonContent(*m_value);
            m_arrivalsBeforeSend = m_arrivals.count(m_value->getId());
            m_waiting = Waiting::SetReport;
            m_timer.start(m_timeoutMs);
            m_value->send();
        }
        break;
    case Waiting::SetReport:
        if (identifier == m_value->getId() && m_arrivals.count(identifier) > m_arrivalsBeforeSend) {
            m_out << ValueAccess::jsonObject(*m_value) << Qt::endl;
            if (ValueAccess::jsonContent(*m_value) != m_sentContent) {
                m_err << "k27ctl: the device kept " << ValueAccess::jsonContent(*m_value) << " for "
                      << Model::Interfaces::modelValueName(identifier) << " instead of "
                      << m_sentContent << Qt::endl;
                finish(DeviceDisagreed);
            } else {
                finish(Success);
            }
        }
        break;
    case Waiting::SettingsExport:
        if (m_reportedSettings->complete())
            exportSettings();
        break;
    case Waiting::SettingsImport:
        if (m_reportedSettings->complete())
            importSettings();
        break;
    case Waiting::SettingsDiff:
        if (m_reportedSettings->complete())
            diffSettings();
        break;
    case Waiting::SettingsReport:
        // The import follows the reports itself.
        break;
    case Waiting::Report:
        if (reportComplete())
            writeReport();
        break;
    case Waiting::Nothing:
        break;
    }
}

void ControlSession::handleTimeout()
{
    const QString seconds = QString::number(m_timeoutMs / 1000.0);
    switch (m_waiting) {
    case Waiting::Dump: {
        QList<quint16> missing;
        for (const quint16 identifier : m_requested) {
            if (m_arrivals.count(identifier) == 0)
                missing.append(identifier);
        }
        std::sort(missing.begin(), missing.end());
        QStringList names;
        for (const quint16 identifier : missing)
            names.append(
                QStringLiteral("%1 (%2)")
                    .arg(QString::fromLatin1(Model::Interfaces::modelValueName(identifier)))
                    .arg(identifier));
        printDump();
        fail(QStringLiteral("no answer within %1 s for %2 of %3 values: %4")
                 .arg(seconds)
                 .arg(missing.size())
                 .arg(m_requested.size())
                 .arg(names.join(QStringLiteral(", "))),
             TimedOut);
        break;
    }
    case Waiting::Get:
    case Waiting::SetInitial:
        fail(QStringLiteral("no answer within %1 s for %2")
                 .arg(seconds,
                      QString::fromLatin1(Model::Interfaces::modelValueName(m_value->getId()))),
             TimedOut);
        break;
    case Waiting::SetReport:
        fail(QStringLiteral("the device did not report %1 back within %2 s")
                 .arg(QString::fromLatin1(Model::Interfaces::modelValueName(m_value->getId())),
                      seconds),
             TimedOut);
        break;
    case Waiting::SettingsExport:
        fail(QStringLiteral("the device did not report its settings within %1 s; no file written")
                 .arg(seconds),
             TimedOut);
        break;
    case Waiting::SettingsImport:
        fail(QStringLiteral("the device did not report its settings within %1 s; nothing sent")
                 .arg(seconds),
             TimedOut);
        break;
    case Waiting::SettingsDiff:
        fail(QStringLiteral("the device did not report its settings within %1 s").arg(seconds),
             TimedOut);
        break;
    case Waiting::SettingsReport:
        // The import has its own time-out.
        break;
    case Waiting::Report:
        fail(QStringLiteral("the device did not report its model and its display's software "
                            "within %1 s; no file written")
                 .arg(seconds),
             TimedOut);
        break;
    case Waiting::UpdateVersion:
        fail(QStringLiteral("the device did not report its platform software within %1 s; "
                            "nothing sent")
                 .arg(seconds),
             TimedOut);
        break;
    case Waiting::UpdateSettings:
        fail(QStringLiteral("the device did not report its settings within %1 s; none saved, "
                            "nothing sent")
                 .arg(seconds),
             TimedOut);
        break;
    case Waiting::UpdateCompare:
        fail(QStringLiteral("installed, but the device did not report its settings within %1 s "
                            "after the update; those before it are in %2")
                 .arg(seconds, m_savedSettingsPath),
             TimedOut);
        break;
    case Waiting::Update:
    case Waiting::Nothing:
        break;
    }
}

void ControlSession::printDump()
{
    QList<ModelValueIntf *> values;
    const auto &observer = *m_application->valueObserver();
    for (int i = 0; i < observer.valueCount(); ++i)
        values.append(observer.valueAt(i));
    std::sort(values.begin(), values.end(), [](const ModelValueIntf *a, const ModelValueIntf *b) {
        return a->getId() < b->getId();
    });
    m_out << "[\n";
    for (int i = 0; i < values.size(); ++i) {
        const quint16 identifier = values.at(i)->getId();
        // A value the device answered only with a content of the wrong width has none.
        const QByteArray entry = m_invalid.contains(identifier) && m_arrivals.count(identifier) == 0
            ? "{\"id\": " + QByteArray::number(identifier) + ", \"name\": \""
                + Model::Interfaces::modelValueName(identifier) + "\", \"invalid\": \""
                + QByteArray::number(m_invalid.value(identifier)) + " content byte(s)\"}"
            : ValueAccess::jsonObject(*values.at(i));
        m_out << "  " << entry << (i + 1 < values.size() ? ",\n" : "\n");
    }
    m_out << "]" << Qt::endl;
}

void ControlSession::fail(const QString &message, int exitCode)
{
    m_err << "k27ctl: " << message << Qt::endl;
    finish(exitCode);
}

void ControlSession::finish(int exitCode)
{
    m_waiting = Waiting::Nothing;
    m_timer.stop();
    // The port only queues what is written; let it pass everything on before the program
    // closes it.
    if (QSerialPort *port = m_application->serialPort()->findChild<QSerialPort *>()) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (port->isOpen() && port->bytesToWrite() > 0 && elapsed.elapsed() < m_timeoutMs)
            port->waitForBytesWritten(100);
    }
    emit finished(exitCode);
}
