#include "component/ZantLinkPacket.h"
#include "service/TerminalCommandItem.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QtTest>

using Application::K27::TerminalCommandItem;
using Component::Interfaces::ZantLinkPacket;
using Arg = TerminalCommandItem::Arg;

class tst_TerminalCommandItem : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void commandList_data();
    void commandList();
    void offeredCommandsByControllerState_data();
    void offeredCommandsByControllerState();
    void argumentBytes();
    void copiesShareArgumentsAndKeepType();
    void itemBecomesPacket();
};

void tst_TerminalCommandItem::commandList_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("row");

    // destination text code mode [argument label:type]...; P Platform, D Display;
    // types u8 u16 u32 f32 vid aid.
    const QStringList rows = {
        "P Reset 0 2",
        "P GetSWVersion 3 2",
        "P GetHALVersion 4 2",
        "P GetName 5 2",
        "P JumpToApplication 2 1",
        "P Memblock 11 1",
        "P InitEEPROM 13 1",
        "P DumpEEPROM 14 1",
        "P InitUserArea 15 1",
        "P JumpToBootloader 1 0",
        "P ModelSetValue 6 0 ModelValueID:vid Value:u32",
        "P ModelGetValue 7 0 ModelValueID:vid",
        "P ModelFireAction 8 0 ModelActionID:aid",
        "P PhaseCtrlSetRelay 18 0 Index:u8 Value:u8",
        "P PhaseCtrlSetMosfet 19 0 Index:u8 Value:u8",
        "P PhaseCtrlGetFailureStatus 20 0 Index:u8",
        "P PhaseCtrlResetPhase 21 0 Index:u8",
        "P PhaseCtrlGetReadyStatus 22 0 Index:u8",
        "P MeasurementGetRMSValue 37 0 Index:u8 Unit:u8",
        "P MeasurementGetMovingAverageValue 43 0 Index:u8 Unit:u8",
        "P MeasurementGetStaticOffset 41 0 Phase:u8 Unit:u8",
        "P MeasurementSetStaticOffset 23 0 Phase:u8 Unit:u8 Value:f32",
        "P MeasurementGetGainOffset 42 0 Index:u8 Unit:u8",
        "P MeasurementSetGainOffset 24 0 Index:u8 Unit:u8 Value:f32",
        "P MeasurementGetWaveform 25 0 Index:u8 Unit:u8",
        "P StateMachineGetState 26 0",
        "P StateMachineResetError 27 0",
        "P AnalogSignalsSetRelay 28 0 Index:u8 Value:u8",
        "P FanSetDutyCycle 29 0 Value:u8",
        "P GetTemperature 30 0 Temperature_ID:u8",
        "P GetAuxVoltage 31 0",
        "P GetSupplyVoltage 32 0",
        "P GetSupplyState 33 0",
        "P GetThermalCapacity 34 0 Phase:u8",
        "P SetThermalCapacity 35 0 Phase:u8 Value:f32",
        "P ExternalFlashGetDeviceID 16 0",
        "P AnalogSignalsGetInputStatus 38 0 Index:u8",
        "P MosfetMonitorGetState 40 0",
        "P DeviceProtectionGetDCProtection 44 0",
        "P DeviceProtectionSetDCProtection 45 0 Value:u8",
        "D Reset 0 2",
        "D GetSWVersion 3 2",
        "D GetHALVersion 4 2",
        "D GetName 5 2",
        "D JumpToApplication 2 1",
        "D Memblock 11 1",
        "D JumpToBootloader 1 0",
        "D MainButtonSetLED 17 0 Color:u8 Brightness:f32",
        "D DisplayTestMode 36 0 TestMode:u8",
        "D GetButtonStatus 39 0 ButtonIndex:u8",
    };
    QCOMPARE(rows.size(), 50);
    for (int i = 0; i < rows.size(); ++i) {
        QTest::addRow("%d %s", i, qPrintable(rows.at(i).section(' ', 1, 1))) << i << rows.at(i);
    }
}

