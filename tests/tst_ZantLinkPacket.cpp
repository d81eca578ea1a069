#include "component/Crc32.h"
#include "component/ZantLinkPacket.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <cstring>
#include <memory>

using Component::Interfaces::ZantLinkPacket;
using Argument = ZantLinkPacket::Argument;

namespace {

using TestSupport::hex;

} // namespace

class tst_ZantLinkPacket : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void crcKnownAnswers_data();
    void crcKnownAnswers();
    void crcContinuesAcrossPieces();
    void crcOfNothingIsComplementOfInitial();
    void encodesWorkedExamples();
    void encodeSizesTheBufferExactly();
    void encodeRefusesPacketsTheReceiverCannotTake();
    void decodesWorkedExample();
    void decodesPacketWithoutArguments();
    void decodesZeroLengthArgument();
    void decodesOnlyThreeArguments();
    void decodeStaysInsideItsBytes_data();
    void decodeStaysInsideItsBytes();
    void copiesOwnTheirArguments();
    void senderPacketTakesThreeArguments();
    void argumentWithAtLeast_data();
    void argumentWithAtLeast();
    void nodeNames();
};

void tst_ZantLinkPacket::crcKnownAnswers_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<uint32_t>("crc");
    QTest::newRow("check value") << QByteArray("123456789") << 0xCBF43926u;
    QTest::newRow("one zero byte") << QByteArray(1, '\0') << 0xD202EF8Du;
    QTest::newRow("fox") << QByteArray("The quick brown fox jumps over the lazy dog")
                         << 0x414FA339u;
    QTest::newRow("GetName header") << hex("373032230f0005000200"
                                           "00")
                                    << 0x4837cb5du;
}

void tst_ZantLinkPacket::crcKnownAnswers()
{
    QFETCH(QByteArray, data);
    QFETCH(uint32_t, crc);
    QCOMPARE(Crc32().calculate(data.constData(), data.size(), 0xFFFFFFFFu), crc);
    QCOMPARE(Crc32().calculate(data.constData(), data.size()), crc);
}

void tst_ZantLinkPacket::crcContinuesAcrossPieces()
{
    const QByteArray data("123456789");
    const Crc32 crc;
    for (int cut = 0; cut <= data.size(); ++cut) {
        const uint32_t head = crc.calculate(data.constData(), cut);
        QCOMPARE(crc.calculate(data.constData() + cut, data.size() - cut, ~head), 0xCBF43926u);
    }
}

void tst_ZantLinkPacket::crcOfNothingIsComplementOfInitial()
{
    const char byte = 'x';
    QCOMPARE(Crc32().calculate(&byte, 0, 0xFFFFFFFFu), 0u);
    QCOMPARE(Crc32().calculate(&byte, 0, 0x12345678u), ~0x12345678u);
    QCOMPARE(Crc32().calculate(nullptr, 0, 0x0u), 0xFFFFFFFFu);
}

void tst_ZantLinkPacket::encodesWorkedExamples()
{
    QCOMPARE(ZantLinkPacket::encode(5, ZantLinkPacket::Host, ZantLinkPacket::Platform, nullptr, 0),
             hex("373032230f00050002000"
                 "05dcb3748"));
    const uint8_t identifier[] = {0x02, 0x01};
    const Argument argument(identifier, 2);
    QCOMPARE(
        ZantLinkPacket::encode(7, ZantLinkPacket::Host, ZantLinkPacket::Platform, &argument, 1),
        hex("37303223130007000200010200"
            "0201f1d59b35"));
}

