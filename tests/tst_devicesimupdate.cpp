#include "component/Crc32.h"
#include "component/ZantLinkCommandCode.h"
#include "support/LinkBytes.h"
#include "support/LinkClient.h"
#include "support/SimulatedDeviceFixture.h"
#include "support/TestRegistry.h"
#include "tools/devicesim/DeviceSimulator.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

using Command = Component::K27::ZantLinkCommandCode;
using DeviceSim::DeviceSimulator;
using DeviceSim::DeviceSimulatorOptions;
using DeviceSim::ReceivedPacket;
using DeviceSim::SimulatedController;
using DeviceSim::UpdateFaults;
using TestSupport::LinkClient;

namespace {
constexpr quint8 platform = 0;
constexpr quint8 display = 1;

quint32 crcOf(const QByteArray &bytes)
{
    return Crc32().calculate(bytes.constData(), std::size_t(bytes.size()));
}

QByteArray image(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + 3) & 0xFF);
    return bytes;
}
} // namespace

// The device pulls a firmware image block by block: the PC only answers its requests.
class TestDeviceSimulatorUpdate : public TestSupport::SimulatedDeviceFixture
{
    Q_OBJECT

private:
    bool connectDevice(DeviceSimulatorOptions options = {})
    {
        options.platform.application = 0x01000000;
        options.platform.afterUpdate = 0x01020003;
        return openDevice(options);
    }

    // The block numbers the device has asked for so far.
    QList<quint32> requests() const
    {
        QList<quint32> numbers;
        for (const ReceivedPacket &packet : m_pc->packets(Command::Memblock))
            numbers.append(packet.number(0));
        return numbers;
    }

    void sendBlock(quint8 node, const QByteArray &bytes, quint16 blockNumber, bool damaged = false)
    {
        const QByteArray block = bytes.mid(blockNumber * 512, 512);
        const quint32 crc = crcOf(block) ^ (damaged ? 1u : 0u);
        m_pc->send(Command::Memblock, node,
                   {TestSupport::u16(blockNumber), block, TestSupport::u32(crc)});
    }

    void enterBootloader(quint8 node)
    {
        m_pc->send(Command::JumpToBootloader, node);
        QTRY_COMPARE(m_device->controller(node)->mode(), SimulatedController::Mode::Bootloader);
    }

    void announce(quint8 node, const QByteArray &bytes, quint32 crc)
    {
        const quint16 blocks = quint16((bytes.size() + 511) / 512);
        m_pc->send(Command::ApplicationUpdate, node,
                   {TestSupport::u16(blocks), TestSupport::u32(crc)});
    }

private slots:

    void fullBlockPullOfAThousandBytes_data()
    {
        QTest::addColumn<quint8>("node");
        QTest::newRow("Platform") << platform;
        QTest::newRow("Display") << display;
    }
    void fullBlockPullOfAThousandBytes()
    {
        QFETCH(quint8, node);
        QVERIFY(connectDevice());
        const QByteArray bytes = image(1000);
        QSignalSpy completed(m_device.get(), &DeviceSimulator::updateCompleted);
        enterBootloader(node);
        m_pc->send(Command::GetName, node);
        QVERIFY(m_pc->waitFor(Command::GetName));
        QCOMPARE(m_pc->packets(Command::GetName).first().arguments.first(),
                 QByteArray("Bootloader"));

        announce(node, bytes, crcOf(bytes));
        QVERIFY(m_pc->waitFor(Command::Memblock, 1));
        const ReceivedPacket first = m_pc->packets(Command::Memblock).first();
        QCOMPARE(first.source, node);
        QCOMPARE(first.destination, quint8(2));
        QCOMPARE(first.arguments, QList<QByteArray>({TestSupport::u16(0)}));
        sendBlock(node, bytes, 0);
        QVERIFY(m_pc->waitFor(Command::Memblock, 2));
        QCOMPARE(requests(), QList<quint32>({0, 1}));
        sendBlock(node, bytes, 1);

        QVERIFY(completed.wait(5000) || completed.count() == 1);
        QCOMPARE(completed.first().at(0).value<quint8>(), node);
        QCOMPARE(m_device->controller(node)->receivedImage(), bytes);
        QCOMPARE(m_device->controller(node)->mode(), SimulatedController::Mode::Application);

        // What the PC sent: the announcement, then 512 and 488 bytes with their CRCs.
        const QList<ReceivedPacket> blocks = m_device->receivedPackets(Command::Memblock);
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(blocks.at(0).arguments.at(1).size(), 512);
        QCOMPARE(blocks.at(1).arguments.at(1).size(), 488);
        const ReceivedPacket announcement
            = m_device->receivedPackets(Command::ApplicationUpdate).first();
        QCOMPARE(announcement.number(0), 2u);
        QCOMPARE(announcement.number(1), crcOf(bytes));

        m_pc->clear();
        m_pc->send(Command::GetName, node);
        m_pc->send(Command::GetSWVersion, node);
        QVERIFY(m_pc->waitFor(Command::GetSWVersion));
        QCOMPARE(m_pc->packets(Command::GetName).first().arguments.first(),
                 QByteArray("Application"));
        // The Platform reports the configured version, the Display its old one plus one.
        QCOMPARE(m_pc->packets(Command::GetSWVersion).first().number(0),
                 node == platform ? 0x01020003u : 0x01000001u);
        if (node == platform)
            QCOMPARE(m_device->modelValue(39), double(0x01020003u));
    }

