#include "SimulatedController.h"

#include "component/Crc32.h"

namespace DeviceSim {

SimulatedController::SimulatedController(quint8 node, const Versions &versions, QObject *parent)
    : QObject(parent)
    , m_node(node)
    , m_versions(versions)
{
}

QByteArray SimulatedController::name() const
{
    return m_mode == Mode::Application ? QByteArrayLiteral("Application")
                                       : QByteArrayLiteral("Bootloader");
}

quint32 SimulatedController::softwareVersion() const
{
    return m_mode == Mode::Application ? m_versions.application : m_versions.bootloader;
}

void SimulatedController::jumpToBootloader()
{
    m_transfer = Transfer::None;
    m_expectedBlock = -1;
    if (m_mode == Mode::Bootloader)
        return;
    m_mode = Mode::Bootloader;
    emit modeChanged(m_mode);
}

void SimulatedController::jumpToApplication()
{
    m_transfer = Transfer::None;
    m_expectedBlock = -1;
    if (m_mode == Mode::Application)
        return;
    m_mode = Mode::Application;
    emit modeChanged(m_mode);
}

void SimulatedController::startUpdate(quint16 blockCount, quint32 imageCrc)
{
    // Only the bootloader writes the application area.
    if (m_mode != Mode::Bootloader || blockCount == 0)
        return;
    m_blockCount = blockCount;
    m_imageCrc = imageCrc;
    m_image.clear();
    m_image.reserve(int(blockCount) * blockSize);
    m_transfer = Transfer::Receiving;
    m_expectedBlock = 0;
    m_attempts = 0;
    m_corrupted = false;
    emit transferStarted(blockCount);
    request(0);
    if (m_faults.repeatRequestBlock == 0)
        request(0);
}

void SimulatedController::request(quint16 blockNumber)
{
    emit blockRequested(blockNumber);
}

void SimulatedController::fail(const QString &reason)
{
    m_transfer = Transfer::Failed;
    m_expectedBlock = -1;
    emit transferFailed(reason);
}

void SimulatedController::receiveBlock(quint16 blockNumber, const QByteArray &data,
                                       quint32 blockCrc)
{
    // Blocks nobody asked for, and the second answer to a repeated request, are dropped.
    if (m_transfer != Transfer::Receiving || int(blockNumber) != m_expectedBlock)
        return;

    QByteArray content = data;
    if (int(blockNumber) == m_faults.corruptBlock && !m_corrupted && !content.isEmpty()) {
        m_corrupted = true;
        content[0] = char(content.at(0) ^ 0x01);
    }

    const bool last = blockNumber + 1 == m_blockCount;
    const bool sizeFits
        = last ? (!content.isEmpty() && content.size() <= blockSize) : content.size() == blockSize;
    if (!sizeFits || crc32(content) != blockCrc) {
        emit blockRejected(blockNumber);
        if (++m_attempts >= maximumBlockAttempts) {
            fail(QStringLiteral("block %1 failed its check %2 times")
                     .arg(blockNumber)
                     .arg(maximumBlockAttempts));
            return;
        }
        request(blockNumber);
        return;
    }

    m_attempts = 0;
    m_image.append(content);
    emit blockAccepted(blockNumber);

    if (int(blockNumber) == m_faults.stallAfterBlock) {
        m_transfer = Transfer::Stalled;
        m_expectedBlock = -1;
        return;
    }
    if (!last) {
        m_expectedBlock = blockNumber + 1;
        request(quint16(m_expectedBlock));
        if (m_expectedBlock == m_faults.repeatRequestBlock)
            request(quint16(m_expectedBlock));
        return;
    }

    if (m_faults.requestBeyondCount)
        request(m_blockCount);
    m_expectedBlock = -1;
    if (crc32(m_image) != m_imageCrc) {
        fail(QStringLiteral("the image's CRC-32 does not match"));
        return;
    }
    m_transfer = Transfer::Done;
    m_versions.application
        = m_versions.afterUpdate != 0 ? m_versions.afterUpdate : m_versions.application + 1;
    m_mode = Mode::Application;
    emit modeChanged(m_mode);
    emit updateCompleted(m_versions.application);
}

quint32 SimulatedController::crc32(const QByteArray &data)
{
    return Crc32().calculate(data.constData(), std::size_t(data.size()));
}

} // namespace DeviceSim
