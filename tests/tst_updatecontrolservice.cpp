#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "service/FirmwareImageCipher.h"
#include "service/UpdateControlService.h"
#include "support/RecordingLinkComponent.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <zlib.h>

using Component::Interfaces::ZantLinkPacket;
using Command = Component::K27::ZantLinkCommandCode;
using Service::K27::FirmwareImageCipher;
using Service::K27::UpdateControlService;
using TestSupport::RecordingLinkComponent;

namespace {

QByteArray image(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 13 + 5) & 0xFF);
    return bytes;
}

// The CRC-32 of zlib: the expectation shares no code with the service.
quint32 crcOf(const QByteArray &bytes)
{
    return quint32(
        crc32(0L, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
}

quint32 number(const ZantLinkPacket::Argument &argument)
{
    quint32 value = 0;
    for (int i = argument.count - 1; i >= 0; --i)
        value = value << 8 | argument.data[i];
    return value;
}

// One packet the service wrote, decoded.
struct Sent
{
    quint16 command;
    quint8 destination;
    QList<QByteArray> arguments;
};

QList<Sent> decode(const QVector<QByteArray> &writes)
{
    QList<Sent> packets;
    for (const QByteArray &bytes : writes) {
        const ZantLinkPacket packet(bytes);
        Sent sent {packet.getCommand(), packet.getDestination(), {}};
        for (int i = 0; i < packet.argumentCount(); ++i)
            sent.arguments.append(packet.argument(i).toByteArray());
        packets.append(sent);
    }
    return packets;
}

} // namespace

// One image to one controller: the announcement, then one "Memblock" per block the device asks
// for, against a link that records what would go out.
class TestUpdateControlService : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    std::unique_ptr<RecordingLinkComponent> m_link;
    std::unique_ptr<UpdateControlService> m_service;

    void setUp() override
    {
        m_link = std::make_unique<RecordingLinkComponent>();
        m_service = std::make_unique<UpdateControlService>();
        m_service->addComponent(m_link.get());
    }
    void tearDown() override
    {
        m_service.reset();
        m_link.reset();
    }

private slots:
    void blockRequests_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("encrypted");
        QTest::addColumn<QList<int>>("requests");
        QTest::addColumn<int>("blockCount");
        QTest::addColumn<QList<int>>("sentBlocks");
        QTest::addColumn<QList<int>>("sentSizes");
        QTest::addColumn<QList<quint32>>("progress");
        // After how many answered requests the transfer finished; -1 never.
        QTest::addColumn<int>("finishedAfter");

        QTest::newRow("1000 bytes") << 1000 << false << QList<int> {0, 1} << 2 << QList<int> {0, 1}
                                    << QList<int> {512, 488} << QList<quint32> {0, 50, 100} << 2;
        QTest::newRow("1000 bytes, encrypted")
            << 1000 << true << QList<int> {0, 1} << 2 << QList<int> {0, 1} << QList<int> {512, 488}
            << QList<quint32> {0, 50, 100} << 2;
        QTest::newRow("exactly 1024 bytes")
            << 1024 << false << QList<int> {0, 1} << 2 << QList<int> {0, 1} << QList<int> {512, 512}
            << QList<quint32> {0, 50, 100} << 2;
        QTest::newRow("block 0 again after block 1")
            << 1000 << false << QList<int> {0, 1, 0} << 2 << QList<int> {0, 1, 0}
            << QList<int> {512, 488, 512} << QList<quint32> {0, 50, 100, 50} << 2;
        QTest::newRow("last block twice finishes once")
            << 1000 << false << QList<int> {0, 1, 1} << 2 << QList<int> {0, 1, 1}
            << QList<int> {512, 488, 488} << QList<quint32> {0, 50, 100, 100} << 2;
        QTest::newRow("request beyond the count")
            << 1000 << false << QList<int> {0, 2, 1, 65535} << 2 << QList<int> {0, 1}
            << QList<int> {512, 488} << QList<quint32> {0, 50, 100} << 2;
        QTest::newRow("one byte") << 1 << false << QList<int> {0} << 1 << QList<int> {0}
                                  << QList<int> {1} << QList<quint32> {0, 100} << 1;
        QTest::newRow("out of order")
            << 1536 << false << QList<int> {2, 0, 1} << 3 << QList<int> {2, 0, 1}
            << QList<int> {512, 512, 512} << QList<quint32> {0, 100, 33, 66} << 1;
    }
    void blockRequests()
    {
        QFETCH(int, size);
        QFETCH(bool, encrypted);
        QFETCH(QList<int>, requests);
        QFETCH(int, blockCount);
        QFETCH(QList<int>, sentBlocks);
        QFETCH(QList<int>, sentSizes);
        QFETCH(QList<quint32>, progress);
        QFETCH(int, finishedAfter);

        const QByteArray plain = image(size);
        const QByteArray file = encrypted ? FirmwareImageCipher().encryptImage(plain) : plain;
        QSignalSpy progressSpy(m_service.get(), &UpdateControlService::progressChanged);
        QSignalSpy finished(m_service.get(), &UpdateControlService::updateFinished);

        QVERIFY(m_service->start(file, encrypted ? 1 : 0, 1));
        QList<Sent> sent = decode(m_link->writes());
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0).command, quint16(Command::ApplicationUpdate));
        QCOMPARE(sent.at(0).destination, quint8(1));
        QCOMPARE(sent.at(0).arguments.size(), 2);
        QCOMPARE(sent.at(0).arguments.at(0).size(), 2);
        QCOMPARE(number({sent.at(0).arguments.at(0).constData(), 2}), quint32(blockCount));
        QCOMPARE(number({sent.at(0).arguments.at(1).constData(), 4}), crcOf(plain));

        int finishedAt = -1;
        for (int i = 0; i < requests.size(); ++i) {
            m_service->sendBlock(quint16(requests.at(i)));
            if (finishedAt < 0 && finished.count() > 0)
                finishedAt = i + 1;
        }
        QCOMPARE(finished.count(), finishedAfter < 0 ? 0 : 1);
        if (finishedAfter >= 0) {
            // The request that completed the image, counted among those that were answered.
            int answered = 0;
            for (int i = 0; i < finishedAt; ++i)
                answered += requests.at(i) < blockCount ? 1 : 0;
            QCOMPARE(answered, finishedAfter);
        }

        sent = decode(m_link->writes()).mid(1);
        QCOMPARE(sent.size(), sentBlocks.size());
        for (int i = 0; i < sent.size(); ++i) {
            const Sent &block = sent.at(i);
            QCOMPARE(block.command, quint16(Command::Memblock));
            QCOMPARE(block.destination, quint8(1));
            QCOMPARE(number({block.arguments.at(0).constData(), 2}), quint32(sentBlocks.at(i)));
            const QByteArray expected = plain.mid(sentBlocks.at(i) * 512, 512);
            QCOMPARE(block.arguments.at(1).size(), sentSizes.at(i));
            QCOMPARE(block.arguments.at(1), expected);
            QCOMPARE(number({block.arguments.at(2).constData(), 4}), crcOf(expected));
        }
        QList<quint32> reported;
        for (const QList<QVariant> &arguments : qAsConst(progressSpy))
            reported.append(arguments.at(0).value<quint32>());
        QCOMPARE(reported, progress);
    }

    void refusedImagesSendNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<quint32>("encrypted");
        QTest::addColumn<bool>("digestError");
        QTest::addColumn<int>("error");

        const QByteArray good = FirmwareImageCipher().encryptImage(image(3000));
        QByteArray tampered = good;
        tampered[FirmwareImageCipher::headerLength + 100]
            = char(tampered.at(FirmwareImageCipher::headerLength + 100) ^ 0x20);
        QByteArray wrongDigest = good;
        wrongDigest[5] = char(wrongDigest.at(5) ^ 0x01);
        QTest::newRow("tampered ciphertext") << tampered << 1u << true << 0;
        QTest::newRow("wrong digest") << wrongDigest << 1u << true << 0;
        QTest::newRow("encrypted but too short") << image(40) << 1u << true << 0;
        QTest::newRow("empty plain image")
            << QByteArray() << 0u << false << int(UpdateControlService::Error::EmptyImage);
        QTest::newRow("65536 blocks") << QByteArray(65536 * 512, 'x') << 0u << false
                                      << int(UpdateControlService::Error::TooLarge);
        QTest::newRow("one byte over 65535 blocks")
            << QByteArray(65535 * 512 + 1, 'x') << 0u << false
            << int(UpdateControlService::Error::TooLarge);
    }
    void refusedImagesSendNothing()
    {
        QFETCH(QByteArray, file);
        QFETCH(quint32, encrypted);
        QFETCH(bool, digestError);
        QFETCH(int, error);

        // After a refused image nothing is left to serve, not even the image sent before it.
        QVERIFY(m_service->start(image(1000), 0, 0));
        m_service->sendBlock(0);
        m_service->sendBlock(1);
        QVERIFY(m_service->isFinished());
        m_link->clear();
        QSignalSpy progressSpy(m_service.get(), &UpdateControlService::progressChanged);
        QSignalSpy digestSpy(m_service.get(), &UpdateControlService::digestError);
        QSignalSpy failed(m_service.get(), &UpdateControlService::transferFailed);

        QVERIFY(!m_service->start(file, encrypted, 0));
        QCOMPARE(digestSpy.count(), digestError ? 1 : 0);
        QCOMPARE(failed.count(), digestError ? 0 : 1);
        if (!digestError) {
            QCOMPARE(int(failed.first().at(0).value<UpdateControlService::Error>()), error);
            QVERIFY(!failed.first().at(1).toString().isEmpty());
        }
        m_service->sendBlock(0);
        QVERIFY(m_link->writes().isEmpty());
        QVERIFY(progressSpy.isEmpty());
        QCOMPARE(m_service->blockCount(), quint16(0));
    }

    void largestImageIsAccepted()
    {
        QVERIFY(m_service->start(QByteArray(65535 * 512, 'y'), 0, 0));
        const QList<Sent> sent = decode(m_link->writes());
        QCOMPARE(sent.size(), 1);
        QCOMPARE(number({sent.at(0).arguments.at(0).constData(), 2}), 65535u);
        m_service->sendBlock(65534);
        QCOMPARE(decode(m_link->writes()).last().arguments.at(1).size(), 512);
    }

    void requestWithoutImageIsIgnored()
    {
        QSignalSpy progressSpy(m_service.get(), &UpdateControlService::progressChanged);
        m_service->sendBlock(0);
        QVERIFY(m_link->writes().isEmpty());
        QVERIFY(progressSpy.isEmpty());
    }

    void stalledTransferEnds_data()
    {
        QTest::addColumn<QList<int>>("requests");
        QTest::addColumn<QString>("message");
        QTest::newRow("no first request")
            << QList<int> {} << QStringLiteral("The device did not ask for the first of 4 blocks");
        QTest::newRow("after block 1")
            << QList<int> {0, 1}
            << QStringLiteral("The device stopped asking for data at block 2 of 4");
    }
    void stalledTransferEnds()
    {
        QFETCH(QList<int>, requests);
        QFETCH(QString, message);
        m_service->setStallTimeouts(10, 10);
        QSignalSpy failed(m_service.get(), &UpdateControlService::transferFailed);
        QVERIFY(m_service->start(image(2000), 0, 0));
        for (const int block : requests)
            m_service->sendBlock(quint16(block));
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.first().at(0).value<UpdateControlService::Error>(),
                 UpdateControlService::Error::Stalled);
        QCOMPARE(failed.first().at(1).toString(), message);
        QVERIFY(!m_service->isTransferring());
        const int written = m_link->writes().size();
        m_service->sendBlock(2);
        QCOMPARE(m_link->writes().size(), written);
    }

    // The stall timer is not re-armed for every block: when it fires it looks at the time of
    // the latest request. A device that keeps asking, for many times the stall time-out in
    // all, never stalls.
    void deviceThatKeepsAskingNeverStalls()
    {
        constexpr int timeoutMs = 100;
        m_service->setStallTimeouts(timeoutMs, timeoutMs);
        QSignalSpy failed(m_service.get(), &UpdateControlService::transferFailed);
        QSignalSpy finished(m_service.get(), &UpdateControlService::updateFinished);
        QVERIFY(m_service->start(image(2000), 0, 0));
        QElapsedTimer asking;
        asking.start();
        // Block 0 again and again, with the event loop (and so the stall timer) turning in
        // between: the gaps are far shorter than the time-out, the whole far longer.
        while (asking.elapsed() < 5 * timeoutMs) {
            m_service->sendBlock(0);
            m_link->clear();
            QCoreApplication::processEvents();
        }
        for (quint16 block = 1; block < 4; ++block)
            m_service->sendBlock(block);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(finished.count(), 1);
    }

    void finishedTransferDoesNotStall()
    {
        m_service->setStallTimeouts(1, 1);
        QSignalSpy failed(m_service.get(), &UpdateControlService::transferFailed);
        QSignalSpy finished(m_service.get(), &UpdateControlService::updateFinished);
        QVERIFY(m_service->start(image(100), 0, 0));
        m_service->sendBlock(0);
        QCOMPARE(finished.count(), 1);
        // A later transfer's stall is the barrier: had the finished one a timer left, it would
        // have fired first.
        QVERIFY(m_service->start(image(100), 0, 1));
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().at(1).toString(),
                 QStringLiteral("The device did not ask for the first of 1 blocks"));
    }

    // The ending ".crypt" marks an encrypted image in any case: "x.CRYPT" is decrypted too.
    void imageFromFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("blockCount");
        QTest::newRow("lower case") << "platform.crypt" << 1;
        QTest::newRow("upper case") << "platform.CRYPT" << 1;
        QTest::newRow("mixed case") << "platform.Crypt" << 1;
        // A plain image is sent as it is: the encrypted bytes, two blocks of them.
        QTest::newRow("plain") << "platform.bin" << 2;
    }
    void imageFromFile()
    {
        QFETCH(QString, name);
        QFETCH(int, blockCount);
        QTemporaryDir folder;
        // 500 bytes: one block plain, two blocks as the encrypted file.
        const QByteArray plain = image(500);
        const QString path = folder.filePath(name);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(FirmwareImageCipher().encryptImage(plain));
        }
        QVERIFY(m_service->startFile(path, 0));
        QCOMPARE(m_service->blockCount(), quint16(blockCount));
        if (blockCount == 1) {
            m_service->sendBlock(0);
            QCOMPARE(decode(m_link->writes()).last().arguments.at(1), plain);
        }
        m_service->cancel();
        QSignalSpy failed(m_service.get(), &UpdateControlService::transferFailed);
        QVERIFY(!m_service->startFile(folder.filePath(QStringLiteral("missing.bin")), 0));
        QCOMPARE(failed.first().at(0).value<UpdateControlService::Error>(),
                 UpdateControlService::Error::EmptyImage);
    }

    // One transfer at a time: a second start while the device pulls an image is refused with
    // a message, and the running image goes on to its end unchanged.
    void secondStartWhileRunningIsRefused()
    {
        const QByteArray first = image(1000);
        QSignalSpy failed(m_service.get(), &UpdateControlService::transferFailed);
        QSignalSpy finished(m_service.get(), &UpdateControlService::updateFinished);
        QVERIFY(m_service->start(first, 0, 0));
        m_service->sendBlock(0);
        m_link->clear();
        QVERIFY(!m_service->start(QByteArray(3000, 'z'), 0, 1));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().at(0).value<UpdateControlService::Error>(),
                 UpdateControlService::Error::Busy);
        QCOMPARE(failed.first().at(1).toString(),
                 QStringLiteral("Another update is running: wait until it has ended, then start "
                                "again"));
        // Nothing was announced for the refused image.
        QVERIFY(m_link->writes().isEmpty());
        QCOMPARE(m_service->blockCount(), quint16(2));
        m_service->sendBlock(1);
        const QList<Sent> sent = decode(m_link->writes());
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0).destination, quint8(0));
        QCOMPARE(sent.at(0).arguments.at(1), first.mid(512));
        QCOMPARE(finished.count(), 1);
        // Once it has ended, the next image may start.
        QVERIFY(m_service->start(QByteArray(3000, 'z'), 0, 1));
    }
};

K27_TEST_GUILESS_MAIN(TestUpdateControlService)
#include "tst_updatecontrolservice.moc"
