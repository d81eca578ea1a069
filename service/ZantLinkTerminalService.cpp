#include "service/ZantLinkTerminalService.h"

#include "component/SerialPort.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkComponent.h"
#include "component/ZantLinkPacketLog.h"
#include "model/interfaces/ModelValueEvent.h"
#include "model/interfaces/ModelValueID.h"
#include "model/observer/ModelValueObserver.h"
#include "service/TerminalCommandItem.h"
#include "utilities/LittleEndian.h"
#include "utilities/MutexLocker.h"
#include "utilities/ThreadSanitizer.h"

#include <QCoreApplication>
#include <QMetaMethod>
#include <QPointer>
#include <optional>

namespace Service::K27 {

using Application::K27::TerminalCommandItem;
using Component::Interfaces::ZantLinkCommand;
using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkCommandCode;
using Component::K27::ZantLinkPacketLog;
using Model::Interfaces::ModelValueEvent;
using Model::Interfaces::ModelValueID;

ZantLinkTerminalService::ZantLinkTerminalService(
    const QSharedPointer<Application::K27::SerialPort> &serialPort,
    const QSharedPointer<Model::Observer::ModelValueObserver> &modelObserver, QObject *parent)
    : QThread(parent)
    , Component::Interfaces::AbstractZantLinkTerminal(ServiceId, ZantLinkPacket::Host)
    , m_serialPort(serialPort)
    , m_modelObserver(modelObserver)
{
    buildCommandTable();
    buildCommandItems();
    if (m_serialPort != nullptr) {
        connect(m_serialPort.data(), &Application::K27::SerialPort::dataTransmitted, this,
                &ZantLinkTerminalService::handleDataTransmitted);
        connect(m_serialPort.data(), &Application::K27::SerialPort::dataReceived, this,
                &ZantLinkTerminalService::handleDataReceived);
    }
}

ZantLinkTerminalService::~ZantLinkTerminalService()
{
    {
        Utilities::MutexLocker lock(m_mutex);
        m_stopRequested = true;
        m_dataAvailable.wakeAll();
    }
    wait();
    // Qt ends its threads detached; taking the mutex once more shows the sanitizer that the
    // worker's last step happened before what follows, and the acquire covers the dispatch
    // events still queued, which Qt deletes when this object goes.
    Utilities::ThreadSanitizer::acquire(&m_handover);
    Utilities::MutexLocker lock(m_mutex);
    stopReceiver();
    m_receivedPackets.clear();
}

void ZantLinkTerminalService::buildCommandTable()
{
    const auto bind = [this](void (ZantLinkTerminalService::*handler)(const ZantLinkPacket &)) {
        return [this, handler](const ZantLinkPacket &packet) { (this->*handler)(packet); };
    };
    const auto answerText = bind(&ZantLinkTerminalService::handleAnswerText);
    const std::array<ZantLinkCommand, 23> registered {{
        {ZantLinkCommandCode::GetSWVersion, bind(&ZantLinkTerminalService::handleSoftwareVersion)},
        {ZantLinkCommandCode::GetHALVersion, answerText},
        {ZantLinkCommandCode::GetName, bind(&ZantLinkTerminalService::handleName)},
        {ZantLinkCommandCode::Memblock, bind(&ZantLinkTerminalService::handleMemblock)},
        {ZantLinkCommandCode::SetModelValue, bind(&ZantLinkTerminalService::handleModelValue)},
        {ZantLinkCommandCode::PhaseCtrlGetFailureStatus, answerText},
        {ZantLinkCommandCode::PhaseCtrlGetReadyStatus, answerText},
        {ZantLinkCommandCode::MeasurementGetStaticOffset, answerText},
        {ZantLinkCommandCode::MeasurementGetGainOffset, answerText},
        {ZantLinkCommandCode::MeasurementGetRMSValue, answerText},
        {ZantLinkCommandCode::MeasurementGetMovingAverageValue, answerText},
        {ZantLinkCommandCode::MeasurementGetWaveform, answerText},
        {ZantLinkCommandCode::StateMachineGetState, answerText},
        {ZantLinkCommandCode::GetTemperature, answerText},
        {ZantLinkCommandCode::GetAuxVoltage, answerText},
        {ZantLinkCommandCode::GetSupplyVoltage, answerText},
        {ZantLinkCommandCode::GetSupplyState, answerText},
        {ZantLinkCommandCode::SetThermalCapacity, answerText},
        {ZantLinkCommandCode::ExternalFlashGetDeviceID, answerText},
        {ZantLinkCommandCode::AnalogSignalsGetInputStatus, answerText},
        {ZantLinkCommandCode::MosfetMonitorGetState, answerText},
        {ZantLinkCommandCode::DeviceProtectionGetDCProtection, answerText},
        {ZantLinkCommandCode::GetButtonStatus, answerText},
    }};
    for (std::size_t i = 0; i < registered.size(); ++i)
        m_commands[i] = registered[i];
}

void ZantLinkTerminalService::buildCommandItems()
{
    m_commandItems = TerminalCommandItem::createCommandItems();
}

const ZantLinkCommand &ZantLinkTerminalService::command(int index) const
{
    return m_commands.at(static_cast<std::size_t>(index));
}

void ZantLinkTerminalService::onStart()
{
    {
        Utilities::MutexLocker lock(m_mutex);
        AbstractZantLinkTerminal::onStart();
        m_dataAvailable.wakeAll();
    }
    QThread::start(QThread::InheritPriority);
    m_linkComponent
        = dynamic_cast<Component::K27::ZantLinkComponent *>(getComponent(LinkComponentId));
    if (m_linkComponent != nullptr) {
        m_linkComponent->sendGetName(ZantLinkPacket::Platform);
        m_linkComponent->sendGetName(ZantLinkPacket::Display);
    }
}

void ZantLinkTerminalService::onStop()
{
    Utilities::MutexLocker lock(m_mutex);
    AbstractZantLinkTerminal::onStop();
}

void ZantLinkTerminalService::onProcess()
{
    Utilities::MutexLocker lock(m_mutex);
    AbstractZantLinkTerminal::onProcess();
}

void ZantLinkTerminalService::run()
{
    for (;;) {
        Utilities::MutexLocker lock(m_mutex);
        if (m_stopRequested)
            return;
        // A step that cannot move on (ring empty, packet incomplete, receiver idle) would only
        // repeat itself: sleep until bytes are written, the receiver starts or a stop comes.
        if (!receiveStep())
            lock.wait(m_dataAvailable);
    }
}

void ZantLinkTerminalService::onPacketReceived(const ZantLinkPacket &packet)
{
    // Runs with the mutex held, so the queue needs no lock of its own here.
    if (m_cuttingHere && !m_directPacket && m_receivedPackets.empty() && !m_dispatchPending
        && isBlockRequest(packet)) {
        m_directPacket.emplace(packet);
        return;
    }
    m_receivedPackets.push_back(packet);
    if (!m_dispatchPending)
        postDispatchEvent();
}

void ZantLinkTerminalService::postDispatchEvent()
{
    // Called with the mutex held. A plain event rather than a queued functor: the functor's
    // storage would be written here and read by the GUI thread before any code of ours runs
    // there, and ThreadSanitizer cannot see the ordering Qt's event queue provides. The event
    // itself is only touched by Qt; it is owned by the event queue from postEvent on.
    m_dispatchPending = true;
    auto *event = new QEvent(dispatchEventType());
    Utilities::ThreadSanitizer::release(&m_handover);
    QCoreApplication::postEvent(this, event);
}

void ZantLinkTerminalService::customEvent(QEvent *event)
{
    // Before the event is even looked at: the worker allocated it.
    Utilities::ThreadSanitizer::acquire(&m_handover);
    if (event->type() != dispatchEventType()) {
        QThread::customEvent(event);
        return;
    }
    // One packet per event, and the event for the next packet is posted before this one is
    // dispatched. A slot may wait in a local event loop while its packet is dispatched: that
    // loop then finds the next packet's event freshly posted and dispatches it, and so on, in
    // arrival order. (An event loop started while the GUI thread is already delivering posted
    // events does not look again at events that were queued before that delivery began, until
    // something new is posted; so one event per packet, all posted up front, would wait for
    // the end of the slot.)
    std::optional<ZantLinkPacket> packet;
    {
        Utilities::MutexLocker lock(m_mutex);
        m_dispatchPending = false;
        if (m_receivedPackets.empty())
            return;
        packet.emplace(m_receivedPackets.front());
        m_receivedPackets.pop_front();
        if (!m_receivedPackets.empty())
            postDispatchEvent();
    }
    // The packet is a local copy: a slot may destroy this service (with its application)
    // while the packet is dispatched, and nothing here touches the service afterwards.
    dispatch(*packet);
}

QEvent::Type ZantLinkTerminalService::dispatchEventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool ZantLinkTerminalService::isBlockRequest(const ZantLinkPacket &packet)
{
    return packet.getCommand() == ZantLinkCommandCode::Memblock
        && packet.getDestination() == ZantLinkPacket::Host;
}

std::optional<ZantLinkPacket> ZantLinkTerminalService::cutHere()
{
    m_cuttingHere = true;
    while (!m_directPacket && receiveStep()) { }
    m_cuttingHere = false;
    std::optional<ZantLinkPacket> packet = std::move(m_directPacket);
    m_directPacket.reset();
    return packet;
}

void ZantLinkTerminalService::handleDataReceived(const QByteArray &data)
{
    std::optional<ZantLinkPacket> blockRequest;
    {
        Utilities::MutexLocker lock(m_mutex);
        writeBytes(data);
        // A request or an answer is cut here at once: handing its bytes to the worker and the
        // packet back to this thread would cost two thread switches per packet, and the device
        // feels them (a firmware transfer asks for one block at a time). A burst larger than
        // the ring goes to the worker, so this thread never spends long cutting.
        if (data.size() > RingSize || bytesWaiting() != 0) {
            m_dataAvailable.wakeAll();
            return;
        }
        blockRequest = cutHere();
    }
    // A block request with nothing ahead of it is answered without a pass of the event loop;
    // the bytes behind it are cut once it has been dispatched, so the order stays. Dispatch
    // may destroy this service: nothing of it is touched then.
    while (blockRequest) {
        const QPointer<ZantLinkTerminalService> alive(this);
        dispatch(*blockRequest);
        if (alive.isNull())
            return;
        Utilities::MutexLocker lock(m_mutex);
        blockRequest = cutHere();
    }
}

void ZantLinkTerminalService::handleDataTransmitted(const QByteArray &data)
{
    // A firmware block's line is 2.5 kB of hexadecimal: built only when someone reads it.
    static const QMetaMethod transmitted
        = QMetaMethod::fromSignal(&ZantLinkTerminalService::commandTransmitted);
    if (isSignalConnected(transmitted))
        emit commandTransmitted(ZantLinkPacketLog::line(ZantLinkPacket(data)));
}

bool ZantLinkTerminalService::receivedLogIsRead() const
{
    static const QMetaMethod received
        = QMetaMethod::fromSignal(&ZantLinkTerminalService::commandReceived);
    return isSignalConnected(received);
}

// Every emit below may run a slot that waits in a local event loop (further packets are
// dispatched meanwhile) or destroys the device application and this service with it. After an
// emit, nothing of the service is touched unless the guard shows it still exists, and signal
// arguments are local copies, never members.
void ZantLinkTerminalService::dispatch(const ZantLinkPacket &packet)
{
    if (receivedLogIsRead()) {
        const QPointer<ZantLinkTerminalService> alive(this);
        emit commandReceived(ZantLinkPacketLog::line(packet));
        if (alive.isNull())
            return;
    }
    for (const ZantLinkCommand &entry : m_commands) {
        if (entry.matches(packet.getCommand())) {
            entry.handler(packet);
            return;
        }
    }
}

void ZantLinkTerminalService::handleAnswerText(const ZantLinkPacket &packet)
{
    // An answer whose arguments are missing or too short has been logged and goes no further.
    QByteArray text;
    if (ZantLinkPacketLog::answerText(packet, text))
        emit commandReceived(text);
}

void ZantLinkTerminalService::handleSoftwareVersion(const ZantLinkPacket &packet)
{
    const QPointer<ZantLinkTerminalService> alive(this);
    handleAnswerText(packet);
    const ZantLinkPacket::Argument *argument = packet.argumentWith(0, 4);
    if (alive.isNull() || argument == nullptr)
        return;
    const uint8_t source = packet.getSource();
    if (source == ZantLinkPacket::Platform || source == ZantLinkPacket::Display)
        emit softwareVersionReported(source,
                                     Utilities::LittleEndian::read<uint32_t>(argument->data));
}

void ZantLinkTerminalService::handleName(const ZantLinkPacket &packet)
{
    const ZantLinkPacket::Argument *argument = packet.argumentWith(0, 0);
    if (argument == nullptr)
        return;
    const QByteArray name = argument->toByteArray();
    const QPointer<ZantLinkTerminalService> alive(this);
    switch (packet.getSource()) {
    case ZantLinkPacket::Platform:
        m_platformName = name;
        emit commandReceived(name);
        if (!alive.isNull())
            emit terminalPlatformReady();
        break;
    case ZantLinkPacket::Display:
        m_displayName = name;
        emit commandReceived(name);
        if (!alive.isNull())
            emit terminalDisplayReady();
        break;
    default:
        break;
    }
}

void ZantLinkTerminalService::handleMemblock(const ZantLinkPacket &packet)
{
    if (const ZantLinkPacket::Argument *blockNumber = packet.argumentWith(0, 2))
        emit requestMemblock(Utilities::LittleEndian::read<uint16_t>(blockNumber->data));
}

void ZantLinkTerminalService::handleModelValue(const ZantLinkPacket &packet)
{
    const ZantLinkPacket::Argument *identifierArgument = packet.argumentWith(0, 2);
    const ZantLinkPacket::Argument *content = packet.argumentWith(1, 0);
    if (identifierArgument == nullptr || content == nullptr)
        return;
    const uint16_t identifier = Utilities::LittleEndian::read<uint16_t>(identifierArgument->data);

    // The value observer stores the content before notify returns; the value's own change
    // signal may reach a slot on the way.
    const QPointer<ZantLinkTerminalService> alive(this);
    ModelValueEvent event(ModelValueEvent::ReceivedFromDevice, identifier, *content);
    notify(ModelValueEvent::Channel, event);
    if (alive.isNull())
        return;
    if (event.refused()) {
        reportDroppedModelValue(identifier, content->count);
        return;
    }

    // Measurements stream at up to a thousand a second: their lines only when someone reads.
    if (receivedLogIsRead()) {
        const QByteArray text
            = m_modelObserver != nullptr ? m_modelObserver->valueText(identifier) : QByteArray();
        emit commandReceived("ID: " + QByteArray::number(identifier) + " ("
                             + Model::Interfaces::modelValueName(identifier) + "), Value: " + text);
        if (alive.isNull())
            return;
    }

    if (identifier == Model::Interfaces::toNumber(ModelValueID::MeasurementPhase))
        m_currentPhase = content->count > 0 ? content->data[0] : 0;
    emitModelValueSignal(identifier);
}

void ZantLinkTerminalService::reportDroppedModelValue(uint16_t identifier, int byteCount)
{
    ++m_droppedModelValues;
    // Rare and worth seeing: the line is built whether or not the log is read now.
    const QString line
        = tr("ID: %1 (%2): %n content byte(s) fit no content of its type; dropped (%3 so far)",
             nullptr, byteCount)
              .arg(identifier)
              .arg(QString::fromLatin1(Model::Interfaces::modelValueName(identifier)))
              .arg(m_droppedModelValues);
    const QPointer<ZantLinkTerminalService> alive(this);
    emit commandReceived(line.toUtf8());
    if (!alive.isNull())
        emit modelValueDropped(identifier, byteCount);
}

void ZantLinkTerminalService::emitModelValueSignal(uint16_t identifier)
{
    switch (static_cast<ModelValueID>(identifier)) {
    case ModelValueID::TripClass:
        emit tripClassModelValue();
        break;
    case ModelValueID::TripClassMax:
        emit tripClassMaxModelValue();
        break;
    case ModelValueID::NominalCurrent:
        emit nominalCurrentModelValue();
        break;
    case ModelValueID::NominalCurrentMax:
        emit nominalCurrentMaxModelValue();
        break;
    case ModelValueID::SoftstartEnable:
        emit softstartEnableModelValue();
        break;
    case ModelValueID::OperatingMode:
        emit operatingModeModelValue();
        break;
    case ModelValueID::Warning:
    case ModelValueID::Error:
        emit faultTypeModelValue();
        break;
    case ModelValueID::MeasurementPhase:
        emit measurementPhaseModelValue();
        break;
    case ModelValueID::UndercurrentEnable:
        emit undercurrentEnableModelValue();
        break;
    case ModelValueID::UndercurrentThreshold:
        emit undercurrentThresholdModelValue();
        break;
    case ModelValueID::UndercurrentFaultType:
        emit undercurrentFaultTypeModelValue();
        break;
    case ModelValueID::UndervoltageEnable:
        emit undervoltageEnableModelValue();
        break;
    case ModelValueID::UndervoltageThreshold:
        emit undervoltageThresholdModelValue();
        break;
    case ModelValueID::UndervoltageFaultType:
        emit undervoltageFaultTypeModelValue();
        break;
    case ModelValueID::OvervoltageEnable:
        emit overvoltageEnableModelValue();
        break;
    case ModelValueID::OvervoltageThreshold:
        emit overvoltageThresholdModelValue();
        break;
    case ModelValueID::OvervoltageFaultType:
        emit overvoltageFaultTypeModelValue();
        break;
    case ModelValueID::MeasurementVoltage:
        emit measurementVoltageModelValue(m_currentPhase);
        break;
    case ModelValueID::MeasurementCurrent:
        emit measurementCurrentModelValue(m_currentPhase);
        break;
    case ModelValueID::MeasurementActivePower:
        emit measurementActivePowerModelValue();
        break;
    case ModelValueID::MeasurementApparentPower:
        emit measurementApparentPowerModelValue();
        break;
    case ModelValueID::MeasurementReactivePower:
        emit measurementReactivePowerModelValue();
        break;
    case ModelValueID::PlatformVersion:
        emit platformVersionModelValue();
        break;
    case ModelValueID::HardwareIDControllerBoard:
    case ModelValueID::HardwareIDPowerBoard:
    case ModelValueID::HardwareIDDisplayBoard:
        emit hardwareRevisionModelValue();
        break;
    case ModelValueID::OverloadReset:
        emit overloadResetModelValue();
        break;
    case ModelValueID::SerialNumber:
        emit serialNumberModelValue();
        break;
    case ModelValueID::ArticleNumber:
    case ModelValueID::ArticleIndex:
        emit articleNumberModelValue();
        break;
    case ModelValueID::LoadAsymmetryEnable:
        emit loadAsymmetryEnableModelValue();
        break;
    case ModelValueID::LoadAsymmetryThreshold:
        emit loadAsymmetryThresholdModelValue();
        break;
    case ModelValueID::LoadAsymmetryFaultType:
        emit loadAsymmetryFaultTypeModelValue();
        break;
    default:
        // The other identifiers (44 "HousingType" among them) raise no signal.
        break;
    }
}

QList<TerminalCommandItem *> ZantLinkTerminalService::allCommandItems() const
{
    QList<TerminalCommandItem *> items;
    for (const std::unique_ptr<TerminalCommandItem> &item : m_commandItems)
        items.append(item.get());
    return items;
}

QList<TerminalCommandItem *> ZantLinkTerminalService::commandItems() const
{
    // Whether a controller running the given software executes an item of the given mode.
    const auto offered = [](const QByteArray &name, uint32_t mode) {
        if (name == "Application")
            return mode == 0 || mode == 2;
        if (name == "Bootloader")
            return mode == 1 || mode == 2;
        return false;
    };
    QList<TerminalCommandItem *> items;
    for (const std::unique_ptr<TerminalCommandItem> &item : m_commandItems) {
        const QByteArray *name = nullptr;
        if (item->getDestination() == ZantLinkPacket::Platform)
            name = &m_platformName;
        else if (item->getDestination() == ZantLinkPacket::Display)
            name = &m_displayName;
        if (name != nullptr && offered(*name, item->getMode()))
            items.append(item.get());
    }
    return items;
}

} // namespace Service::K27