void tst_ZantLinkPacket::encodeSizesTheBufferExactly()
{
    const QByteArray a(3, 'a');
    const QByteArray b(0, 'b');
    const QByteArray c(300, 'c');
    const Argument arguments[]
        = {Argument(a.constData(), 3), Argument(b.constData(), 0), Argument(c.constData(), 300)};
    const QByteArray bytes = ZantLinkPacket::encode(0x1234, 1, 0, arguments, 3);
    QCOMPARE(bytes.size(), 15 + 5 + 2 + 302);
    QCOMPARE(bytes.capacity(), bytes.size());
    const ZantLinkPacket packet(bytes);
    QCOMPARE(packet.getLength(), uint16_t(bytes.size()));
    QCOMPARE(packet.getCommand(), uint16_t(0x1234));
    QCOMPARE(packet.argumentCount(), 3);
    QCOMPARE(packet.argument(0).toByteArray(), a);
    QCOMPARE(packet.argument(1).count, uint16_t(0));
    QCOMPARE(packet.argument(2).toByteArray(), c);
    QCOMPARE(packet.getChecksum(), Crc32().calculate(bytes.constData(), bytes.size() - 4));

    // A packet built by a sender encodes to the same bytes.
    ZantLinkPacket built(0x1234, 1, 0);
    for (const Argument &argument : arguments) {
        QVERIFY(built.addArgument(argument));
    }
    QCOMPARE(built.getLength(), packet.getLength());
    QCOMPARE(built.encode(), bytes);
}

void tst_ZantLinkPacket::encodeRefusesPacketsTheReceiverCannotTake()
{
    const QByteArray data(1536, 'x');
    Argument argument(data.constData(), 1536 - 17);
    QCOMPARE(ZantLinkPacket::encode(6, 2, 0, &argument, 1).size(), 1536);
    argument.count += 1;
    QVERIFY(ZantLinkPacket::encode(6, 2, 0, &argument, 1).isEmpty());
    QVERIFY(ZantLinkPacket::encode(6, 2, 0, nullptr, 1).isEmpty());
}

void tst_ZantLinkPacket::decodesWorkedExample()
{
    const QByteArray bytes = hex("373032231300070002000102000201f1d59b35");
    const ZantLinkPacket packet(bytes.constData(), bytes.size());
    QCOMPARE(packet.getRaw(), bytes);
    QCOMPARE(packet.getCoding(), 0x23323037u);
    QCOMPARE(packet.getLength(), uint16_t(19));
    QCOMPARE(packet.getCommand(), uint16_t(7));
    QCOMPARE(packet.getSource(), uint8_t(2));
    QCOMPARE(packet.getDestination(), uint8_t(0));
    QCOMPARE(packet.getArgCount(), uint8_t(1));
    QCOMPARE(packet.argumentCount(), 1);
    QCOMPARE(packet.argument(0).toByteArray(), hex("0201"));
    QCOMPARE(packet.argument(0).data,
             reinterpret_cast<const uint8_t *>(packet.getRaw().constData()) + 13);
    QCOMPARE(packet.getChecksum(), 0x359bd5f1u);
}

void tst_ZantLinkPacket::decodesPacketWithoutArguments()
{
    const QByteArray bytes = hex("373032230f0005000200005dcb3748");
    QCOMPARE(bytes.size(), 15);
    const ZantLinkPacket packet(bytes);
    QCOMPARE(packet.getArgCount(), uint8_t(0));
    QCOMPARE(packet.argumentCount(), 0);
    QCOMPARE(packet.argument(0).data, nullptr);
    QCOMPARE(packet.getChecksum(), 0x4837cb5du);
}

void tst_ZantLinkPacket::decodesZeroLengthArgument()
{
    const Argument empty(nullptr, 0);
    const QByteArray bytes = ZantLinkPacket::encode(16, 0, 2, &empty, 1);
    QCOMPARE(bytes.mid(11, 2), hex("0000"));
    QCOMPARE(bytes.size(), 17);
    const ZantLinkPacket packet(bytes);
    QCOMPARE(packet.argumentCount(), 1);
    QCOMPARE(packet.argument(0).count, uint16_t(0));
}

