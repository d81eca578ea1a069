#include "component/Crc32.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkComponent.h"
#include "component/ZantLinkPacket.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <cstring>

using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkCommandCode;
using Component::K27::ZantLinkComponent;
using Argument = ZantLinkPacket::Argument;

namespace {

// A link whose transport records every write.
class RecordingLink : public ZantLinkComponent
{
public:
    RecordingLink(int writeResult = WriteOk)
        : ZantLinkComponent(0, ZantLinkPacket::Host, ZantLinkPacket::Platform)
        , m_writeResult(writeResult)
    {
    }
    void onStart() override { }
    void onStop() override { }
    bool open() override { return true; }
    bool close() override { return true; }
    int write(const char *data, int count) override
    {
        writes << QByteArray(data, count);
        return m_writeResult;
    }
    int write(const QByteArray &text) override
    {
        texts << text;
        return m_writeResult;
    }

    QList<QByteArray> writes;
    QList<QByteArray> texts;

private:
    int m_writeResult;
};

using TestSupport::hex;

// The bytes a packet must have, checksum computed independently of the encoder.
QByteArray expectedPacket(uint16_t command, uint8_t source, uint8_t destination,
                          const QList<QByteArray> &arguments)
{
    QByteArray body;
    for (const QByteArray &argument : arguments) {
        body.append(char(argument.size() & 0xff))
            .append(char(argument.size() >> 8))
            .append(argument);
    }
    const int length = 15 + body.size();
    QByteArray bytes("702#");
    bytes.append(char(length & 0xff)).append(char(length >> 8));
    bytes.append(char(command & 0xff)).append(char(command >> 8));
    bytes.append(char(source)).append(char(destination)).append(char(arguments.size()));
    bytes.append(body);
    const uint32_t crc = Crc32().calculate(bytes.constData(), bytes.size(), 0xFFFFFFFFu);
    for (int i = 0; i < 4; ++i) {
        bytes.append(char((crc >> (8 * i)) & 0xff));
    }
    return bytes;
}

} // namespace

class tst_ZantLinkComponent : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void fields();
    void requestOperations_data();
    void requestOperations();
    void requestsReturnZeroWhateverTheWrite_data();
    void requestsReturnZeroWhateverTheWrite();
    void sendsWholePacket();
    void sendsAtMostThreeArguments();
    void oversizedPacketIsNotWritten();
    void sendLineWritesTextWithLineEnd();
    void commandNames_data();
    void commandNames();
};

void tst_ZantLinkComponent::fields()
{
    RecordingLink link;
    QCOMPARE(link.getId(), 0u);
    QCOMPARE(link.getNode(), uint8_t(2));
    QCOMPARE(link.getPeer(), uint8_t(0));
    const uint32_t coding = link.getCoding();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&coding), 4), QByteArray("702#"));
}

