#include "DeviceSimulator.h"

#include "FaultyLine.h"
#include "LinkReceiver.h"
#include "PseudoTerminal.h"
#include "SimulatedPortList.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "model/interfaces/ModelActionID.h"
#include "model/interfaces/ModelValueID.h"
#include "utilities/LittleEndian.h"
#include "utilities/MutexLocker.h"

#include <QDir>
#include <QTemporaryDir>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace DeviceSim {

using Component::Interfaces::ZantLinkPacket;
using Command = Component::K27::ZantLinkCommandCode;
using Model::Interfaces::ModelActionID;
using Model::Interfaces::ModelValueID;
using Model::Interfaces::toNumber;

namespace {

constexpr quint8 platformNode = ZantLinkPacket::Platform;
constexpr quint8 displayNode = ZantLinkPacket::Display;
constexpr quint8 hostNode = ZantLinkPacket::Host;

constexpr quint16 id(ModelValueID value)
{
    return toNumber(value);
}

QByteArray u8(quint8 value)
{
    return QByteArray(1, char(value));
}

QByteArray u16(quint16 value)
{
    QByteArray bytes(2, '\0');
    Utilities::LittleEndian::write<quint16>(value, bytes.data());
    return bytes;
}

QByteArray u32(quint32 value)
{
    QByteArray bytes(4, '\0');
    Utilities::LittleEndian::write<quint32>(value, bytes.data());
    return bytes;
}

QByteArray f32(float value)
{
    quint32 raw = 0;
    std::memcpy(&raw, &value, sizeof raw);
    return u32(raw);
}

} // namespace

