#include "component/AbstractZantLinkTerminal.h"
#include "component/ZantLinkPacket.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <random>
#include <vector>

using Component::Interfaces::AbstractZantLinkTerminal;
using Component::Interfaces::ZantLinkPacket;
using Argument = ZantLinkPacket::Argument;

namespace {

// A terminal that keeps the bytes of every packet it receives.
class RecordingTerminal : public AbstractZantLinkTerminal
{
public:
    RecordingTerminal()
        : AbstractZantLinkTerminal(0, ZantLinkPacket::Host)
    {
    }
    void onPacketReceived(const ZantLinkPacket &packet) override
    {
        received << packet.getRaw();
        argumentCounts << packet.argumentCount();
    }

    // Feeds the bytes and runs the receiver until it can do nothing more.
    void feed(const QByteArray &bytes)
    {
        writeBytes(bytes);
        drain();
    }
    void drain()
    {
        while (receiveStep()) { }
    }

    QList<QByteArray> received;
    QList<int> argumentCounts;
};

QByteArray packet(uint16_t command, const QByteArray &argument = QByteArray())
{
    const Argument view(argument.constData(), uint16_t(argument.size()));
    return ZantLinkPacket::encode(command, ZantLinkPacket::Platform, ZantLinkPacket::Host, &view,
                                  argument.isNull() ? 0 : 1);
}

QByteArray getName()
{
    return QByteArray::fromHex("373032230f0005000200005dcb3748");
}

QByteArray header(uint16_t length)
{
    QByteArray bytes("702#");
    bytes.append(char(length & 0xff)).append(char(length >> 8));
    return bytes.append(QByteArray::fromHex("0600000201"));
}

} // namespace

class tst_ZantLinkReceiver : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void deliversPacketWithoutArguments();
    void skipsGarbage_data();
    void skipsGarbage();
    void deliversPacketArrivingInPieces();
    void deliversPacketAcrossRingEnd_data();
    void deliversPacketAcrossRingEnd();
    void deliversTwoPacketsOfOnePiece();
    void dropsCorruptedPacketAndKeepsTheNext_data();
    void dropsCorruptedPacketAndKeepsTheNext();
    void badLengthIsAFalseStart_data();
    void badLengthIsAFalseStart();
    void truncatedPacketDoesNotSwallowTheNext();
    void falseStartOnQuietLine_data();
    void falseStartOnQuietLine();
    void deliversLongestPacket();
    void burstOfOneReadIsKeptWhole();
    void fullRingKeepsFurtherBytesWaiting();
    void stoppedReceiverGivesUpOldestBeyondLimit();
    void idleReceiverKeepsBytes();
    void processRunsOneStep();
    void randomStreamDeliversEveryValidPacketOnce();
};

void tst_ZantLinkReceiver::deliversPacketWithoutArguments()
{
    RecordingTerminal terminal;
    terminal.startReceiver();
    terminal.feed(getName());
    QCOMPARE(terminal.received, QList<QByteArray>({getName()}));
    QCOMPARE(terminal.argumentCounts, QList<int>({0}));
    QCOMPARE(terminal.bytesAvailable(), 0);
    QCOMPARE(terminal.getReceiveState(), AbstractZantLinkTerminal::SeekStart);
}

void tst_ZantLinkReceiver::skipsGarbage_data()
{
    QTest::addColumn<QByteArray>("garbage");
    QTest::newRow("noise") << QByteArray::fromHex("00ff1337a5");
    QTest::newRow("partial start word") << QByteArray("702x");
    QTest::newRow("start word prefixes") << QByteArray("7707027023");
    QTest::newRow("start word overlapping itself") << QByteArray("70");
    QTest::newRow("one byte") << QByteArray("#");
}

void tst_ZantLinkReceiver::skipsGarbage()
{
    QFETCH(QByteArray, garbage);
    RecordingTerminal terminal;
    terminal.startReceiver();
    terminal.feed(garbage + getName());
    QCOMPARE(terminal.received, QList<QByteArray>({getName()}));
    QCOMPARE(terminal.bytesAvailable(), 0);
}