void tst_ZantLinkPacket::decodesOnlyThreeArguments()
{
    const uint8_t values[] = {1, 2, 3, 4, 5};
    const Argument arguments[] = {Argument(values, 1), Argument(values + 1, 1),
                                  Argument(values + 2, 1), Argument(values + 3, 2)};
    const ZantLinkPacket packet(ZantLinkPacket::encode(23, 2, 0, arguments, 4));
    QCOMPARE(packet.getArgCount(), uint8_t(4));
    QCOMPARE(packet.argumentCount(), 3);
    QCOMPARE(packet.argument(2).toByteArray(), hex("03"));
    QCOMPARE(packet.argument(3).data, nullptr);
}

void tst_ZantLinkPacket::decodeStaysInsideItsBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("recorded");
    QTest::addColumn<QByteArray>("lastArgument");
    QTest::addColumn<uint32_t>("checksum");

    // Argument counts that claim more bytes than lie before the checksum are not recorded.
    QTest::newRow("count reaches into checksum") << hex("3730322313000700020001"
                                                        "0300"
                                                        "0201"
                                                        "aabbccdd")
                                                 << 0 << QByteArray() << 0xddccbbaau;
    QTest::newRow("count far past the end") << hex("3730322313000700020001"
                                                   "ffff"
                                                   "0201"
                                                   "aabbccdd")
                                            << 0 << QByteArray() << 0xddccbbaau;
    QTest::newRow("second argument too long") << hex("3730322316000700020002"
                                                     "0100"
                                                     "01"
                                                     "0500"
                                                     "02"
                                                     "aabbccdd")
                                              << 1 << hex("01") << 0xddccbbaau;
    QTest::newRow("argument count higher than present") << hex("3730322313000700020003"
                                                               "0200"
                                                               "0201"
                                                               "aabbccdd")
                                                        << 1 << hex("0201") << 0xddccbbaau;
    QTest::newRow("argument exactly before checksum") << hex("3730322313000700020001"
                                                             "0200"
                                                             "0201"
                                                             "aabbccdd")
                                                      << 1 << hex("0201") << 0xddccbbaau;
    QTest::newRow("half a count before checksum") << hex("3730322310000700020001"
                                                         "02"
                                                         "aabbccdd")
                                                  << 0 << QByteArray() << 0xddccbbaau;
    // Shorter than a packet: no checksum and no arguments are read.
    QTest::newRow("header only") << hex("3730322313000700020001") << 0 << QByteArray() << 0u;
    QTest::newRow("three bytes") << hex("373032") << 0 << QByteArray() << 0u;
    QTest::newRow("nothing") << QByteArray() << 0 << QByteArray() << 0u;
}

void tst_ZantLinkPacket::decodeStaysInsideItsBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, recorded);
    QFETCH(QByteArray, lastArgument);
    QFETCH(uint32_t, checksum);

    // A copy on the heap of exactly the given size lets the sanitizer catch any read past it.
    const auto copy = std::make_unique<char[]>(static_cast<std::size_t>(bytes.size()));
    std::memcpy(copy.get(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const ZantLinkPacket packet(bytes.isEmpty() ? nullptr : copy.get(), bytes.size());
    QCOMPARE(packet.argumentCount(), recorded);
    QCOMPARE(packet.getChecksum(), checksum);
    if (recorded > 0) {
        QCOMPARE(packet.argument(recorded - 1).toByteArray(), lastArgument);
    }
    const auto *begin = reinterpret_cast<const uint8_t *>(packet.getRaw().constData());
    for (int i = 0; i < packet.argumentCount(); ++i) {
        const Argument &argument = packet.argument(i);
        QVERIFY(argument.data >= begin + 13);
        QVERIFY(argument.data + argument.count <= begin + packet.getRaw().size() - 4);
    }
    if (bytes.size() >= 11) {
        QCOMPARE(packet.getCommand(), uint16_t(7));
    }
}

void tst_ZantLinkPacket::copiesOwnTheirArguments()
{
    const uint8_t value[] = {0x2a, 0x00, 0xcd, 0xcc, 0x4c, 0x3f};
    const Argument arguments[] = {Argument(value, 2), Argument(value + 2, 4)};
    ZantLinkPacket copy;
    {
        const ZantLinkPacket original(ZantLinkPacket::encode(6, 0, 2, arguments, 2));
        copy = original;
    }
    // The original is gone; the copy's views point into its own bytes.
    const auto *begin = reinterpret_cast<const uint8_t *>(copy.getRaw().constData());
    QCOMPARE(copy.argumentCount(), 2);
    QCOMPARE(copy.argument(0).data, begin + 13);
    QCOMPARE(copy.argument(1).toByteArray(), hex("cdcc4c3f"));

    // Copies of copies, also through a QVariant as queued calls make them.
    ZantLinkPacket second(copy);
    QCOMPARE(second.argument(1).toByteArray(), hex("cdcc4c3f"));
    QVariant variant = QVariant::fromValue(second);
    QCOMPARE(variant.value<ZantLinkPacket>().argument(0).toByteArray(), hex("2a00"));
}

void tst_ZantLinkPacket::senderPacketTakesThreeArguments()
{
    const uint8_t byte = 1;
    ZantLinkPacket packet(17, 2, 1);
    QCOMPARE(packet.getLength(), uint16_t(15));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(packet.addArgument(Argument(&byte, 1)));
    }
    QVERIFY(!packet.addArgument(Argument(&byte, 1)));
    QCOMPARE(packet.argumentCount(), 3);
    QCOMPARE(packet.getArgCount(), uint8_t(3));
    QCOMPARE(packet.getLength(), uint16_t(24));
    // Views of the sender's buffer survive a copy unchanged.
    const ZantLinkPacket copy(packet);
    QCOMPARE(copy.argument(2).data, &byte);
}

