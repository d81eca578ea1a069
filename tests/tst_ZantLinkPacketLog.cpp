#include "component/ZantLinkPacket.h"
#include "component/ZantLinkPacketLog.h"
#include "support/LinkBytes.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <cstring>
#include <vector>

using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkPacketLog;
using TestSupport::f32;
using Argument = ZantLinkPacket::Argument;

namespace {

using TestSupport::hex;

// A packet from the Platform to the Host with the given arguments, as the device sends it.
ZantLinkPacket answer(uint16_t command, const QList<QByteArray> &arguments,
                      uint8_t source = ZantLinkPacket::Platform)
{
    std::vector<Argument> views;
    for (const QByteArray &argument : arguments) {
        views.emplace_back(argument.constData(), uint16_t(argument.size()));
    }
    return ZantLinkPacket(ZantLinkPacket::encode(command, source, ZantLinkPacket::Host,
                                                 views.data(), int(views.size())));
}

} // namespace

class tst_ZantLinkPacketLog : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void linesBeforeChecksum_data();
    void linesBeforeChecksum();
    void lineOfDamagedBytesStaysInside_data();
    void lineOfDamagedBytesStaysInside();
    void answerTexts_data();
    void answerTexts();
    void answersWithoutText_data();
    void answersWithoutText();
    void numbers_data();
    void numbers();
};

void tst_ZantLinkPacketLog::lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("GetName request")
        << hex("373032230f0005000200005dcb3748")
        << QByteArray(
               "GetName: Host -> Platform, Coding: 0x23323037, Length: 15bytes, ArgCount: 0, "
               "Checksum: 0x4837cb5d");
    QTest::newRow("GetModelValue request")
        << hex("373032231300070002000102000201f1d59b35")
        << QByteArray("GetModelValue: Host -> Platform, Coding: 0x23323037, Length: 19bytes, "
                      "ArgCount: 1 { 0x2 0x1 } , Checksum: 0x359bd5f1");
}

void tst_ZantLinkPacketLog::linesBeforeChecksum_data()
{
    QTest::addColumn<ZantLinkPacket>("packet");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("MaxCount") << answer(46, {})
                              << QByteArray("MaxCount: Platform -> Host, Coding: 0x23323037, "
                                            "Length: 15bytes, ArgCount: 0");
    QTest::newRow("code 47") << answer(47, {})
                             << QByteArray("Unknown: Platform -> Host, "
                                           "Coding: 0x23323037, Length: "
                                           "15bytes, ArgCount: 0");
    QTest::newRow("code 0xffff") << answer(0xffff, {}, 1)
                                 << QByteArray("Unknown: Display -> Host, Coding: 0x23323037, "
                                               "Length: 15bytes, ArgCount: 0");
    QTest::newRow("node 3") << answer(26, {hex("0a")}, 3)
                            << QByteArray("StateMachineGetState: Unknown -> Host, Coding: "
                                          "0x23323037, Length: 18bytes, ArgCount: 1 { 0xa } ");
    QTest::newRow("empty argument")
        << answer(16, {QByteArray(""), hex("00ff10")})
        << QByteArray("ExternalFlashGetDeviceID: Platform -> Host, Coding: 0x23323037, Length: "
                      "22bytes, ArgCount: 2 { }  { 0x0 0xff 0x10 } ");
    QTest::newRow("four arguments")
        << answer(23, {hex("01"), hex("02"), hex("03"), hex("04")})
        << QByteArray("MeasurementSetStaticOffset: Platform -> Host, Coding: 0x23323037, Length: "
                      "27bytes, ArgCount: 4 { 0x1 }  { 0x2 }  { 0x3 } ");
}

void tst_ZantLinkPacketLog::linesBeforeChecksum()
{
    QFETCH(ZantLinkPacket, packet);
    QFETCH(QByteArray, text);
    const QByteArray line = ZantLinkPacketLog::line(packet);
    QCOMPARE(line, text + ", Checksum: 0x" + QByteArray::number(packet.getChecksum(), 16));
}