void tst_ZantLinkReceiver::deliversPacketArrivingInPieces()
{
    const QByteArray bytes = packet(6, QByteArray::fromHex("1400cdcc4c3f"));
    const QList<QByteArray> pieces
        = {bytes.left(2), bytes.mid(2, 3), bytes.mid(5, 8), bytes.mid(13, bytes.size() - 14)};
    RecordingTerminal terminal;
    terminal.startReceiver();
    for (const QByteArray &piece : pieces) {
        terminal.feed(piece);
        QVERIFY(terminal.received.isEmpty());
    }
    terminal.feed(bytes.right(1));
    QCOMPARE(terminal.received, QList<QByteArray>({bytes}));
    terminal.drain();
    QCOMPARE(terminal.received.size(), 1);
}

void tst_ZantLinkReceiver::deliversPacketAcrossRingEnd_data()
{
    QTest::addColumn<int>("bytesBeforeEnd");
    QTest::newRow("start word split") << 2;
    QTest::newRow("header split") << 7;
    QTest::newRow("argument split") << 14;
    QTest::newRow("checksum split") << 20;
    QTest::newRow("ends at ring end") << 22;
}

void tst_ZantLinkReceiver::deliversPacketAcrossRingEnd()
{
    QFETCH(int, bytesBeforeEnd);
    const QByteArray bytes = packet(30, QByteArray::fromHex("0100004c42"));
    QCOMPARE(bytes.size(), 22);

    // Garbage moves the write position to bytesBeforeEnd bytes before the end of the ring;
    // three garbage bytes stay held (too few for a start word), so the positions do not
    // return to the start.
    RecordingTerminal terminal;
    terminal.startReceiver();
    terminal.feed(QByteArray(AbstractZantLinkTerminal::RingSize - bytesBeforeEnd, 'x'));
    QCOMPARE(terminal.bytesAvailable(), 3);
    terminal.feed(bytes);
    QCOMPARE(terminal.received, QList<QByteArray>({bytes}));
    QCOMPARE(terminal.bytesAvailable(), 0);
}

void tst_ZantLinkReceiver::deliversTwoPacketsOfOnePiece()
{
    const QByteArray first = packet(3, QByteArray::fromHex("04030201"));
    const QByteArray second = getName();
    RecordingTerminal terminal;
    terminal.startReceiver();
    terminal.writeBytes(first + second);
    // Seek, header, packet: three steps per packet.
    for (int step = 0; step < 3; ++step) {
        QVERIFY(terminal.receiveStep());
    }
    QCOMPARE(terminal.received, QList<QByteArray>({first}));
    terminal.drain();
    QCOMPARE(terminal.received, QList<QByteArray>({first, second}));
}

void tst_ZantLinkReceiver::dropsCorruptedPacketAndKeepsTheNext_data()
{
    QTest::addColumn<int>("bit");
    const int bits = packet(35, QByteArray::fromHex("010000003f")).size() * 8;
    for (int bit = 0; bit < bits; ++bit) {
        QTest::addRow("bit %d", bit) << bit;
    }
}

void tst_ZantLinkReceiver::dropsCorruptedPacketAndKeepsTheNext()
{
    QFETCH(int, bit);
    QByteArray corrupted = packet(35, QByteArray::fromHex("010000003f"));
    corrupted[bit / 8] = char(corrupted.at(bit / 8) ^ (1 << (bit % 8)));
    const QByteArray next = packet(7, QByteArray::fromHex("0200"));

    RecordingTerminal terminal;
    terminal.startReceiver();
    terminal.feed(corrupted + next);
    // A flipped length can claim more bytes than arrived; the next packet, whole and sound
    // behind it, is delivered without waiting for later traffic.
    QCOMPARE(terminal.received, QList<QByteArray>({next}));
}

void tst_ZantLinkReceiver::badLengthIsAFalseStart_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("0") << 0;
    QTest::newRow("14") << 14;
    QTest::newRow("1537") << 1537;
    QTest::newRow("65535") << 65535;
}

void tst_ZantLinkReceiver::badLengthIsAFalseStart()
{
    QFETCH(int, length);
    // The packet right behind a bad header is delivered at once: nothing waits for bytes the
    // bad header claims.
    RecordingTerminal terminal;
    terminal.startReceiver();
    terminal.feed(header(uint16_t(length)) + getName());
    QCOMPARE(terminal.received, QList<QByteArray>({getName()}));

    // Also when the packet starts inside the bad header's claimed bytes, right behind its
    // start word.
    RecordingTerminal overlapping;
    overlapping.startReceiver();
    overlapping.feed(header(uint16_t(length)).left(6) + getName());
    QCOMPARE(overlapping.received, QList<QByteArray>({getName()}));
}