void tst_ZantLinkComponent::requestOperations_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("expected");

    const auto run = [](const std::function<void(RecordingLink &)> &request) {
        RecordingLink link;
        request(link);
        return link.writes.size() == 1 ? link.writes.first() : QByteArray("wrong write count");
    };

    QTest::newRow("worked example GetName")
        << run([](RecordingLink &l) { l.sendGetName(ZantLinkPacket::Platform); })
        << hex("373032230f0005000200005dcb3748");
    QTest::newRow("worked example GetModelValue")
        << run([](RecordingLink &l) { l.sendGetModelValue(0x0102); })
        << hex("373032231300070002000102000201f1d59b35");
    QTest::newRow("GetName Display")
        << run([](RecordingLink &l) { l.sendGetName(1); }) << expectedPacket(5, 2, 1, {});
    QTest::newRow("Reset") << run([](RecordingLink &l) { l.sendReset(); })
                           << expectedPacket(0, 2, 0, {});
    QTest::newRow("JumpToBootloader Display")
        << run([](RecordingLink &l) { l.sendJumpToBootloader(1); }) << expectedPacket(1, 2, 1, {});
    QTest::newRow("SetModelValue 1 byte")
        << run([](RecordingLink &l) { l.sendSetModelValue(4, 1, 1); })
        << expectedPacket(6, 2, 0, {hex("0400"), hex("01")});
    QTest::newRow("SetModelValue 1 byte keeps low byte")
        << run([](RecordingLink &l) { l.sendSetModelValue(10, 0x1234, 1); })
        << expectedPacket(6, 2, 0, {hex("0a00"), hex("34")});
    QTest::newRow("SetModelValue 2 bytes")
        << run([](RecordingLink &l) { l.sendSetModelValue(45, 0xBEEF, 2); })
        << expectedPacket(6, 2, 0, {hex("2d00"), hex("efbe")});
    QTest::newRow("SetModelValue 4 bytes")
        << run([](RecordingLink &l) { l.sendSetModelValue(46, 36262, 4); })
        << expectedPacket(6, 2, 0, {hex("2e00"), hex("a68d0000")});
    QTest::newRow("SetModelValue float")
        << run([](RecordingLink &l) { l.sendSetModelValue(2, 2.5f); })
        << expectedPacket(6, 2, 0, {hex("0200"), hex("00002040")});
    QTest::newRow("FireModelAction FactoryReset")
        << run([](RecordingLink &l) { l.sendFireModelAction(5); })
        << expectedPacket(8, 2, 0, {hex("0500")});
    QTest::newRow("ApplicationUpdate")
        << run([](RecordingLink &l) { l.sendApplicationUpdate(1, 2, 0xCBF43926u); })
        << expectedPacket(9, 2, 1, {hex("0200"), hex("2639f4cb")});

    static const QByteArray block = [] {
        QByteArray bytes(512, Qt::Uninitialized);
        for (int i = 0; i < bytes.size(); ++i) {
            bytes[i] = char(i * 7 + 0x11);
        }
        return bytes;
    }();
    const uint32_t blockCrc = Crc32().calculate(block.constData(), block.size());
    QTest::newRow("Memblock 512 bytes")
        << run([blockCrc](RecordingLink &l) {
               l.sendMemblock(0, 0x0102, block.constData(), 512, blockCrc);
           })
        << expectedPacket(
               11, 2, 0,
               {hex("0201"), block, QByteArray(reinterpret_cast<const char *>(&blockCrc), 4)});
    QTest::newRow("Memblock last short block")
        << run([](RecordingLink &l) { l.sendMemblock(1, 1, block.constData(), 488, 0x11131113u); })
        << expectedPacket(11, 2, 1, {hex("0100"), block.left(488), hex("13111311")});
}

void tst_ZantLinkComponent::requestOperations()
{
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, expected);
    QCOMPARE(written.toHex(' '), expected.toHex(' '));
    // The decoder agrees with the checksum the encoder wrote.
    const ZantLinkPacket packet(written);
    QCOMPARE(packet.getChecksum(), Crc32().calculate(written.constData(), written.size() - 4));
    QCOMPARE(int(packet.getLength()), written.size());
}

void tst_ZantLinkComponent::requestsReturnZeroWhateverTheWrite_data()
{
    QTest::addColumn<int>("writeResult");
    QTest::newRow("written") << int(ZantLinkComponent::WriteOk);
    QTest::newRow("no port") << int(ZantLinkComponent::WriteNoPort);
    QTest::newRow("write failed") << int(ZantLinkComponent::WriteFailed);
}

void tst_ZantLinkComponent::requestsReturnZeroWhateverTheWrite()
{
    QFETCH(int, writeResult);
    RecordingLink link(writeResult);
    const char data[] = "abc";
    QCOMPARE(link.sendReset(), 0);
    QCOMPARE(link.sendGetName(0), 0);
    QCOMPARE(link.sendJumpToBootloader(0), 0);
    QCOMPARE(link.sendSetModelValue(1, 2, 1), 0);
    QCOMPARE(link.sendSetModelValue(1, 2.0f), 0);
    QCOMPARE(link.sendGetModelValue(1), 0);
    QCOMPARE(link.sendFireModelAction(1), 0);
    QCOMPARE(link.sendApplicationUpdate(0, 1, 2), 0);
    QCOMPARE(link.sendMemblock(0, 0, data, 3, 0), 0);
    QCOMPARE(link.send(3, 2, 0), 0);
    QCOMPARE(link.send(ZantLinkPacket(3, 2, 0)), 0);
    QCOMPARE(link.sendLine("x"), 0);
    QCOMPARE(link.writes.size(), 11);
    QCOMPARE(link.texts.size(), 1);
}