void tst_TerminalCommandItem::commandList()
{
    QFETCH(int, index);
    QFETCH(QString, row);
    const auto items = TerminalCommandItem::createCommandItems();
    QCOMPARE(int(items.size()), 50);
    const TerminalCommandItem &item = *items.at(std::size_t(index));
    const QStringList fields = row.split(' ');
    const uint8_t destination = fields.at(0) == "D" ? 1 : 0;

    QCOMPARE(item.type(), 1000);
    QCOMPARE(item.text(), fields.at(1));
    QCOMPARE(int(item.getCode()), fields.at(2).toInt());
    QCOMPARE(int(item.getMode()), fields.at(3).toInt());
    QCOMPARE(int(item.getSource()), 2);
    QCOMPARE(item.getDestination(), destination);
    QCOMPARE(TerminalCommandItem::iconPath(destination),
             destination == 1 ? QStringLiteral(":/images/monitor.png")
                              : QStringLiteral(":/images/tower.png"));

    const QMap<QString, uint32_t> types
        = {{"u8", 0}, {"u16", 1}, {"u32", 2}, {"f32", 3}, {"vid", 4}, {"aid", 5}};
    const QMap<QString, uint16_t> sizes
        = {{"u8", 1}, {"u16", 2}, {"u32", 4}, {"f32", 4}, {"vid", 2}, {"aid", 2}};
    const QStringList arguments = fields.mid(4);
    QCOMPARE(item.getArguments().size(), arguments.size());
    for (int i = 0; i < arguments.size(); ++i) {
        const Arg &argument = *item.getArguments().at(i);
        const QString label = arguments.at(i).section(':', 0, 0).replace('_', ' ');
        const QString kind = arguments.at(i).section(':', 1, 1);
        QCOMPARE(argument.getName(), label);
        QCOMPARE(argument.getType(), types.value(kind));
        QCOMPARE(argument.size(), sizes.value(kind));
        QVERIFY(argument.data() != nullptr);
    }
}

void tst_TerminalCommandItem::offeredCommandsByControllerState_data()
{
    QTest::addColumn<int>("destination");
    QTest::addColumn<int>("state"); // the mode the controller runs: 0 application, 1 bootloader
    QTest::addColumn<int>("offered");
    QTest::newRow("Platform in Application") << 0 << 0 << 35;
    QTest::newRow("Platform in Bootloader") << 0 << 1 << 9;
    QTest::newRow("Display in Application") << 1 << 0 << 8;
    QTest::newRow("Display in Bootloader") << 1 << 1 << 6;
}

void tst_TerminalCommandItem::offeredCommandsByControllerState()
{
    QFETCH(int, destination);
    QFETCH(int, state);
    QFETCH(int, offered);
    int count = 0;
    for (const auto &item : TerminalCommandItem::createCommandItems()) {
        if (item->getDestination() == destination
            && (int(item->getMode()) == state || item->getMode() == TerminalCommandItem::AnyMode)) {
            ++count;
        }
    }
    QCOMPARE(count, offered);
}

void tst_TerminalCommandItem::argumentBytes()
{
    TerminalCommandItem::UInt8Arg u8(QStringLiteral("Index"));
    TerminalCommandItem::UInt16Arg u16(QStringLiteral("Count"));
    TerminalCommandItem::UInt32Arg u32(QStringLiteral("Value"));
    TerminalCommandItem::FloatArg f32(QStringLiteral("Value"));
    TerminalCommandItem::ModelValueIDArg valueId(QStringLiteral("ModelValueID"));
    TerminalCommandItem::ModelActionIDArg actionId(QStringLiteral("ModelActionID"));
    QCOMPARE(u8.getValue(), uint8_t(0));
    QCOMPARE(f32.getValue(), 0.0f);
    u8.setValue(0xab);
    u16.setValue(0x1234);
    u32.setValue(36262);
    f32.setValue(2.5f);
    valueId.setValue(54);
    actionId.setValue(12);

    const auto bytes = [](const Arg &argument) {
        return QByteArray(static_cast<const char *>(argument.data()), argument.size()).toHex();
    };
    QCOMPARE(bytes(u8), QByteArray("ab"));
    QCOMPARE(bytes(u16), QByteArray("3412"));
    QCOMPARE(bytes(u32), QByteArray("a68d0000"));
    QCOMPARE(bytes(f32), QByteArray("00002040"));
    QCOMPARE(bytes(valueId), QByteArray("3600"));
    QCOMPARE(bytes(actionId), QByteArray("0c00"));
    QCOMPARE(valueId.getType(), 4u);
    QCOMPARE(actionId.getType(), 5u);
}

