#pragma once

#include "component/AbstractService.h"
#include "component/Crc32.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

namespace Component::K27 {
class ZantLinkComponent;
} // namespace Component::K27

namespace Service::K27 {

// Sends one application image to one controller. start() announces the image with
// "ApplicationUpdate"; from then on the controller pulls it: every block request that reaches
// sendBlock() is answered with that 512-byte block in a "Memblock" packet. The transfer counts
// as finished once the last block has been sent, and is finished only once.
//
// A transfer the device stops asking for ends with transferFailed(Stalled): the controller
// gets firstRequestTimeout() after the announcement (it erases its flash before the first
// request) and blockRequestTimeout() between two requests, measured from its last request that
// was handled. Before a stall is declared, the line is read: a request that waits unread (the
// program did not run for a while) keeps the transfer going.
//
// One transfer at a time: a start() while a transfer runs is refused (transferFailed(Busy));
// the running image is never replaced midway.
class UpdateControlService
    : public QObject
    , public Component::Interfaces::AbstractService
{
    Q_OBJECT

public:
    static constexpr uint32_t ServiceId = 1;
    static constexpr int blockSize = 512;
    // The block count travels as an unsigned 16-bit number.
    static constexpr int maxBlockCount = 65535;
    static constexpr qint64 maxImageSize = qint64(maxBlockCount) * blockSize;
    // Erasing the application flash of a controller takes a few seconds; half a minute leaves
    // room for the largest image the block counter allows.
    static constexpr int defaultFirstRequestTimeoutMs = 30000;
    // A block travels and is written in milliseconds; a device that asks nothing for five
    // seconds (a damaged block is asked for again at once) has stopped.
    static constexpr int defaultBlockRequestTimeoutMs = 5000;

    enum class Error {
        None,
        DigestMismatch, // the encrypted image failed its check: nothing was sent
        EmptyImage, // nothing to send: an image of 0 bytes would announce 0 blocks
        TooLarge, // more blocks than the 16-bit block counter holds
        Stalled, // the device stopped asking for blocks
        Busy, // a transfer runs already: nothing was started
    };
    Q_ENUM(Error)

    explicit UpdateControlService(QObject *parent = nullptr);
    ~UpdateControlService() override;

    void onStart() override { }
    void onStop() override { }
    void onProcess() override { }

    // Checks an image as start() will: the digest, plain length and fill of an encrypted file,
    // and that the plain image is neither empty nor too large for the block counter. On None
    // plain holds the image to send.
    static Error checkImage(const QByteArray &imageFile, bool encrypted, QByteArray *plain);
    // The user's text of an error; blocksDone and blockCount say how far a stalled transfer got.
    static QString errorText(Error error, int blocksDone = 0, int blockCount = 0);
    // Whether a file holds an encrypted image: its name ends with ".crypt", in any case.
    static bool isEncryptedName(const QString &path);

    // Begins a transfer to node (0 "Platform", 1 "Display"); encrypted 1 for an encrypted
    // ".crypt" file, 0 for a plain image. A refused image ends the previous transfer, sends
    // nothing and reports no progress: digestError() for a failed check, transferFailed() for
    // an empty or too large image. Returns whether the transfer began.
    bool start(const QByteArray &imageFile, quint32 encrypted, quint8 node);
    // The same from a file: encrypted when isEncryptedName(). An unreadable file counts as an
    // empty image.
    bool startFile(const QString &path, quint8 node);
    // Answers one block request. Requests with no image loaded or at or beyond the block
    // count are ignored (and logged).
    void sendBlock(quint16 blockNumber);
    // Ends the transfer without a message: later requests are ignored.
    void cancel();

    void setStallTimeouts(int firstRequestMs, int blockRequestMs);
    int firstRequestTimeout() const { return m_firstRequestTimeoutMs; }
    int blockRequestTimeout() const { return m_blockRequestTimeoutMs; }

    bool isTransferring() const { return m_blockCount > 0 && !m_finished; }
    bool isFinished() const { return m_finished; }
    quint16 blockCount() const { return m_blockCount; }
    quint8 node() const { return m_node; }
    // Blocks sent so far, counting each block once it was first sent in order.
    int blocksDone() const { return m_blocksDone; }
    // Milliseconds since the announcement.
    qint64 elapsed() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }

signals:
    void progressChanged(quint32 progress);
    void updateFinished();
    void digestError();
    // After every block sent: its number and the image's block count.
    void blockSent(quint16 blockNumber, quint16 blockCount);
    // An image refused for another reason than its digest, or a stalled transfer.
    void transferFailed(Service::K27::UpdateControlService::Error error, const QString &message);

private:
    void refuse(Error error);
    // Whether the device asked for a block within the allowed time; the stall timer then runs on
    // from that request.
    bool requestedRecently();
    void handleStall();
    // The stall timer's decision, once the line has been read.
    void decideStall();
    Component::K27::ZantLinkComponent *link() const;

    Crc32 m_crc;
    quint16 m_blockCount = 0;
    QByteArray m_image;
    quint64 m_imageSize = 0;
    quint8 m_node = 0;
    bool m_finished = false;
    int m_blocksDone = 0;
    int m_firstRequestTimeoutMs = defaultFirstRequestTimeoutMs;
    int m_blockRequestTimeoutMs = defaultBlockRequestTimeoutMs;
    QTimer m_stallTimer;
    QElapsedTimer m_clock;
    // m_clock's reading at the latest block request of this transfer; -1 before the first.
    qint64 m_lastRequestAt = -1;
    // The line is being read before a stall is decided.
    bool m_readingLine = false;
};

} // namespace Service::K27