DeviceSimulator::DeviceSimulator(const DeviceSimulatorOptions &options, SimulatedPortList *portList,
                                 QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_portList(portList ? portList : &SimulatedPortList::instance())
    , m_random(options.seed)
    , m_measurementTimer(this)
    , m_comeBackTimer(this)
{
    qRegisterMetaType<DeviceSim::ReceivedPacket>();
    m_platform = new SimulatedController(platformNode, options.platform, this);
    m_display = new SimulatedController(displayNode, options.display, this);
    m_platform->setUpdateFaults(options.updateFaults);
    m_display->setUpdateFaults(options.updateFaults);
    connectController(*m_platform);
    connectController(*m_display);

    for (auto it = options.model.constBegin(); it != options.model.constEnd(); ++it)
        m_model.setDefault(it.key(), it.value());
    m_model.setDefault(id(ModelValueID::PlatformVersion), options.platform.application);

    m_measurementTimer.setInterval(qMax(1, options.measurementPeriodMs));
    connect(&m_measurementTimer, &QTimer::timeout, this, &DeviceSimulator::streamMeasurement);
    m_comeBackTimer.setSingleShot(true);
    connect(&m_comeBackTimer, &QTimer::timeout, this, &DeviceSimulator::comeBack);
}

DeviceSimulator::~DeviceSimulator()
{
    stop();
}

void DeviceSimulator::connectController(SimulatedController &controller)
{
    const quint8 node = controller.node();
    connect(
        &controller, &SimulatedController::blockRequested, this,
        [this, node](quint16 blockNumber) { answer(node, Command::Memblock, {u16(blockNumber)}); });
    connect(&controller, &SimulatedController::blockAccepted, this,
            [this, node](quint16 blockNumber) { emit blockAccepted(node, blockNumber); });
    connect(&controller, &SimulatedController::blockRejected, this,
            [this, node](quint16 blockNumber) { emit blockRejected(node, blockNumber); });
    connect(&controller, &SimulatedController::transferFailed, this,
            [this, node](const QString &reason) { emit transferFailed(node, reason); });
    connect(&controller, &SimulatedController::updateCompleted, this,
            [this, node, &controller](quint32 version) {
                if (node == platformNode) {
                    m_model.setValue(id(ModelValueID::PlatformVersion), version);
                    // The new firmware starts from its defaults; it restarts, so nothing is
                    // reported.
                    if (m_options.resetSettingsOnUpdate)
                        m_model.factoryReset();
                }
                emit updateCompleted(node, version);
                restart(controller);
            });
}

bool DeviceSimulator::start()
{
    if (m_started)
        return true;
    m_errorString.clear();
    if (m_options.folder.isEmpty()) {
        m_temporaryFolder = std::make_unique<QTemporaryDir>(
            QDir::temp().filePath(QStringLiteral("k27-devicesim-XXXXXX")));
        if (!m_temporaryFolder->isValid()) {
            m_errorString = QStringLiteral("Cannot create a folder for the port: %1")
                                .arg(m_temporaryFolder->errorString());
            m_temporaryFolder.reset();
            return false;
        }
        m_folder = m_temporaryFolder->path();
    } else {
        m_folder = m_options.folder;
        if (!QDir().mkpath(m_folder)) {
            m_errorString = QStringLiteral("Cannot create the folder %1").arg(m_folder);
            return false;
        }
    }
    if (!m_options.portName.contains(QLatin1String("tty"))) {
        m_errorString
            = QStringLiteral("The port name %1 does not contain \"tty\"").arg(m_options.portName);
        return false;
    }

    m_terminal = new PseudoTerminal(QDir(m_folder).filePath(m_options.portName), this);
    connect(m_terminal, &PseudoTerminal::bytesReceived, this, &DeviceSimulator::handleBytes);
    m_line = new FaultyLine(m_terminal, m_options.seed ^ 0x9E3779B9u, this);
    m_line->setFaults(m_options.lineFaults);
    if (!openLine()) {
        m_errorString = m_terminal->errorString();
        delete m_line;
        delete m_terminal;
        m_line = nullptr;
        m_terminal = nullptr;
        return false;
    }
    m_started = true;

    // The device starts with these; the PC learns of them when it asks.
    if (m_options.hasWarning)
        applyFault(id(ModelValueID::Warning), m_options.warning, false);
    if (m_options.hasError)
        applyFault(id(ModelValueID::Error), m_options.error, false);
    return true;
}

void DeviceSimulator::stop()
{
    if (!m_started)
        return;
    m_comeBackTimer.stop();
    stopMeasurement();
    closeLine();
    m_started = false;
}

QString DeviceSimulator::portName() const
{
    return m_terminal ? m_terminal->linkPath() : QString();
}

QString DeviceSimulator::serialName() const
{
    return m_terminal ? m_terminal->serialName() : QString();
}

bool DeviceSimulator::openLine()
{
    if (!m_terminal->open())
        return false;
    m_receiver = std::make_unique<LinkReceiver>(
        [this](const ZantLinkPacket &packet) { handlePacket(packet); });
    m_present = true;
    m_portList->add(m_terminal->linkPath());
    return true;
}

void DeviceSimulator::closeLine()
{
    if (!m_present)
        return;
    m_present = false;
    m_portList->remove(m_terminal->linkPath());
    m_line->clear();
    m_terminal->close();
    m_receiver.reset();
}

void DeviceSimulator::goAway(int comeBackAfterMs)
{
    if (!m_started || !m_present)
        return;
    stopMeasurement();
    closeLine();
    emit wentAway();
    if (comeBackAfterMs > 0)
        m_comeBackTimer.start(comeBackAfterMs);
}

bool DeviceSimulator::comeBack()
{
    m_comeBackTimer.stop();
    if (!m_started || m_present)
        return m_present;
    if (!openLine()) {
        m_errorString = m_terminal->errorString();
        return false;
    }
    emit cameBack();
    return true;
}

void DeviceSimulator::setLineFaults(const LineFaults &faults)
{
    m_options.lineFaults = faults;
    if (m_line)
        m_line->setFaults(faults);
}

LineFaults DeviceSimulator::lineFaults() const
{
    return m_options.lineFaults;
}

void DeviceSimulator::setUpdateFaults(const UpdateFaults &faults, quint8 node)
{
    if (node != displayNode)
        m_platform->setUpdateFaults(faults);
    if (node != platformNode)
        m_display->setUpdateFaults(faults);
}

void DeviceSimulator::setMeasurementPeriod(int milliseconds)
{
    m_options.measurementPeriodMs = qMax(1, milliseconds);
    m_measurementTimer.setInterval(m_options.measurementPeriodMs);
}

SimulatedController *DeviceSimulator::controller(quint8 node)
{
    if (node == platformNode)
        return m_platform;
    if (node == displayNode)
        return m_display;
    return nullptr;
}

bool DeviceSimulator::lineIdle() const
{
    return !m_line || (m_line->isIdle() && m_terminal->pendingBytes() == 0);
}

qint64 DeviceSimulator::pendingLineBytes() const
{
    return m_terminal ? m_terminal->pendingBytes() : 0;
}

// ---- the log -------------------------------------------------------------------------------

QList<ReceivedPacket> DeviceSimulator::receivedPackets() const
{
    const Utilities::MutexLocker lock(m_logMutex);
    return m_received;
}

QList<ReceivedPacket> DeviceSimulator::receivedPackets(quint16 command) const
{
    const Utilities::MutexLocker lock(m_logMutex);
    QList<ReceivedPacket> matching;
    for (const ReceivedPacket &packet : m_received) {
        if (packet.command == command)
            matching.append(packet);
    }
    return matching;
}

quint64 DeviceSimulator::droppedReceivedPackets() const
{
    const Utilities::MutexLocker lock(m_logMutex);
    return m_droppedReceived;
}

void DeviceSimulator::clearReceivedPackets()
{
    const Utilities::MutexLocker lock(m_logMutex);
    m_received.clear();
    m_droppedReceived = 0;
}

quint64 DeviceSimulator::droppedWrites() const
{
    return m_terminal ? m_terminal->droppedWrites() : 0;
}

// ---- sending -------------------------------------------------------------------------------

void DeviceSimulator::sendPacket(quint16 command, quint8 source, quint8 destination,
                                 const QList<QByteArray> &arguments)
{
    if (!m_present)
        return;
    QVarLengthArray<ZantLinkPacket::Argument, 4> views;
    for (const QByteArray &argument : arguments)
        views.append(ZantLinkPacket::Argument(argument.constData(), quint16(argument.size())));
    const QByteArray bytes
        = ZantLinkPacket::encode(command, source, destination, views.constData(), views.size());
    if (bytes.isEmpty())
        return;
    m_line->sendPacket(bytes, command);
    emit packetSent(command, source, arguments);
}

void DeviceSimulator::sendRaw(const QByteArray &bytes)
{
    if (m_present)
        m_line->sendRaw(bytes);
}

void DeviceSimulator::answer(quint8 node, quint16 command, const QList<QByteArray> &arguments)
{
    if (m_options.lineFaults.flowControlBytes && m_options.lineFaults.appliesTo(command)) {
        // Binary content that happens to hold XOFF and XON, ending with XON.
        static const QByteArray flowControl("\x13\x11\x13\x11", 4);
        const QByteArray valueId = u16(id(ModelValueID::SettingChanged));
        const ZantLinkPacket::Argument views[]
            = {{valueId.constData(), 2}, {flowControl.constData(), 4}};
        if (m_present)
            m_line->sendRaw(
                ZantLinkPacket::encode(Command::SetModelValue, platformNode, hostNode, views, 2));
    }
    sendPacket(command, node, hostNode, arguments);
}

void DeviceSimulator::reportModelValue(quint16 valueId)
{
    if (!m_model.contains(valueId))
        return;
    QByteArray content = m_model.encode(valueId);
    // A faulty firmware's width: the content cut short or followed by zero bytes.
    if (const auto width = m_options.answerWidths.constFind(valueId);
        width != m_options.answerWidths.constEnd())
        content = content.left(*width).leftJustified(*width, '\0');
    answer(platformNode, Command::SetModelValue, {u16(valueId), content});
}

void DeviceSimulator::setAnswerWidth(quint16 id, int width)
{
    if (width < 0)
        m_options.answerWidths.remove(id);
    else
        m_options.answerWidths.insert(id, std::min(width, DeviceSimulatorOptions::widestAnswer));
}

void DeviceSimulator::setWriteIgnored(quint16 id, bool ignored)
{
    if (ignored)
        m_options.ignoredWrites.insert(id);
    else
        m_options.ignoredWrites.remove(id);
}

void DeviceSimulator::setModelValue(quint16 valueId, double value, bool report)
{
    m_model.setValue(valueId, value);
    if (valueId == id(ModelValueID::PlatformVersion)) {
        SimulatedController::Versions versions = m_platform->versions();
        versions.application = quint32(m_model.value(valueId));
        m_platform->setVersions(versions);
    }
    if (report)
        reportModelValue(valueId);
}

// ---- receiving -----------------------------------------------------------------------------

void DeviceSimulator::handleBytes(const QByteArray &bytes)
{
    if (m_receiver)
        m_receiver->receive(bytes);
}

void DeviceSimulator::handlePacket(const ZantLinkPacket &decoded)
{
    const ReceivedPacket packet = ReceivedPacket::fromPacket(decoded);
    {
        const Utilities::MutexLocker lock(m_logMutex);
        if (m_received.size() >= receivedLogLimit) {
            m_received.removeFirst();
            ++m_droppedReceived;
        }
        m_received.append(packet);
    }
    emit packetReceived(packet);

    // Only the PC talks to the controllers.
    if (packet.source != hostNode)
        return;
    SimulatedController *target = controller(packet.destination);
    if (!target)
        return;
    const auto &args = packet.arguments;

    switch (packet.command) {
    case Command::Reset:
        target->jumpToApplication();
        restart(*target);
        return;
    case Command::JumpToBootloader:
        if (target->mode() == SimulatedController::Mode::Bootloader)
            return;
        if (target == m_platform) {
            // The application stops: no streaming, no motor.
            stopMeasurement();
            m_model.setValue(id(ModelValueID::OperatingMode), 0);
        }
        target->jumpToBootloader();
        restart(*target);
        return;
    case Command::JumpToApplication:
        if (target->mode() == SimulatedController::Mode::Application)
            return;
        target->jumpToApplication();
        restart(*target);
        return;
    case Command::GetSWVersion:
        answer(target->node(), packet.command, {u32(target->softwareVersion())});
        return;
    case Command::GetHALVersion:
        answer(target->node(), packet.command, {u32(target->halVersion())});
        return;
    case Command::GetName:
        answer(target->node(), packet.command, {target->name()});
        return;
    case Command::ApplicationUpdate:
        if (args.size() >= 2 && args.at(0).size() == 2 && args.at(1).size() == 4)
            target->startUpdate(quint16(packet.number(0)), packet.number(1));
        return;
    case Command::Memblock:
        if (args.size() >= 3 && args.at(0).size() == 2 && args.at(2).size() == 4)
            target->receiveBlock(quint16(packet.number(0)), args.at(1), packet.number(2));
        return;
    default:
        break;
    }

    // Everything else is the application's business.
    if (target->mode() != SimulatedController::Mode::Application)
        return;
    if (target == m_platform
        && (packet.command == Command::GetModelValue || packet.command == Command::SetModelValue
            || packet.command == Command::FireModelAction)) {
        handlePlatformPacket(packet);
        return;
    }
    handleServiceCommand(target->node(), packet);
}

void DeviceSimulator::handlePlatformPacket(const ReceivedPacket &packet)
{
    const auto &args = packet.arguments;
    if (args.isEmpty() || args.at(0).size() != 2)
        return;
    const quint16 target = quint16(packet.number(0));
    switch (packet.command) {
    case Command::GetModelValue:
        reportModelValue(target);
        return;
    case Command::SetModelValue:
        if (!m_model.contains(target) || args.size() < 2
            || m_options.ignoredWrites.contains(target))
            return;
        m_model.setFromHost(target, args.at(1));
        // Whatever was asked, the PC learns what the device now holds.
        reportModelValue(target);
        return;
    case Command::FireModelAction:
        handleAction(target);
        return;
    default:
        return;
    }
}

void DeviceSimulator::handleAction(quint16 action)
{
    switch (ModelActionID(action)) {
    case ModelActionID::ResetError:
        m_model.setValue(id(ModelValueID::Warning), 0);
        m_model.setValue(id(ModelValueID::Error), 0);
        reportModelValue(id(ModelValueID::Warning));
        reportModelValue(id(ModelValueID::Error));
        return;
    case ModelActionID::StartVoltageMeasurement:
        startMeasurement(Measurement::Voltage);
        return;
    case ModelActionID::StartCurrentMeasurement:
        startMeasurement(Measurement::Current);
        return;
    case ModelActionID::StartPowerMeasurement:
        startMeasurement(Measurement::Power);
        return;
    case ModelActionID::StopMeasurement:
        stopMeasurement();
        return;
    case ModelActionID::FactoryReset:
        for (const quint16 setting : m_model.factoryReset())
            reportModelValue(setting);
        return;
    case ModelActionID::MotorLeftOn:
        setOperatingMode(2);
        return;
    case ModelActionID::MotorRightOn:
        setOperatingMode(1);
        return;
    case ModelActionID::MotorStop:
        setOperatingMode(0);
        return;
    case ModelActionID::MaintenanceSet:
        m_maintenance = true;
        return;
    case ModelActionID::MaintenanceReset:
        m_maintenance = false;
        return;
    case ModelActionID::StartDisplayUpdate:
        m_displayUpdate = true;
        return;
    case ModelActionID::StopDisplayUpdate:
        m_displayUpdate = false;
        return;
    default:
        return;
    }
}

void DeviceSimulator::setOperatingMode(quint8 mode)
{
    // A starter with an active error does not switch the motor on.
    if (mode != 0 && m_model.value(id(ModelValueID::Error)) != 0) {
        reportModelValue(id(ModelValueID::OperatingMode));
        return;
    }
    m_model.setValue(id(ModelValueID::OperatingMode), mode);
    reportModelValue(id(ModelValueID::OperatingMode));
}

void DeviceSimulator::applyFault(quint16 faultId, const InjectedFault &fault, bool report)
{
    m_model.setValue(id(ModelValueID::FaultPhase), fault.phase);
    m_model.setValue(id(ModelValueID::CapacityIndicator), fault.capacity);
    m_model.setValue(faultId, fault.type);
    if (!report || !m_present || m_platform->mode() != SimulatedController::Mode::Application)
        return;
    reportModelValue(id(ModelValueID::FaultPhase));
    reportModelValue(id(ModelValueID::CapacityIndicator));
    reportModelValue(faultId);
}

void DeviceSimulator::injectWarning(const InjectedFault &fault)
{
    applyFault(id(ModelValueID::Warning), fault, true);
}

void DeviceSimulator::injectError(const InjectedFault &fault)
{
    applyFault(id(ModelValueID::Error), fault, true);
    if (fault.type != 0 && m_model.value(id(ModelValueID::OperatingMode)) != 0) {
        m_model.setValue(id(ModelValueID::OperatingMode), 0);
        if (m_present && m_platform->mode() == SimulatedController::Mode::Application)
            reportModelValue(id(ModelValueID::OperatingMode));
    }
}

// ---- measurements --------------------------------------------------------------------------

void DeviceSimulator::startMeasurement(Measurement kind)
{
    m_measurement = kind;
    m_measurementTimer.start();
}

void DeviceSimulator::stopMeasurement()
{
    m_measurement = Measurement::None;
    m_measurementTimer.stop();
}

void DeviceSimulator::streamMeasurement()
{
    if (!m_present || m_platform->mode() != SimulatedController::Mode::Application)
        return;
    const double mode = m_model.value(id(ModelValueID::OperatingMode));
    const bool running = mode == 1 || mode == 2;
    const double nominal = m_model.value(id(ModelValueID::NominalCurrent));
    double voltages[3];
    double currents[3];
    for (int phase = 0; phase < 3; ++phase) {
        voltages[phase] = 230.0 + (m_random.generateDouble() - 0.5) * 6.0;
        currents[phase] = running ? nominal * (0.7 + m_random.generateDouble() * 0.2) : 0.0;
    }

    switch (m_measurement) {
    case Measurement::Voltage:
    case Measurement::Current: {
        const quint16 valueId = m_measurement == Measurement::Voltage
            ? id(ModelValueID::MeasurementVoltage)
            : id(ModelValueID::MeasurementCurrent);
        for (int phase = 0; phase < 3; ++phase) {
            // The phase goes first: the PC files the following value under it.
            setModelValue(id(ModelValueID::MeasurementPhase), phase);
            setModelValue(
                valueId, m_measurement == Measurement::Voltage ? voltages[phase] : currents[phase]);
        }
        return;
    }
    case Measurement::Power: {
        double apparent = 0;
        for (int phase = 0; phase < 3; ++phase)
            apparent += voltages[phase] * currents[phase];
        const double active = apparent * 0.85;
        const double reactive = std::sqrt(std::max(0.0, apparent * apparent - active * active));
        setModelValue(id(ModelValueID::MeasurementActivePower), active);
        setModelValue(id(ModelValueID::MeasurementApparentPower), apparent);
        setModelValue(id(ModelValueID::MeasurementReactivePower), reactive);
        return;
    }
    case Measurement::None:
        return;
    }
}

// ---- restarts ------------------------------------------------------------------------------

void DeviceSimulator::restart(SimulatedController &controller)
{
    // Only the Platform carries the USB interface; its restart re-enumerates the port once
    // everything already said has left.
    if (&controller != m_platform || m_options.usbAwayMs <= 0 || !m_present)
        return;
    const int awayMs = m_options.usbAwayMs;
    auto leave = [this, awayMs] { goAway(awayMs); };
    if (lineIdle()) {
        QTimer::singleShot(0, this, leave);
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(m_line, &FaultyLine::idle, this, [connection, leave] {
        QObject::disconnect(*connection);
        leave();
    });
}

// ---- other service commands ----------------------------------------------------------------

void DeviceSimulator::handleServiceCommand(quint8 node, const ReceivedPacket &packet)
{
    const auto &args = packet.arguments;
    const auto byteArg = [&args](int index) -> quint8 {
        return index < args.size() && !args.at(index).isEmpty() ? quint8(args.at(index).at(0)) : 0;
    };
    const quint8 index = byteArg(0);
    const quint8 unit = byteArg(1);
    const auto phaseValue = [this](quint8 phase, quint8 quantity) -> float {
        const bool running = m_model.value(id(ModelValueID::OperatingMode)) == 1
            || m_model.value(id(ModelValueID::OperatingMode)) == 2;
        if (quantity == 1)
            return running ? float(m_model.value(id(ModelValueID::NominalCurrent)) * 0.8) : 0.0f;
        return 230.0f + float(phase % 3);
    };

    if (node == displayNode) {
        if (packet.command == Command::GetButtonStatus)
            answer(node, packet.command, {u8(index), u8(0)});
        return;
    }

    switch (packet.command) {
    case Command::PhaseCtrlGetFailureStatus:
        answer(node, packet.command, {u8(index), u8(0)});
        return;
    case Command::PhaseCtrlGetReadyStatus:
        answer(node, packet.command, {u8(index), u8(1)});
        return;
    case Command::MeasurementGetRMSValue:
    case Command::MeasurementGetMovingAverageValue:
        answer(node, packet.command, {u8(index), u8(unit), f32(phaseValue(index, unit))});
        return;
    case Command::MeasurementGetStaticOffset:
    case Command::MeasurementGetGainOffset:
        answer(node, packet.command,
               {u8(index), u8(unit),
                f32(packet.command == Command::MeasurementGetGainOffset ? 1.0f : 0.0f)});
        return;
    case Command::MeasurementGetWaveform:
        answer(node, packet.command, {u8(index), f32(phaseValue(index, unit))});
        return;
    case Command::StateMachineGetState:
        answer(node, packet.command, {u8(quint8(m_model.value(id(ModelValueID::PlatformState))))});
        return;
    case Command::StateMachineResetError:
        handleAction(toNumber(ModelActionID::ResetError));
        return;
    case Command::GetTemperature:
        answer(node, packet.command, {u8(index), f32(25.5f)});
        return;
    case Command::GetAuxVoltage:
        answer(node, packet.command, {f32(24.0f)});
        return;
    case Command::GetSupplyVoltage:
        answer(node, packet.command, {f32(230.0f)});
        return;
    case Command::GetSupplyState:
        answer(node, packet.command, {u8(1)});
        return;
    case Command::GetThermalCapacity:
        // The device reports its thermal capacity with the code the PC logs it under.
        answer(node, Command::SetThermalCapacity,
               {f32(float(m_model.value(id(ModelValueID::CapacityIndicator)) / 100.0))});
        return;
    case Command::SetThermalCapacity:
        if (args.size() >= 2 && args.at(1).size() == 4) {
            float fraction = 0;
            const quint32 raw = packet.number(1);
            std::memcpy(&fraction, &raw, sizeof fraction);
            if (std::isfinite(fraction))
                m_model.setValue(id(ModelValueID::CapacityIndicator),
                                 std::clamp(double(fraction) * 100.0, 0.0, 100.0));
        }
        answer(node, packet.command,
               {f32(float(m_model.value(id(ModelValueID::CapacityIndicator)) / 100.0))});
        return;
    case Command::ExternalFlashGetDeviceID:
        answer(node, packet.command, {QByteArrayLiteral("EF4018")});
        return;
    case Command::AnalogSignalsGetInputStatus:
        answer(node, packet.command, {u8(index), u8(0)});
        return;
    case Command::MosfetMonitorGetState:
        answer(node, packet.command, {u8(0)});
        return;
    case Command::DeviceProtectionGetDCProtection:
        answer(node, packet.command, {u8(m_dcProtection)});
        return;
    case Command::DeviceProtectionSetDCProtection:
        m_dcProtection = index != 0 ? 1 : 0;
        return;
    default:
        // Commands that only act on hardware the simulation has not: received, logged, done.
        return;
    }
}

} // namespace DeviceSim