void tst_TerminalCommandItem::copiesShareArgumentsAndKeepType()
{
    const auto items = TerminalCommandItem::createCommandItems();
    const TerminalCommandItem &original = *items.at(10); // ModelSetValue

    const std::unique_ptr<QListWidgetItem> cloned(original.clone());
    const TerminalCommandItem copied(original);
    for (const QListWidgetItem *item : {static_cast<const QListWidgetItem *>(cloned.get()),
                                        static_cast<const QListWidgetItem *>(&copied)}) {
        const auto *copy = dynamic_cast<const TerminalCommandItem *>(item);
        QVERIFY(copy != nullptr);
        QCOMPARE(copy->type(), 1000);
        QCOMPARE(copy->text(), QStringLiteral("ModelSetValue"));
        QCOMPARE(copy->getCode(), uint16_t(6));
        QCOMPARE(copy->getMode(), 0u);
        QCOMPARE(copy->getDestination(), uint8_t(0));
        QCOMPARE(copy->icon().cacheKey(), original.icon().cacheKey());
        QCOMPARE(copy->getArguments().at(0).data(), original.getArguments().at(0).data());
    }

    // Replacing an argument of a copy leaves the original's own argument in place.
    auto *copy = static_cast<TerminalCommandItem *>(cloned.get());
    const auto floatValue
        = QSharedPointer<TerminalCommandItem::FloatArg>::create(QStringLiteral("Value"));
    copy->setArgument(1, floatValue);
    copy->setArgument(5, floatValue);
    QCOMPARE(copy->getArguments().size(), 2);
    QCOMPARE(copy->getArguments().at(1)->getType(), 3u);
    QCOMPARE(original.getArguments().at(1)->getType(), 2u);
}

void tst_TerminalCommandItem::itemBecomesPacket()
{
    const auto items = TerminalCommandItem::createCommandItems();
    const TerminalCommandItem &item = *items.at(21); // MeasurementSetStaticOffset
    QCOMPARE(item.text(), QStringLiteral("MeasurementSetStaticOffset"));
    static_cast<TerminalCommandItem::UInt8Arg &>(*item.getArguments().at(0)).setValue(2);
    static_cast<TerminalCommandItem::UInt8Arg &>(*item.getArguments().at(1)).setValue(1);
    static_cast<TerminalCommandItem::FloatArg &>(*item.getArguments().at(2)).setValue(-1.5f);

    ZantLinkPacket packet(item.getCode(), item.getSource(), item.getDestination());
    for (const auto &argument : item.getArguments()) {
        QVERIFY(packet.addArgument(ZantLinkPacket::Argument(argument->data(), argument->size())));
    }
    const ZantLinkPacket sent(packet.encode());
    QCOMPARE(sent.getCommand(), uint16_t(23));
    QCOMPARE(sent.getSource(), uint8_t(2));
    QCOMPARE(sent.getDestination(), uint8_t(0));
    QCOMPARE(sent.getArgCount(), uint8_t(3));
    QCOMPARE(sent.argument(0).toByteArray().toHex(), QByteArray("02"));
    QCOMPARE(sent.argument(1).toByteArray().toHex(), QByteArray("01"));
    QCOMPARE(sent.argument(2).toByteArray().toHex(), QByteArray("0000c0bf"));
}

K27_TEST_GUILESS_MAIN(tst_TerminalCommandItem)
#include "tst_TerminalCommandItem.moc"
