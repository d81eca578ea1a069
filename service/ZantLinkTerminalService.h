#pragma once

#include "component/AbstractZantLinkTerminal.h"
#include "component/ZantLinkCommand.h"
#include "component/ZantLinkPacket.h"

#include <QByteArray>
#include <QEvent>
#include <QList>
#include <QMutex>
#include <QSharedPointer>
#include <QThread>
#include <QWaitCondition>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace Application::K27 {
class SerialPort;
class TerminalCommandItem;
} // namespace Application::K27

namespace Component::K27 {
class ZantLinkComponent;
} // namespace Component::K27

namespace Model::Observer {
class ModelValueObserver;
} // namespace Model::Observer

namespace Service::K27 {

// The receiving end of the link for one device: logs every packet sent and received, cuts the
// bytes from the serial port into packets and hands each one to the handler registered for
// its command code. Handlers turn answers into log lines, bring model contents from the device
// into the model and raise the signals the device window listens to.
//
// Two threads meet here. The serial port delivers bytes on the GUI thread; they go into the
// receive ring under the mutex. A delivery that fits the ring is cut into packets (cutting, CRC
// check) there and then, which spares a request two thread switches on its way to its answer; a
// larger burst wakes the worker thread, which runs the receive steps beside the GUI thread and
// sleeps whenever a step cannot move on. Either runs the steps only with the mutex held, so the
// packets come out in arrival order. Bytes the ring has no room for wait, in order, until the
// receiver has consumed enough: nothing that arrives is dropped unread.
// Every valid packet is then handed to the GUI thread as a copy, through a hand-over queue and
// one posted event per packet: the log line, the handler, the model update and the signal all
// run there, in that order. A block request cut on the GUI thread with nothing handed over
// ahead of it is dispatched there and then instead: the device waits for each block before it
// asks for the next, and a posted event would add a pass of the event loop to every block. Its
// slots run inside the serial port's read, so bytes that arrive while one of them waits in a
// local event loop are dispatched once it has returned. The
// model is therefore only ever written and read on the GUI thread, and a window slot connected to
// one of the value signals reads exactly the content that raised it (a voltage of L1 followed
// closely by one of L2 cannot make the L1 slot see L2's value).
//
// Packets are dispatched in arrival order. A slot may wait in a local event loop: the loop
// dispatches the packets that arrive meanwhile, still in order. A slot may also destroy the
// device application, and this service with it, during such a wait: dispatch touches nothing of
// the service after an emit that destroyed it, and packets not yet dispatched go with it.
//
// Nothing is matched to requests: an answer is recognised by its command code alone, and an
// answer that never comes leaves no trace.
class ZantLinkTerminalService
    : public QThread
    , public Component::Interfaces::AbstractZantLinkTerminal
{
    Q_OBJECT

public:
    static constexpr uint32_t ServiceId = 0;
    static constexpr int CommandTableSize = 46;
    // The link component the service greets the controllers through.
    static constexpr uint32_t LinkComponentId = 0;

    // Subscribes to the port's received and transmitted data; a null port (a window without
    // device) leaves the service without input.
    ZantLinkTerminalService(
        const QSharedPointer<Application::K27::SerialPort> &serialPort,
        const QSharedPointer<Model::Observer::ModelValueObserver> &modelObserver,
        QObject *parent = nullptr);
    // Stops the worker (promptly, even while it waits for bytes) and waits for it to end.
    ~ZantLinkTerminalService() override;

    // Starts the receiver and the worker thread, then greets the Platform and the Display with
    // "GetName" through link component 0.
    void onStart() override;
    // Idles the receiver; bytes keep arriving into the ring and the worker keeps running.
    void onStop() override;
    // One receive step. The worker runs the steps; the program never calls this.
    void onProcess() override;
    // Called by a receive step (on the GUI thread or the worker) with the mutex held: hands a
    // copy of the packet over for dispatch on the service's own (GUI) thread.
    void onPacketReceived(const Component::Interfaces::ZantLinkPacket &packet) override;

    // The service-mode commands the controllers can execute now: Platform items by the
    // Platform's name, Display items by the Display's name. Mode 0 items while the name is
    // "Application", mode 1 items while it is "Bootloader", mode 2 items in both cases, none
    // while the name is anything else. List order is kept. The items stay owned by the
    // service.
    QList<Application::K27::TerminalCommandItem *> commandItems() const;
    // Every service-mode command, in list order.
    QList<Application::K27::TerminalCommandItem *> allCommandItems() const;

    // The last "GetName" answers ("Application", "Bootloader"); empty until the first.
    QByteArray platformName() const { return m_platformName; }
    QByteArray displayName() const { return m_displayName; }
    // "SetModelValue" contents the model dropped since the start because their width fits
    // no content of the value's type (a float of 1 byte, a fifth byte): each is also a line
    // in the packet log and a modelValueDropped signal, never a value.
    quint64 droppedModelValues() const { return m_droppedModelValues; }
    // The phase the last "MeasurementPhase" content announced.
    uint8_t currentPhase() const { return m_currentPhase; }
    const Component::Interfaces::ZantLinkCommand &command(int index) const;

signals:
    void terminalPlatformReady();
    void terminalDisplayReady();
    void commandTransmitted(QByteArray data);
    void commandReceived(QByteArray data);
    void requestMemblock(quint16 blockNumber);
    // A controller's answer to "GetSWVersion": the packed version of the software it runs.
    void softwareVersionReported(quint8 node, quint32 version);
    // The device sent a content for the value whose width fits no content of its type; the
    // model kept what it had.
    void modelValueDropped(quint16 identifier, int byteCount);
    void articleNumberModelValue();
    void serialNumberModelValue();
    void platformVersionModelValue();
    void hardwareRevisionModelValue();
    void nominalCurrentModelValue();
    void nominalCurrentMaxModelValue();
    void tripClassModelValue();
    void tripClassMaxModelValue();
    void softstartEnableModelValue();
    void overloadResetModelValue();
    void undercurrentThresholdModelValue();
    void undercurrentFaultTypeModelValue();
    void undercurrentEnableModelValue();
    void undervoltageThresholdModelValue();
    void undervoltageFaultTypeModelValue();
    void undervoltageEnableModelValue();
    void overvoltageThresholdModelValue();
    void overvoltageFaultTypeModelValue();
    void overvoltageEnableModelValue();
    void loadAsymmetryThresholdModelValue();
    void loadAsymmetryFaultTypeModelValue();
    void loadAsymmetryEnableModelValue();
    void faultTypeModelValue();
    void operatingModeModelValue();
    void measurementPhaseModelValue();
    void measurementCurrentModelValue(quint8 phase);
    void measurementVoltageModelValue(quint8 phase);
    void measurementActivePowerModelValue();
    void measurementReactivePowerModelValue();
    void measurementApparentPowerModelValue();

public slots:
    void handleDataTransmitted(const QByteArray &data);
    void handleDataReceived(const QByteArray &data);

protected:
    // The worker loop.
    void run() override;
    // Dispatches the oldest packet handed over, on the service's own thread.
    void customEvent(QEvent *event) override;

private:
    using Packet = Component::Interfaces::ZantLinkPacket;

    static QEvent::Type dispatchEventType();
    void buildCommandTable();
    void buildCommandItems();
    // Whether anything listens to commandReceived: the log lines of received packets (a
    // firmware block's is 2.5 kB, measurements stream) are built only then.
    bool receivedLogIsRead() const;
    // Log line, then the handler of the packet's code (GUI thread).
    void dispatch(const Packet &packet);
    // Posts the event that dispatches the oldest handed-over packet (mutex held).
    void postDispatchEvent();
    // Runs the receive steps on the GUI thread (mutex held) until the ring is cut as far as it
    // goes or a block request is to be dispatched at once; returns that request.
    std::optional<Component::Interfaces::ZantLinkPacket> cutHere();
    static bool isBlockRequest(const Component::Interfaces::ZantLinkPacket &packet);

    void handleAnswerText(const Packet &packet);
    void handleName(const Packet &packet);
    void handleSoftwareVersion(const Packet &packet);
    void handleMemblock(const Packet &packet);
    void handleModelValue(const Packet &packet);
    void emitModelValueSignal(uint16_t identifier);
    // Counts a content the model dropped, logs it and tells whoever waits for the value.
    void reportDroppedModelValue(uint16_t identifier, int byteCount);

    std::array<Component::Interfaces::ZantLinkCommand, CommandTableSize> m_commands;
    std::vector<std::unique_ptr<Application::K27::TerminalCommandItem>> m_commandItems;
    QSharedPointer<Application::K27::SerialPort> m_serialPort;
    QSharedPointer<Model::Observer::ModelValueObserver> m_modelObserver;
    // Guards the ring, the receiver state and m_stopRequested.
    QMutex m_mutex;
    QWaitCondition m_dataAvailable;
    bool m_stopRequested = false;
    // Valid packets cut and not yet dispatched, oldest first; guarded by the
    // mutex. A dispatch event is on its way while m_dispatchPending is set.
    std::deque<Component::Interfaces::ZantLinkPacket> m_receivedPackets;
    bool m_dispatchPending = false;
    // While the GUI thread runs the receive steps (mutex held): a block request it cuts with
    // nothing handed over ahead of it goes to m_directPacket instead of the queue.
    bool m_cuttingHere = false;
    std::optional<Component::Interfaces::ZantLinkPacket> m_directPacket;
    QByteArray m_platformName;
    QByteArray m_displayName;
    uint8_t m_currentPhase = 0;
    quint64 m_droppedModelValues = 0;
    Component::K27::ZantLinkComponent *m_linkComponent = nullptr;
    // Stands for the hand-over of packets through Qt's event queue in sanitizer builds.
    char m_handover = 0;
};

} // namespace Service::K27