void tst_ZantLinkReceiver::truncatedPacketDoesNotSwallowTheNext()
{
    const QByteArray cut = packet(11, QByteArray(100, 'b')).left(40);
    const QByteArray first = packet(5, QByteArray("Application"));
    const QByteArray second = packet(5, QByteArray("Bootloader"));

    RecordingTerminal terminal;
    terminal.startReceiver();
    terminal.feed(cut + first);
    // The cut packet claims 117 bytes and they have not all arrived, but a whole packet that
    // passes its checksum is held behind its start word: that one wins at once.
    QCOMPARE(terminal.received, QList<QByteArray>({first}));
    terminal.feed(second);
    QCOMPARE(terminal.received, QList<QByteArray>({first, second}));
    QCOMPARE(terminal.bytesAvailable(), 0);

    // The same when the cut packet's claim ends inside the good packets: it fails its checksum
    // and hunting finds them.
    RecordingTerminal claimFilled;
    claimFilled.startReceiver();
    claimFilled.feed(cut + QByteArray(117 - cut.size() - 5, 'z') + first + second);
    QCOMPARE(claimFilled.received, QList<QByteArray>({first, second}));
    claimFilled.feed(getName());
    QCOMPARE(claimFilled.received, QList<QByteArray>({first, second, getName()}));
}

void tst_ZantLinkReceiver::falseStartOnQuietLine_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("separateReads");
    for (const int length : {15, 50, 200, 1000, 1536}) {
        QTest::addRow("%d, one read", length) << length << false;
        QTest::addRow("%d, two reads", length) << length << true;
    }
}

void tst_ZantLinkReceiver::falseStartOnQuietLine()
{
    QFETCH(int, length);
    QFETCH(bool, separateReads);
    // A start word and a plausible length that no packet follows, then one valid packet, then
    // nothing more: the packet is delivered without waiting for later traffic.
    const QByteArray valid = packet(6, QByteArray::fromHex("02000000a040"));
    RecordingTerminal terminal;
    terminal.startReceiver();
    if (separateReads) {
        terminal.feed(header(uint16_t(length)));
        QVERIFY(terminal.received.isEmpty());
        terminal.feed(valid);
    } else {
        terminal.feed(header(uint16_t(length)) + valid);
    }
    QCOMPARE(terminal.received, QList<QByteArray>({valid}));
    QCOMPARE(terminal.bytesAvailable(), 0);
    QVERIFY(!terminal.receiveStep());
}

void tst_ZantLinkReceiver::deliversLongestPacket()
{
    QByteArray data(1536 - 17, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i) {
        data[i] = char(i);
    }
    const QByteArray longest = packet(11, data);
    QCOMPARE(longest.size(), 1536);
    RecordingTerminal terminal;
    terminal.startReceiver();
    terminal.feed("abc");
    terminal.drain();
    QCOMPARE(terminal.bytesAvailable(), 3);
    terminal.feed(longest.left(1533));
    QVERIFY(terminal.received.isEmpty());
    terminal.feed(longest.mid(1533));
    QCOMPARE(terminal.received, QList<QByteArray>({longest}));
}

void tst_ZantLinkReceiver::burstOfOneReadIsKeptWhole()
{
    // One read of 100 model values (2,500 bytes), then one read of 64 KiB of packets: every
    // packet is delivered once, in order.
    const auto burst = [](int firstValue, int bytes) {
        QList<QByteArray> packets;
        int size = 0;
        for (int i = firstValue; size < bytes; ++i) {
            // "SetModelValue" of identifier 2 with a 4-byte content: 25 bytes.
            const QByteArray identifier = QByteArray::fromHex("0200");
            const uint32_t content = uint32_t(i);
            const Argument arguments[] = {{identifier.constData(), 2}, {&content, 4}};
            packets << ZantLinkPacket::encode(6, ZantLinkPacket::Platform, ZantLinkPacket::Host,
                                              arguments, 2);
            size += packets.last().size();
        }
        return packets;
    };
    const QList<QByteArray> hundred = burst(0, 2500);
    QCOMPARE(hundred.size(), 100);
    const QList<QByteArray> large = burst(100, 64 * 1024);

    RecordingTerminal terminal;
    terminal.startReceiver();
    terminal.writeBytes(hundred.join());
    QCOMPARE(terminal.bytesAvailable(), AbstractZantLinkTerminal::RingSize);
    QCOMPARE(terminal.bytesWaiting(), 2500 - AbstractZantLinkTerminal::RingSize);
    terminal.drain();
    QCOMPARE(terminal.received, hundred);
    QCOMPARE(terminal.bytesWaiting(), 0);

    terminal.received.clear();
    terminal.writeBytes(large.join());
    terminal.drain();
    QCOMPARE(terminal.received.size(), large.size());
    QCOMPARE(terminal.received, large);
    QCOMPARE(terminal.bytesAvailable(), 0);
}

