#pragma once

#include "DeviceSimulatorOptions.h"
#include "LineFaults.h"
#include "ReceivedPacket.h"
#include "SimulatedController.h"
#include "SimulatedModel.h"
#include "UpdateFaults.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>
#include <memory>

class QTemporaryDir;

namespace Component::Interfaces {
class ZantLinkPacket;
}

namespace DeviceSim {

class FaultyLine;
class LinkReceiver;
class PseudoTerminal;
class SimulatedPortList;

// A simulated TORVEX®K27 on a pseudo-terminal: the Platform with the data model and the
// Display, each answering the PC's packets from the node it is addressed to. Everything runs
// on the thread the simulator lives in, driven by that thread's event loop; only the
// received-packet log may be read from any thread.
class DeviceSimulator : public QObject
{
    Q_OBJECT

public:
    enum class Measurement { None, Voltage, Current, Power };

    explicit DeviceSimulator(const DeviceSimulatorOptions &options = {},
                             SimulatedPortList *portList = nullptr, QObject *parent = nullptr);
    ~DeviceSimulator() override;

    // Makes the port and starts serving. False with errorString() when the folder or the
    // pseudo-terminal cannot be made.
    bool start();
    // Removes the port and stops serving.
    void stop();
    QString errorString() const { return m_errorString; }

    // The stable port name: the link to the serial side, for example /tmp/x/ttyK27SIM0.
    QString portName() const;
    QString folder() const { return m_folder; }
    // The kernel's name of the current serial side.
    QString serialName() const;
    bool isPresent() const { return m_present; }

    // The USB port goes away: the line closes and the port leaves the port list. With a
    // time above 0 it comes back by itself after that many milliseconds.
    void goAway(int comeBackAfterMs = 0);
    // A new line behind the same port name, listed again.
    bool comeBack();

    void setLineFaults(const LineFaults &faults);
    LineFaults lineFaults() const;
    // Faults of the next transfers; for one controller or (node 255) for both.
    void setUpdateFaults(const UpdateFaults &faults, quint8 node = 255);
    void setMeasurementPeriod(int milliseconds);
    void setUsbAwayMs(int milliseconds) { m_options.usbAwayMs = milliseconds; }

    // A warning or error as the device detects it: fault phase, capacity and the fault are
    // stored and reported; an error also stops a running motor.
    void injectWarning(const InjectedFault &fault);
    void injectError(const InjectedFault &fault);

    SimulatedModel &model() { return m_model; }
    const SimulatedModel &model() const { return m_model; }
    double modelValue(quint16 id) const { return m_model.value(id); }
    // Changes a content as the device itself would and, if asked, reports it to the PC.
    void setModelValue(quint16 id, double value, bool report = true);
    // Sends "SetModelValue" with the stored content, as the device does unasked.
    void reportModelValue(quint16 id);
    // From now on the value is reported with width content bytes (0 … 8; -1: its own width),
    // as a faulty firmware would.
    void setAnswerWidth(quint16 id, int width);
    // From now on "SetModelValue" for the value is neither stored nor answered (or again both).
    void setWriteIgnored(quint16 id, bool ignored);

    SimulatedController &platform() { return *m_platform; }
    SimulatedController &display() { return *m_display; }
    SimulatedController *controller(quint8 node);
    Measurement measurement() const { return m_measurement; }
    bool displayUpdateActive() const { return m_displayUpdate; }

    // Sends any packet (for tests that need the device to say something unusual).
    void sendPacket(quint16 command, quint8 source, quint8 destination,
                    const QList<QByteArray> &arguments = {});
    // Sends bytes as they are.
    void sendRaw(const QByteArray &bytes);
    // True when nothing waits to be written to the line.
    bool lineIdle() const;
    // Bytes queued for the line that the terminal layer has not taken yet.
    qint64 pendingLineBytes() const;

    // The received-packet log keeps the newest this many packets; a simulator serving for
    // hours (firmware transfers are 2048 packets per MiB) keeps its memory flat.
    static constexpr int receivedLogLimit = 4096;

    // The packets received and accepted since the start or the last clear, oldest first: the
    // newest receivedLogLimit of them.
    QList<ReceivedPacket> receivedPackets() const;
    QList<ReceivedPacket> receivedPackets(quint16 command) const;
    // How many older packets the log has let go since the start or the last clear.
    quint64 droppedReceivedPackets() const;
    void clearReceivedPackets();
    // Writes towards the PC dropped while nobody read the port (see PseudoTerminal), since the
    // start. Device's thread only.
    quint64 droppedWrites() const;

signals:
    void packetReceived(const DeviceSim::ReceivedPacket &packet);
    void packetSent(quint16 command, quint8 source, const QList<QByteArray> &arguments);
    void wentAway();
    void cameBack();
    void blockAccepted(quint8 node, quint16 blockNumber);
    void blockRejected(quint8 node, quint16 blockNumber);
    void updateCompleted(quint8 node, quint32 version);
    void transferFailed(quint8 node, const QString &reason);

private:
    void handlePacket(const Component::Interfaces::ZantLinkPacket &packet);
    void handleBytes(const QByteArray &bytes);
    void handlePlatformPacket(const ReceivedPacket &packet);
    void handleServiceCommand(quint8 node, const ReceivedPacket &packet);
    void handleAction(quint16 action);
    void answer(quint8 node, quint16 command, const QList<QByteArray> &arguments = {});
    void restart(SimulatedController &controller);
    void streamMeasurement();
    void startMeasurement(Measurement kind);
    void stopMeasurement();
    void setOperatingMode(quint8 mode);
    void applyFault(quint16 faultId, const InjectedFault &fault, bool report);
    bool openLine();
    void closeLine();
    void connectController(SimulatedController &controller);

    DeviceSimulatorOptions m_options;
    SimulatedPortList *m_portList;
    std::unique_ptr<QTemporaryDir> m_temporaryFolder;
    QString m_folder;
    QString m_errorString;
    bool m_started = false;
    bool m_present = false;

    PseudoTerminal *m_terminal = nullptr;
    FaultyLine *m_line = nullptr;
    std::unique_ptr<LinkReceiver> m_receiver;
    SimulatedController *m_platform = nullptr;
    SimulatedController *m_display = nullptr;
    SimulatedModel m_model;
    QRandomGenerator m_random;

    Measurement m_measurement = Measurement::None;
    QTimer m_measurementTimer;
    QTimer m_comeBackTimer;
    bool m_displayUpdate = false;
    bool m_maintenance = false;
    quint8 m_dcProtection = 1;

    mutable QMutex m_logMutex;
    QList<ReceivedPacket> m_received;
    quint64 m_droppedReceived = 0;
};

} // namespace DeviceSim