void tst_ZantLinkPacketLog::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, line);
    QCOMPARE(ZantLinkPacketLog::line(ZantLinkPacket(bytes)), line);
}

void tst_ZantLinkPacketLog::lineOfDamagedBytesStaysInside_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("argument longer than the packet")
        << hex("3730322313000700020002"
               "0300"
               "0201"
               "aabbccdd")
        << QByteArray("GetModelValue: Host -> Platform, Coding: 0x23323037, Length: 19bytes, "
                      "ArgCount: 2, Checksum: 0xddccbbaa");
    QTest::newRow("five bytes")
        << hex("3730322313")
        << QByteArray("Reset: Platform -> Platform, Coding: 0x23323037, Length: 0bytes, "
                      "ArgCount: 0, Checksum: 0x0");
    QTest::newRow("nothing") << QByteArray()
                             << QByteArray("Reset: Platform -> Platform, Coding: 0x0, Length: "
                                           "0bytes, ArgCount: 0, Checksum: 0x0");
}

void tst_ZantLinkPacketLog::lineOfDamagedBytesStaysInside()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, line);
    QCOMPARE(ZantLinkPacketLog::line(ZantLinkPacket(bytes.constData(), bytes.size())), line);
}

void tst_ZantLinkPacketLog::answerTexts_data()
{
    QTest::addColumn<ZantLinkPacket>("packet");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("SW version") << answer(3, {hex("04030201")}) << QByteArray("V1.2.3.4");
    QTest::newRow("HAL version") << answer(4, {hex("ff00010a")}) << QByteArray("V10.1.0.255");
    QTest::newRow("name") << answer(5, {"Bootloader"}) << QByteArray("Bootloader");
    QTest::newRow("flash id") << answer(16, {"EF4018"}) << QByteArray("EF4018");
    QTest::newRow("failure status")
        << answer(20, {hex("00"), hex("07")}) << QByteArray("Index: L1, Failure status: true");
    QTest::newRow("ready status") << answer(22, {hex("02"), hex("00")})
                                  << QByteArray("Index: L3, Ready status: false");
    QTest::newRow("phase out of range")
        << answer(22, {hex("05"), hex("01")}) << QByteArray("Index: L1, Ready status: true");
    QTest::newRow("waveform") << answer(25, {hex("03"), f32(1.25f)})
                              << QByteArray("Index: 3, Data: 1.25");
    QTest::newRow("state") << answer(26, {hex("04")}) << QByteArray("State: 4");
    QTest::newRow("temperature") << answer(30, {hex("01"), f32(25.5f)})
                                 << QByteArray("Temperature ID: 1, Value: 25.5\xc2\xb0"
                                               "C");
    QTest::newRow("aux voltage") << answer(31, {f32(24.0f)}) << QByteArray("Aux voltage: 24V");
    QTest::newRow("supply voltage")
        << answer(32, {f32(230.123456f)}) << QByteArray("Supply voltage: 230.123V");
    QTest::newRow("supply state") << answer(33, {hex("01")}) << QByteArray("Supply state: 1");
    QTest::newRow("thermal capacity")
        << answer(35, {f32(0.5f)}) << QByteArray("Thermal capacity: 50%");
    QTest::newRow("RMS current") << answer(37, {hex("01"), hex("01"), f32(2.5f)})
                                 << QByteArray("Index: L2, Unit: Current, Value: 2.5A");
    QTest::newRow("static offset voltage") << answer(41, {hex("00"), hex("00"), f32(400.5f)})
                                           << QByteArray("Index: L1, Unit: Voltage, Value: 400.5V");
    QTest::newRow("gain offset other quantity")
        << answer(42, {hex("02"), hex("02"), f32(-0.125f)})
        << QByteArray("Index: L3, Unit: Voltage, Value: -0.125V");
    QTest::newRow("moving average") << answer(43, {hex("02"), hex("01"), f32(12.0f)})
                                    << QByteArray("Index: L3, Unit: Current, Value: 12A");
    QTest::newRow("input status") << answer(38, {hex("02"), hex("05")})
                                  << QByteArray("Index: 2, Status: 1");
    QTest::newRow("main button") << answer(39, {hex("00"), hex("01")})
                                 << QByteArray("MainButton: 1");
    QTest::newRow("button up") << answer(39, {hex("01"), hex("00")}) << QByteArray("ButtonUp: 0");
    QTest::newRow("button down") << answer(39, {hex("02"), hex("02")})
                                 << QByteArray("ButtonDown: 1");
    QTest::newRow("unknown button") << answer(39, {hex("03"), hex("01")}) << QByteArray("");
    QTest::newRow("mosfet monitor")
        << answer(40, {hex("01")}) << QByteArray("Mosfet Monitor Status: 1");
    QTest::newRow("DC protection")
        << answer(44, {hex("00")}) << QByteArray("DC Protection Status: 0");
    QTest::newRow("longer arguments use their first bytes")
        << answer(33, {hex("0102")}) << QByteArray("Supply state: 1");
}