void tst_ZantLinkPacket::nodeNames()
{
    QCOMPARE(ZantLinkPacket::nodeName(0), "Platform");
    QCOMPARE(ZantLinkPacket::nodeName(1), "Display");
    QCOMPARE(ZantLinkPacket::nodeName(2), "Host");
    QCOMPARE(ZantLinkPacket::nodeName(3), "Unknown");
    QCOMPARE(ZantLinkPacket::nodeName(255), "Unknown");
}

// A handler asks for argument i with at least n bytes: the packet below records an empty
// argument, one of two bytes and one of four; a fourth argument travels but is not recorded.
void tst_ZantLinkPacket::argumentWithAtLeast_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("minimumSize");
    QTest::addColumn<QByteArray>("expected"); // null: no argument handed out

    QTest::newRow("empty, none asked") << 0 << 0 << QByteArray("");
    QTest::newRow("empty, one asked") << 0 << 1 << QByteArray();
    QTest::newRow("two, two asked") << 1 << 2 << hex("1113");
    QTest::newRow("two, one asked") << 1 << 1 << hex("1113");
    QTest::newRow("two, four asked") << 1 << 4 << QByteArray();
    QTest::newRow("four, four asked") << 2 << 4 << hex("01020304");
    QTest::newRow("four, five asked") << 2 << 5 << QByteArray();
    QTest::newRow("not recorded") << 3 << 0 << QByteArray();
    QTest::newRow("negative index") << -1 << 0 << QByteArray();
}

void tst_ZantLinkPacket::argumentWithAtLeast()
{
    QFETCH(int, index);
    QFETCH(int, minimumSize);
    QFETCH(QByteArray, expected);
    const uint8_t bytes[] = {0x11, 0x13, 1, 2, 3, 4};
    const Argument arguments[]
        = {Argument(nullptr, 0), Argument(bytes, 2), Argument(bytes + 2, 4), Argument(bytes, 1)};
    const ZantLinkPacket packet(ZantLinkPacket::encode(6, 0, 2, arguments, 4));
    QCOMPARE(packet.argumentCount(), 3);

    const Argument *found = packet.argumentWith(index, minimumSize);
    QCOMPARE(found != nullptr, !expected.isNull());
    if (found != nullptr)
        QCOMPARE(found->toByteArray(), expected);
}

K27_TEST_GUILESS_MAIN(tst_ZantLinkPacket)
#include "tst_ZantLinkPacket.moc"