void tst_ZantLinkReceiver::fullRingKeepsFurtherBytesWaiting()
{
    const QByteArray bytes = getName();
    const QByteArray filler(AbstractZantLinkTerminal::RingSize - bytes.size(), 'f');
    const QByteArray second = packet(3, QByteArray::fromHex("04030201"));

    // A full ring overwrites nothing: further bytes wait, in order, until the receiver has
    // made room, whether they come one at a time or in one long write.
    RecordingTerminal rolling;
    for (const char byte : bytes + filler + filler + second) {
        rolling.writeBytes(&byte, 1);
        QVERIFY(rolling.bytesAvailable() <= AbstractZantLinkTerminal::RingSize);
    }
    QCOMPARE(rolling.bytesAvailable(), AbstractZantLinkTerminal::RingSize);
    QCOMPARE(rolling.bytesWaiting(), filler.size() + second.size());
    // Also while the receiver is idle.
    QVERIFY(!rolling.receiveStep());
    rolling.startReceiver();
    rolling.drain();
    QCOMPARE(rolling.received, QList<QByteArray>({bytes, second}));
    QCOMPARE(rolling.bytesAvailable(), 0);
    QCOMPARE(rolling.bytesWaiting(), 0);

    RecordingTerminal flooded;
    flooded.writeBytes(QByteArray(2000, 'g') + bytes + filler + second);
    QCOMPARE(flooded.bytesAvailable(), AbstractZantLinkTerminal::RingSize);
    flooded.startReceiver();
    flooded.drain();
    QCOMPARE(flooded.received, QList<QByteArray>({bytes, second}));
}

void tst_ZantLinkReceiver::stoppedReceiverGivesUpOldestBeyondLimit()
{
    // A receiver that nobody runs keeps the ring and MaximumWaiting bytes more; beyond that the
    // oldest waiting bytes are given up and counted.
    const QByteArray first = packet(3, QByteArray::fromHex("01000000"));
    const QByteArray last = packet(3, QByteArray::fromHex("02000000"));
    const int limit = AbstractZantLinkTerminal::RingSize + AbstractZantLinkTerminal::MaximumWaiting;
    RecordingTerminal terminal;
    terminal.writeBytes(first + QByteArray(limit - first.size() - last.size(), 'x'));
    terminal.writeBytes(last);
    QCOMPARE(terminal.bytesDropped(), qint64(0));
    terminal.writeBytes(QByteArray(10, 'y') + last);
    QCOMPARE(terminal.bytesDropped(), qint64(10 + last.size()));
    QCOMPARE(terminal.bytesAvailable() + terminal.bytesWaiting(), limit);
    terminal.startReceiver();
    terminal.drain();
    // The ring's bytes were never given up; the newest waiting ones are kept.
    QCOMPARE(terminal.received, QList<QByteArray>({first, last, last}));
    QCOMPARE(terminal.bytesAvailable(), 0);
    QCOMPARE(terminal.bytesWaiting(), 0);
}

void tst_ZantLinkReceiver::idleReceiverKeepsBytes()
{
    RecordingTerminal terminal;
    QCOMPARE(terminal.getReceiveState(), AbstractZantLinkTerminal::Idle);
    terminal.writeBytes(getName());
    QVERIFY(!terminal.receiveStep());
    QVERIFY(terminal.received.isEmpty());

    // Stopping in the middle of a packet keeps the bytes; starting again hunts anew.
    terminal.startReceiver();
    QVERIFY(terminal.receiveStep());
    terminal.stopReceiver();
    terminal.drain();
    QCOMPARE(terminal.bytesAvailable(), 15);
    terminal.startReceiver();
    terminal.drain();
    QCOMPARE(terminal.received, QList<QByteArray>({getName()}));
    QVERIFY(!terminal.receiveStep());
}