void tst_ZantLinkComponent::sendsWholePacket()
{
    // Raw bytes, length and checksum of the packet are not used; the source is.
    const uint8_t index = 2;
    const float brightness = 0.75f;
    ZantLinkPacket packet(17, 3, 1);
    packet.addArgument(Argument(&index, 1));
    packet.addArgument(Argument(&brightness, 4));
    RecordingLink link;
    link.send(packet);
    QCOMPARE(link.writes.size(), 1);
    QCOMPARE(link.writes.first().toHex(' '),
             expectedPacket(17, 3, 1, {hex("02"), hex("0000403f")}).toHex(' '));

    // A received packet is sent again with its own nodes and arguments.
    const ZantLinkPacket received(link.writes.first());
    link.send(received);
    QCOMPARE(link.writes.at(1), link.writes.at(0));
}

void tst_ZantLinkComponent::sendsAtMostThreeArguments()
{
    const uint8_t bytes[] = {1, 2, 3, 4};
    RecordingLink link;
    link.send(23, 2, 0,
              {Argument(bytes, 1), Argument(bytes + 1, 1), Argument(bytes + 2, 1),
               Argument(bytes + 3, 1)});
    QCOMPARE(link.writes.size(), 1);
    QCOMPARE(link.writes.first(), expectedPacket(23, 2, 0, {hex("01"), hex("02"), hex("03")}));
}

void tst_ZantLinkComponent::oversizedPacketIsNotWritten()
{
    const QByteArray data(2000, 'x');
    RecordingLink link;
    QCOMPARE(link.sendMemblock(0, 1, data.constData(), 2000, 0), 0);
    QVERIFY(link.writes.isEmpty());
}

void tst_ZantLinkComponent::sendLineWritesTextWithLineEnd()
{
    RecordingLink link;
    link.sendLine("AB");
    QCOMPARE(link.texts, QList<QByteArray>({QByteArray("AB\r\n")}));
    QVERIFY(link.writes.isEmpty());
}

void tst_ZantLinkComponent::commandNames_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("name");
    const QList<QByteArray> names
        = QByteArray("Reset JumpToBootloader JumpToApplication GetSWVersion GetHALVersion GetName "
                     "SetModelValue GetModelValue FireModelAction ApplicationUpdate "
                     "BootloaderUpdate Memblock EraseSW InitEEPROM DumpEEPROM InitUserArea "
                     "ExternalFlashGetDeviceID MainButtonSetLED PhaseCtrlSetRelay "
                     "PhaseCtrlSetMosfet PhaseCtrlGetFailureStatus PhaseCtrlResetPhase "
                     "PhaseCtrlGetReadyStatus MeasurementSetStaticOffset "
                     "MeasurementSetGainOffset MeasurementGetWaveform StateMachineGetState "
                     "StateMachineResetError AnalogSignalsSetRelay FanSetDutyCycle "
                     "GetTemperature GetAuxVoltage GetSupplyVoltage GetSupplyState "
                     "GetThermalCapacity SetThermalCapacity DisplayTestMode "
                     "MeasurementGetRMSValue AnalogSignalsGetInputStatus GetButtonStatus "
                     "MosfetMonitorGetState MeasurementGetStaticOffset MeasurementGetGainOffset "
                     "MeasurementGetMovingAverageValue DeviceProtectionGetDCProtection "
                     "DeviceProtectionSetDCProtection MaxCount")
              .split(' ');
    QCOMPARE(names.size(), 47);
    for (int code = 0; code < names.size(); ++code) {
        QTest::addRow("%d", code) << code << names.at(code);
    }
    QTest::newRow("47") << 47 << QByteArray("Unknown");
    QTest::newRow("0xffff") << 0xffff << QByteArray("Unknown");
}

void tst_ZantLinkComponent::commandNames()
{
    QFETCH(int, code);
    QFETCH(QByteArray, name);
    QCOMPARE(QByteArray(ZantLinkCommandCode::name(uint16_t(code))), name);
}

K27_TEST_GUILESS_MAIN(tst_ZantLinkComponent)
#include "tst_ZantLinkComponent.moc"