void tst_ZantLinkPacketLog::answerTexts()
{
    QFETCH(ZantLinkPacket, packet);
    QFETCH(QByteArray, text);
    QByteArray result("stale");
    QVERIFY(ZantLinkPacketLog::answerText(packet, result));
    QCOMPARE(result, text);
}

void tst_ZantLinkPacketLog::answersWithoutText_data()
{
    QTest::addColumn<ZantLinkPacket>("packet");
    QTest::newRow("model value") << answer(6, {hex("0200"), f32(2.6f)});
    QTest::newRow("block request") << answer(11, {hex("3412")});
    QTest::newRow("no handler") << answer(7, {hex("0200")});
    QTest::newRow("empty code") << answer(0xffff, {});
    QTest::newRow("version too short") << answer(3, {hex("040302")});
    QTest::newRow("version missing") << answer(3, {});
    QTest::newRow("name missing") << answer(5, {});
    QTest::newRow("RMS value missing") << answer(37, {hex("01"), hex("01")});
    QTest::newRow("RMS value short") << answer(37, {hex("01"), hex("01"), hex("0000")});
    QTest::newRow("temperature empty id") << answer(30, {QByteArray(""), f32(1.0f)});
    QTest::newRow("ready status without state") << answer(22, {hex("01")});
    QTest::newRow("thermal capacity of two bytes") << answer(35, {hex("0000")});
}

void tst_ZantLinkPacketLog::answersWithoutText()
{
    QFETCH(ZantLinkPacket, packet);
    QByteArray text("stale");
    QVERIFY(!ZantLinkPacketLog::answerText(packet, text));
    QVERIFY(text.isEmpty());
}

void tst_ZantLinkPacketLog::numbers_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("whole") << 50.0f << QByteArray("50");
    QTest::newRow("zero") << 0.0f << QByteArray("0");
    QTest::newRow("six digits") << 123456.0f << QByteArray("123456");
    QTest::newRow("seven digits") << 1234567.0f << QByteArray("1.23457e+06");
    QTest::newRow("small") << 0.0001f << QByteArray("0.0001");
    QTest::newRow("smaller") << 0.00001f << QByteArray("1e-05");
    QTest::newRow("negative") << -2.75f << QByteArray("-2.75");
    QTest::newRow("float rounding") << 0.1f << QByteArray("0.1");
    // A value exactly halfway between two six-digit texts rounds to the even digit, the way
    // printf rounds it.
    QTest::newRow("tie rounds to even") << 2678.125f << QByteArray("2678.12");
    QTest::newRow("tie of a large value") << -430492.5f << QByteArray("-430492");
    QTest::newRow("negative zero") << -0.0f << QByteArray("-0");
}

void tst_ZantLinkPacketLog::numbers()
{
    QFETCH(float, value);
    QFETCH(QByteArray, text);
    QCOMPARE(ZantLinkPacketLog::number(value), text);
}

K27_TEST_GUILESS_MAIN(tst_ZantLinkPacketLog)
#include "tst_ZantLinkPacketLog.moc"
