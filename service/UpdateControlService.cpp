#include "service/UpdateControlService.h"

#include "component/ZantLinkComponent.h"
#include "service/FirmwareImageCipher.h"
#include "utilities/RegularFile.h"

#include <QCoreApplication>
#include <QLoggingCategory>

namespace Service::K27 {

namespace {
Q_LOGGING_CATEGORY(updateLog, "k27.update")

// The link to the device: component 0.
constexpr uint32_t linkComponentId = 0;
} // namespace

UpdateControlService::UpdateControlService(QObject *parent)
    : QObject(parent)
    , Component::Interfaces::AbstractService(ServiceId)
{
    // Queued connections and signal spies carry the error by value.
    qRegisterMetaType<Service::K27::UpdateControlService::Error>();
    m_stallTimer.setSingleShot(true);
    connect(&m_stallTimer, &QTimer::timeout, this, &UpdateControlService::handleStall);
}

UpdateControlService::~UpdateControlService() = default;

UpdateControlService::Error UpdateControlService::checkImage(const QByteArray &imageFile,
                                                             bool encrypted, QByteArray *plain)
{
    QByteArray image = imageFile;
    if (encrypted && FirmwareImageCipher().verifyImage(image) != FirmwareImageCipher::Check::Ok)
        return Error::DigestMismatch;
    if (image.isEmpty())
        return Error::EmptyImage;
    if (image.size() > maxImageSize)
        return Error::TooLarge;
    if (plain != nullptr)
        *plain = std::move(image);
    return Error::None;
}

QString UpdateControlService::errorText(Error error, int blocksDone, int blockCount)
{
    switch (error) {
    case Error::None:
        return QString();
    case Error::DigestMismatch:
        return QCoreApplication::translate("Service::K27::UpdateControlService",
                                           "Security Error! Wrong Digest");
    case Error::EmptyImage:
        return QCoreApplication::translate("Service::K27::UpdateControlService",
                                           "The firmware image is empty");
    case Error::TooLarge:
        return QCoreApplication::translate(
                   "Service::K27::UpdateControlService",
                   "The firmware image is too large: a device takes at most %1 blocks of 512 bytes")
            .arg(maxBlockCount);
    case Error::Busy:
        return QCoreApplication::translate(
            "Service::K27::UpdateControlService",
            "Another update is running: wait until it has ended, then start again");
    case Error::Stalled:
        if (blocksDone == 0)
            return QCoreApplication::translate("Service::K27::UpdateControlService",
                                               "The device did not ask for the first of %1 blocks")
                .arg(blockCount);
        return QCoreApplication::translate("Service::K27::UpdateControlService",
                                           "The device stopped asking for data at block %1 of %2")
            .arg(blocksDone)
            .arg(blockCount);
    }
    return QString();
}

Component::K27::ZantLinkComponent *UpdateControlService::link() const
{
    return dynamic_cast<Component::K27::ZantLinkComponent *>(getComponent(linkComponentId));
}

bool UpdateControlService::isEncryptedName(const QString &path)
{
    return path.endsWith(QLatin1String(".crypt"), Qt::CaseInsensitive);
}

void UpdateControlService::refuse(Error error)
{
    cancel();
    if (error == Error::DigestMismatch)
        emit digestError();
    else
        emit transferFailed(error, errorText(error));
}

bool UpdateControlService::start(const QByteArray &imageFile, quint32 encrypted, quint8 node)
{
    if (isTransferring()) {
        // The running transfer goes on untouched.
        emit transferFailed(Error::Busy, errorText(Error::Busy));
        return false;
    }
    QByteArray plain;
    const Error error = checkImage(imageFile, encrypted == 1, &plain);
    if (error != Error::None) {
        refuse(error);
        return false;
    }
    m_image = std::move(plain);
    m_imageSize = quint64(m_image.size());
    m_blockCount = quint16((m_imageSize + blockSize - 1) / blockSize);
    m_node = node;
    m_finished = false;
    m_blocksDone = 0;
    m_lastRequestAt = -1;
    m_clock.start();
    emit progressChanged(0);

    const uint32_t crcAll = m_crc.calculate(m_image.constData(), std::size_t(m_imageSize));
    if (Component::K27::ZantLinkComponent *const device = link())
        device->sendApplicationUpdate(m_node, m_blockCount, crcAll);
    m_stallTimer.start(m_firstRequestTimeoutMs);
    return true;
}

bool UpdateControlService::startFile(const QString &path, quint8 node)
{
    if (isTransferring()) {
        emit transferFailed(Error::Busy, errorText(Error::Busy));
        return false;
    }
    // Only a regular file, and no more than the largest image with room for its header: a
    // FIFO chosen in the dialog cannot block the window. A file that cannot be read is an
    // empty image, which start refuses.
    Utilities::RegularFile::Result result = Utilities::RegularFile::Result::Read;
    const QByteArray bytes = Utilities::RegularFile::read(path, maxImageSize + 64 * 1024, &result);
    if (result == Utilities::RegularFile::Result::TooLarge) {
        refuse(Error::TooLarge);
        return false;
    }
    return start(bytes, isEncryptedName(path) ? 1 : 0, node);
}

void UpdateControlService::sendBlock(quint16 blockNumber)
{
    if (m_blockCount == 0) {
        qCInfo(updateLog, "block %u requested with no image loaded: ignored", blockNumber);
        return;
    }
    if (blockNumber >= m_blockCount) {
        qCInfo(updateLog, "block %u requested of an image of %u blocks: ignored", blockNumber,
               m_blockCount);
        return;
    }
    const quint64 offset = quint64(blockNumber) * blockSize;
    const auto length = quint16(qMin<quint64>(m_imageSize - offset, blockSize));
    const char *const data = m_image.constData() + offset;
    const uint32_t crcBlock = m_crc.calculate(data, length);
    if (Component::K27::ZantLinkComponent *const device = link())
        device->sendMemblock(m_node, blockNumber, data, length, crcBlock);

    if (!m_finished) {
        // Re-arming the timer for every block would cost more than the rest of the block's
        // handling: the time of the request is noted, and the timer looks at it when it fires.
        const bool firstRequest = m_lastRequestAt < 0;
        m_lastRequestAt = m_clock.elapsed();
        if (firstRequest || !m_stallTimer.isActive())
            m_stallTimer.start(m_blockRequestTimeoutMs);
    }
    m_blocksDone = qMax(m_blocksDone, blockNumber + 1);
    emit blockSent(blockNumber, m_blockCount);
    emit progressChanged(quint32((blockNumber + 1) * 100 / m_blockCount));
    // A repeated request for the last block gets the block again, but the transfer ends once.
    if (blockNumber + 1 == m_blockCount && !m_finished) {
        m_finished = true;
        m_stallTimer.stop();
        emit updateFinished();
    }
}

void UpdateControlService::cancel()
{
    m_stallTimer.stop();
    m_image.clear();
    m_imageSize = 0;
    m_blockCount = 0;
    m_finished = false;
    m_blocksDone = 0;
    m_lastRequestAt = -1;
    m_readingLine = false;
}

void UpdateControlService::setStallTimeouts(int firstRequestMs, int blockRequestMs)
{
    m_firstRequestTimeoutMs = firstRequestMs;
    m_blockRequestTimeoutMs = blockRequestMs;
}

bool UpdateControlService::requestedRecently()
{
    if (m_lastRequestAt < 0)
        return false;
    const int allowed = m_blockRequestTimeoutMs;
    const qint64 quiet = m_clock.elapsed() - m_lastRequestAt;
    if (quiet >= allowed)
        return false;
    m_stallTimer.start(int(allowed - quiet));
    return true;
}

void UpdateControlService::handleStall()
{
    if (!isTransferring() || m_readingLine || requestedRecently())
        return;
    // The program may not have run for a while (a busy or suspended computer): the device's
    // request can be waiting unread. The line is read first; its packets are handed on as
    // posted events, and the decision is posted after them.
    m_readingLine = true;
    if (Component::K27::ZantLinkComponent *const device = link())
        device->readPending();
    QMetaObject::invokeMethod(this, &UpdateControlService::decideStall, Qt::QueuedConnection);
}

void UpdateControlService::decideStall()
{
    if (!m_readingLine)
        return;
    m_readingLine = false;
    // A request that was waiting keeps the transfer going, timed from that request.
    if (!isTransferring() || requestedRecently())
        return;
    const int done = m_blocksDone;
    const int count = m_blockCount;
    cancel();
    emit transferFailed(Error::Stalled, errorText(Error::Stalled, done, count));
}

} // namespace Service::K27