    void corruptedBlockIsRequestedAgain()
    {
        QVERIFY(connectDevice());
        const QByteArray bytes = image(1000);
        QSignalSpy rejected(m_device.get(), &DeviceSimulator::blockRejected);
        QSignalSpy completed(m_device.get(), &DeviceSimulator::updateCompleted);
        enterBootloader(platform);
        announce(platform, bytes, crcOf(bytes));
        QVERIFY(m_pc->waitFor(Command::Memblock, 1));
        sendBlock(platform, bytes, 0, true);
        QVERIFY(m_pc->waitFor(Command::Memblock, 2));
        QCOMPARE(requests(), QList<quint32>({0, 0}));
        QCOMPARE(rejected.count(), 1);
        sendBlock(platform, bytes, 0);
        QVERIFY(m_pc->waitFor(Command::Memblock, 3));
        QCOMPARE(requests(), QList<quint32>({0, 0, 1}));
        sendBlock(platform, bytes, 1);
        QTRY_COMPARE(completed.count(), 1);
        QCOMPARE(m_device->platform().receivedImage(), bytes);
    }

    void damagedBlocksAreRefused_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("correctCrc");
        QTest::newRow("wrong CRC") << image(512) << false;
        QTest::newRow("short middle block") << image(500) << true;
        QTest::newRow("long block") << image(513) << true;
        QTest::newRow("empty block") << QByteArray() << true;
    }
    void damagedBlocksAreRefused()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, correctCrc);
        QVERIFY(connectDevice());
        enterBootloader(platform);
        m_pc->send(Command::ApplicationUpdate, platform,
                   {TestSupport::u16(3), TestSupport::u32(0)});
        QVERIFY(m_pc->waitFor(Command::Memblock, 1));
        m_pc->send(
            Command::Memblock, platform,
            {TestSupport::u16(0), data, TestSupport::u32(crcOf(data) ^ (correctCrc ? 0u : 4u))});
        QVERIFY(m_pc->waitFor(Command::Memblock, 2));
        QCOMPARE(requests(), QList<quint32>({0, 0}));
        QVERIFY(m_device->platform().receivedImage().isEmpty());
    }

    void wrongImageCrcKeepsTheBootloader()
    {
        QVERIFY(connectDevice());
        const QByteArray bytes = image(1000);
        QSignalSpy failed(m_device.get(), &DeviceSimulator::transferFailed);
        enterBootloader(display);
        announce(display, bytes, crcOf(bytes) + 1);
        QVERIFY(m_pc->waitFor(Command::Memblock, 1));
        sendBlock(display, bytes, 0);
        QVERIFY(m_pc->waitFor(Command::Memblock, 2));
        sendBlock(display, bytes, 1);
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(failed.first().at(1).toString(),
                 QStringLiteral("the image's CRC-32 does not match"));
        QCOMPARE(m_device->display().mode(), SimulatedController::Mode::Bootloader);
        QCOMPARE(m_device->display().applicationVersion(), 0x01000000u);
    }

    void updateIsRefusedByTheApplication()
    {
        QVERIFY(connectDevice());
        const QByteArray bytes = image(1000);
        announce(platform, bytes, crcOf(bytes));
        m_pc->send(Command::GetName, platform);
        QVERIFY(m_pc->waitFor(Command::GetName));
        QVERIFY(m_pc->packets(Command::Memblock).isEmpty());
    }

    void blockRequestFaults_data()
    {
        QTest::addColumn<int>("stallAfter");
        QTest::addColumn<int>("repeat");
        QTest::addColumn<bool>("beyond");
        QTest::addColumn<int>("corrupt");
        QTest::addColumn<QList<quint32>>("expectedRequests");
        QTest::addColumn<bool>("completes");
        // Three blocks: 512 + 512 + 100 bytes. The PC answers every request it receives.
        QTest::newRow("none") << -1 << -1 << false << -1 << QList<quint32>({0, 1, 2}) << true;
        QTest::newRow("stall after block 0")
            << 0 << -1 << false << -1 << QList<quint32>({0}) << false;
        QTest::newRow("block 1 requested twice")
            << -1 << 1 << false << -1 << QList<quint32>({0, 1, 1, 2}) << true;
        QTest::newRow("block 0 requested twice")
            << -1 << 0 << false << -1 << QList<quint32>({0, 0, 1, 2}) << true;
        QTest::newRow("request beyond the count")
            << -1 << -1 << true << -1 << QList<quint32>({0, 1, 2, 3}) << true;
        QTest::newRow("block 1 arrives damaged once")
            << -1 << -1 << false << 1 << QList<quint32>({0, 1, 1, 2}) << true;
    }
    void blockRequestFaults()
    {
        QFETCH(int, stallAfter);
        QFETCH(int, repeat);
        QFETCH(bool, beyond);
        QFETCH(int, corrupt);
        QFETCH(QList<quint32>, expectedRequests);
        QFETCH(bool, completes);
        DeviceSimulatorOptions options;
        options.updateFaults = UpdateFaults {stallAfter, repeat, beyond, corrupt};
        QVERIFY(connectDevice(options));
        const QByteArray bytes = image(1124);
        QSignalSpy completed(m_device.get(), &DeviceSimulator::updateCompleted);
        enterBootloader(platform);
        announce(platform, bytes, crcOf(bytes));

        // A PC that serves every request within the image, in the order they come.
        int served = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QList<quint32> asked = requests();
                for (; served < asked.size(); ++served) {
                    if (asked.at(served) < 3)
                        sendBlock(platform, bytes, quint16(asked.at(served)));
                }
                return asked.size() >= expectedRequests.size()
                    && (!completes || completed.count() == 1);
            }(),
            5000);
        // Every request the device made for the blocks served is in front of this answer.
        QVERIFY(m_pc->barrier());
        QCOMPARE(requests(), expectedRequests);
        QCOMPARE(completed.count(), completes ? 1 : 0);
        if (completes)
            QCOMPARE(m_device->platform().receivedImage(), bytes);
        else
            QCOMPARE(m_device->platform().transfer(), SimulatedController::Transfer::Stalled);
    }

    void aBlockThatNeverPassesEndsTheTransfer()
    {
        QVERIFY(connectDevice());
        QSignalSpy failed(m_device.get(), &DeviceSimulator::transferFailed);
        enterBootloader(platform);
        const QByteArray bytes = image(600);
        announce(platform, bytes, crcOf(bytes));
        for (int attempt = 1; attempt <= SimulatedController::maximumBlockAttempts; ++attempt) {
            QVERIFY(m_pc->waitFor(Command::Memblock, attempt));
            sendBlock(platform, bytes, 0, true);
        }
        QTRY_COMPARE(failed.count(), 1);
        QVERIFY(m_pc->barrier()); // no request after the last refused block
        QCOMPARE(requests().size(), SimulatedController::maximumBlockAttempts);
        QCOMPARE(m_device->platform().transfer(), SimulatedController::Transfer::Failed);
    }

    void platformComesBackAfterItsUpdate()
    {
        DeviceSimulatorOptions options;
        options.usbAwayMs = 100;
        QVERIFY(connectDevice(options));
        QSignalSpy away(m_device.get(), &DeviceSimulator::wentAway);
        QSignalSpy back(m_device.get(), &DeviceSimulator::cameBack);
        m_pc->send(Command::JumpToBootloader, platform);
        QVERIFY(back.wait(5000));
        QCOMPARE(away.count(), 1);

        m_pc = std::make_unique<LinkClient>(m_device->portName());
        QVERIFY(m_pc->open());
        const QByteArray bytes = image(1000);
        announce(platform, bytes, crcOf(bytes));
        QVERIFY(m_pc->waitFor(Command::Memblock, 1));
        sendBlock(platform, bytes, 0);
        QVERIFY(m_pc->waitFor(Command::Memblock, 2));
        sendBlock(platform, bytes, 1);
        QVERIFY(back.wait(5000));
        QCOMPARE(away.count(), 2);

        m_pc = std::make_unique<LinkClient>(m_device->portName());
        QVERIFY(m_pc->open());
        m_pc->send(Command::GetSWVersion, platform);
        QVERIFY(m_pc->waitFor(Command::GetSWVersion));
        QCOMPARE(m_pc->packets(Command::GetSWVersion).first().number(0), 0x01020003u);
    }
};

K27_TEST_GUILESS_MAIN(TestDeviceSimulatorUpdate)
#include "tst_devicesimupdate.moc"
