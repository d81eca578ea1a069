#pragma once

#include "UpdateFaults.h"

#include <QByteArray>
#include <QObject>

namespace DeviceSim {

// One controller of the device, "Platform" or "Display": what software it runs, its versions,
// and the bootloader's side of a firmware transfer. The controller pulls the image: after
// "ApplicationUpdate" it asks for block 0, 1, … itself, checks every block's CRC-32 (asking
// again for a bad one) and the whole image's CRC-32 at the end.
class SimulatedController : public QObject
{
    Q_OBJECT

public:
    enum class Mode { Application, Bootloader };
    enum class Transfer { None, Receiving, Stalled, Failed, Done };

    static constexpr int blockSize = 512;
    // A block that fails its check this many times in a row ends the transfer.
    static constexpr int maximumBlockAttempts = 10;

    struct Versions
    {
        quint32 application = 0;
        quint32 bootloader = 0;
        quint32 hal = 0;
        // The version the application reports after a successful update; 0 means the old
        // application version plus one.
        quint32 afterUpdate = 0;
    };

    SimulatedController(quint8 node, const Versions &versions, QObject *parent = nullptr);

    quint8 node() const { return m_node; }
    Mode mode() const { return m_mode; }
    // The answer to "GetName": the running software.
    QByteArray name() const;
    // The answer to "GetSWVersion": the version of the running software.
    quint32 softwareVersion() const;
    quint32 applicationVersion() const { return m_versions.application; }
    quint32 halVersion() const { return m_versions.hal; }
    void setVersions(const Versions &versions) { m_versions = versions; }
    const Versions &versions() const { return m_versions; }

    void setUpdateFaults(const UpdateFaults &faults) { m_faults = faults; }
    const UpdateFaults &updateFaults() const { return m_faults; }

    Transfer transfer() const { return m_transfer; }
    quint16 blockCount() const { return m_blockCount; }
    int expectedBlock() const { return m_expectedBlock; }
    QByteArray receivedImage() const { return m_image; }

    void jumpToBootloader();
    void jumpToApplication();
    // Starts a transfer of blockCount blocks whose whole image has the given CRC-32.
    void startUpdate(quint16 blockCount, quint32 imageCrc);
    // A "Memblock" from the PC.
    void receiveBlock(quint16 blockNumber, const QByteArray &data, quint32 blockCrc);

    static quint32 crc32(const QByteArray &data);

signals:
    // Ask the PC for a block (sent as "Memblock" to the Host).
    void blockRequested(quint16 blockNumber);
    void modeChanged(DeviceSim::SimulatedController::Mode mode);
    void transferStarted(quint16 blockCount);
    void blockAccepted(quint16 blockNumber);
    void blockRejected(quint16 blockNumber);
    // The transfer ended without a new application: a block failed too often, or the
    // whole image's CRC did not match. The controller stays in its bootloader.
    void transferFailed(const QString &reason);
    // The image was accepted and the controller runs the new application.
    void updateCompleted(quint32 newVersion);

private:
    void request(quint16 blockNumber);
    void fail(const QString &reason);

    quint8 m_node;
    Versions m_versions;
    UpdateFaults m_faults;
    Mode m_mode = Mode::Application;
    Transfer m_transfer = Transfer::None;
    quint16 m_blockCount = 0;
    quint32 m_imageCrc = 0;
    int m_expectedBlock = -1;
    int m_attempts = 0;
    bool m_corrupted = false;
    QByteArray m_image;
};

} // namespace DeviceSim
