#include "component/AbstractZantLinkTerminal.h"
#include "component/ZantLinkPacket.h"

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
    // Feeds zeros, never more than fit, until every false start has been resolved: the
    // stand-in for later traffic on the line.
    void flush()
    {
        for (int i = 0; i < 64 && (getReceiveState() != SeekStart || bytesAvailable() >= 4); ++i) {
            feed(QByteArray(std::min(freeSpace(), 256), '\0'));
        }
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

class tst_ZantLinkReceiver : public QObject
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
    void deliversLongestPacket();
    void fullRingPushesOutOldestByte();
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
    // A flipped length can claim more bytes than arrived; the receiver waits for them (at
    // most 1536) and then finds the next packet inside what it already holds.
    terminal.flush();
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
    terminal.feed(cut + first + second);
    // The cut packet claims 117 bytes and they have not all arrived yet.
    QVERIFY(terminal.received.isEmpty());
    QCOMPARE(terminal.getReceiveState(), AbstractZantLinkTerminal::ReadPacket);
    QCOMPARE(terminal.getExpectedLength(), uint16_t(117));
    terminal.feed(QByteArray(117 - cut.size() - first.size() - second.size() - 1, 'z'));
    QVERIFY(terminal.received.isEmpty());
    // Its last claimed byte fails the checksum; the packets inside are found after all.
    terminal.feed("z");
    QCOMPARE(terminal.received, QList<QByteArray>({first, second}));
    terminal.feed(getName());
    QCOMPARE(terminal.received, QList<QByteArray>({first, second, getName()}));
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

void tst_ZantLinkReceiver::fullRingPushesOutOldestByte()
{
    const QByteArray bytes = getName();
    const QByteArray filler(AbstractZantLinkTerminal::RingSize - bytes.size(), 'f');

    // Exactly full: the packet at the front survives.
    RecordingTerminal full;
    full.writeBytes(bytes + filler);
    QCOMPARE(full.bytesAvailable(), 1536);
    full.startReceiver();
    full.drain();
    QCOMPARE(full.received, QList<QByteArray>({bytes}));

    // One byte more, written separately, pushes out the packet's first byte.
    RecordingTerminal overfull;
    overfull.writeBytes(bytes + filler);
    overfull.writeBytes("f");
    QCOMPARE(overfull.bytesAvailable(), 1536);
    overfull.startReceiver();
    overfull.drain();
    QVERIFY(overfull.received.isEmpty());

    // The newest 1536 bytes of a write longer than the ring are kept.
    RecordingTerminal flooded;
    flooded.writeBytes(QByteArray(2000, 'g') + bytes + filler);
    QCOMPARE(flooded.bytesAvailable(), 1536);
    flooded.startReceiver();
    flooded.drain();
    QCOMPARE(flooded.received, QList<QByteArray>({bytes}));

    // Each byte beyond a full ring drops the oldest one: the packet at the back survives.
    RecordingTerminal rolling;
    for (const char byte : filler + filler + bytes) {
        rolling.writeBytes(&byte, 1);
        QVERIFY(rolling.bytesAvailable() <= 1536);
    }
    QCOMPARE(rolling.bytesAvailable(), 1536);
    rolling.startReceiver();
    rolling.drain();
    QCOMPARE(rolling.received, QList<QByteArray>({bytes}));
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

    // Random pieces, each within the ring's free space so that no byte is pushed out.
    RecordingTerminal terminal;
    terminal.startReceiver();
    int offset = 0;
    while (offset < stream.size()) {
        const int size = std::min({uniform(1, 700), terminal.freeSpace(), stream.size() - offset});
        QVERIFY(size > 0);
        terminal.feed(stream.mid(offset, size));
        offset += size;
    }
    // False starts near the end wait for bytes that will only come with later traffic.
    terminal.flush();
    QCOMPARE(terminal.received.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        if (terminal.received.at(i) != expected.at(i)) {
            QFAIL(qPrintable(QStringLiteral("packet %1 differs").arg(i)));
        }
    }
}

QTEST_GUILESS_MAIN(tst_ZantLinkReceiver)
#include "tst_ZantLinkReceiver.moc"