void tst_ZantLinkReceiver::processRunsOneStep()
{
    RecordingTerminal terminal;
    terminal.writeBytes(getName());
    terminal.process();
    QCOMPARE(terminal.getReceiveState(), AbstractZantLinkTerminal::Idle);
    terminal.start();
    QCOMPARE(terminal.getReceiveState(), AbstractZantLinkTerminal::SeekStart);
    terminal.process();
    QCOMPARE(terminal.getReceiveState(), AbstractZantLinkTerminal::ReadHeader);
    terminal.process();
    QCOMPARE(terminal.getReceiveState(), AbstractZantLinkTerminal::ReadPacket);
    terminal.process();
    QCOMPARE(terminal.received.size(), 1);
    terminal.stop();
    QCOMPARE(terminal.getReceiveState(), AbstractZantLinkTerminal::Idle);
}

void tst_ZantLinkReceiver::randomStreamDeliversEveryValidPacketOnce()
{
    std::mt19937 random(20240611u);
    const auto uniform = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto randomBytes = [&](int count) {
        QByteArray bytes(count, Qt::Uninitialized);
        for (char &byte : bytes) {
            byte = char(uniform(0, 255));
        }
        return bytes;
    };
    const auto randomPacket = [&]() {
        // Mostly small packets, some up to the longest the receiver takes.
        const int budget = uniform(0, 9) == 0 ? uniform(0, 1536 - 15) : uniform(0, 60);
        const int argumentCount = uniform(0, 5);
        std::vector<QByteArray> data;
        std::vector<Argument> arguments;
        int left = budget;
        for (int i = 0; i < argumentCount && left >= 2; ++i) {
            const int size = i + 1 == argumentCount ? left - 2 : uniform(0, left - 2);
            data.push_back(randomBytes(size));
            left -= 2 + size;
        }
        for (const QByteArray &bytes : data) {
            arguments.emplace_back(bytes.constData(), uint16_t(bytes.size()));
        }
        return ZantLinkPacket::encode(uint16_t(uniform(0, 0xffff)), uint8_t(uniform(0, 255)),
                                      uint8_t(uniform(0, 255)), arguments.data(),
                                      int(arguments.size()));
    };
    const auto randomGarbage = [&]() -> QByteArray {
        switch (uniform(0, 7)) {
        case 0:
        case 1:
            return QByteArray();
        case 2:
            return randomBytes(uniform(1, 40));
        case 3: // a start word cut short
            return QByteArray("702#").left(uniform(1, 3)) + randomBytes(uniform(0, 3));
        case 4: // a header with a length no packet can have
            return header(uint16_t(uniform(0, 1) ? uniform(0, 14) : uniform(1537, 0xffff)))
                .left(uniform(6, 11));
        case 5: // the beginning of a packet whose rest was lost
        {
            const QByteArray lost = randomPacket();
            return lost.left(uniform(4, lost.size() - 1));
        }
        default: // a packet with a bit flipped
        {
            QByteArray damaged = randomPacket();
            const int bit = uniform(0, damaged.size() * 8 - 1);
            damaged[bit / 8] = char(damaged.at(bit / 8) ^ (1 << (bit % 8)));
            return damaged;
        }
        }
    };

    QList<QByteArray> expected;
    QByteArray stream;
    for (int i = 0; i < 4000; ++i) {
        stream += randomGarbage();
        const QByteArray valid = randomPacket();
        expected << valid;
        stream += valid;
    }

    // Random pieces, some longer than the ring.
    RecordingTerminal terminal;
    terminal.startReceiver();
    int offset = 0;
    while (offset < stream.size()) {
        const int size = std::min(uniform(1, 2500), stream.size() - offset);
        terminal.feed(stream.mid(offset, size));
        offset += size;
    }
    // No later traffic: a false start near the end holds back nothing.
    QCOMPARE(terminal.received.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        if (terminal.received.at(i) != expected.at(i)) {
            QFAIL(qPrintable(QStringLiteral("packet %1 differs").arg(i)));
        }
    }
}

K27_TEST_GUILESS_MAIN(tst_ZantLinkReceiver)
#include "tst_ZantLinkReceiver.moc"
