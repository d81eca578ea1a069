#include "component/ZantLinkPacket.h"
#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelActionEvent.h"
#include "model/interfaces/ModelValueEvent.h"
#include "model/observer/ModelActionObserver.h"
#include "model/observer/ModelValueObserver.h"
#include "support/ModelTestApplication.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <memory>
#include <zlib.h>

using Component::Interfaces::ZantLinkPacket;
using TestSupport::ModelTestApplication;

namespace {
// A packet from the Host to the Platform, built byte by byte with the CRC-32 of zlib, so
// that the expectation shares no code with the link's encoder.
QByteArray hostToPlatform(quint16 command, const QVector<QByteArray> &arguments)
{
    QByteArray bytes("702#");
    int length = 15;
    for (const QByteArray &argument : arguments)
        length += 2 + argument.size();
    const auto append16 = [&bytes](int number) {
        bytes.append(char(number & 0xFF));
        bytes.append(char((number >> 8) & 0xFF));
    };
    append16(length);
    append16(command);
    bytes.append(char(2)); // Host
    bytes.append(char(0)); // Platform
    bytes.append(char(arguments.size()));
    for (const QByteArray &argument : arguments) {
        append16(argument.size());
        bytes.append(argument);
    }
    const uLong crc
        = crc32(0L, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size()));
    for (int shift = 0; shift < 32; shift += 8)
        bytes.append(char((crc >> shift) & 0xFF));
    return bytes;
}

QByteArray id16(int id)
{
    return QByteArray::fromHex(QByteArray::number(id & 0xFF, 16).rightJustified(2, '0')
                               + QByteArray::number(id >> 8, 16).rightJustified(2, '0'));
}

QByteArray setModelValue(int id, const char *hexContent)
{
    return hostToPlatform(6, {id16(id), QByteArray::fromHex(hexContent)});
}

QByteArray getModelValue(int id)
{
    return hostToPlatform(7, {id16(id)});
}
} // namespace

// What the model writes on the link: "SetModelValue", "GetModelValue" and
// "FireModelAction" packets, byte for byte, and the order of a full request.
class TestModelLink : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void expectationMatchesTheLinkFormat()
    {
        // The worked example of the link format: "GetModelValue" carrying 0x0102.
        QCOMPARE(getModelValue(0x0102),
                 QByteArray::fromHex("3730322313000700020001020002"
                                     "01f1d59b35"));
    }

    void sendWritesSetModelValue_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("receivedContent");
        QTest::addColumn<QByteArray>("packet");

        const auto row = [](const char *name, int id, const char *content) {
            QTest::newRow(name) << id << QByteArray::fromHex(content) << setModelValue(id, content);
        };
        row("bool true", 4, "01");
        row("bool false", 43, "00");
        row("u8", 7, "4d");
        row("u16", 49, "e807");
        row("u32", 45, "78563412");
        row("8-bit enumeration", 0, "03");
        row("8-bit enumeration outside its texts", 17, "0f");
        row("32-bit enumeration", 46, "a68d0000");
        row("char", 47, "43");
        row("float", 2, "00002040");
        row("float with a fraction", 26, "cdcccc3d");
        row("identifier above 255", 54, "01");
    }
    void sendWritesSetModelValue()
    {
        QFETCH(int, id);
        QFETCH(QByteArray, receivedContent);
        QFETCH(QByteArray, packet);

        ModelTestApplication application;
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        Model::Database::ModelDatabase database(&application, &values, &actions);

        Model::Interfaces::ModelValueIntf *value = values.findValue(quint16(id));
        QVERIFY(value != nullptr);
        value->receive(ZantLinkPacket::Argument(receivedContent.constData(),
                                                uint16_t(receivedContent.size())));
        QVERIFY(application.link0()->writes().isEmpty());
        value->send();
        QCOMPARE(application.link0()->writes(), QVector<QByteArray>({packet}));

        // The link's own encoder agrees.
        const QByteArray idBytes = id16(id);
        const ZantLinkPacket::Argument arguments[]
            = {{idBytes.constData(), uint16_t(idBytes.size())},
               {receivedContent.constData(), uint16_t(receivedContent.size())}};
        QCOMPARE(
            ZantLinkPacket::encode(6, ZantLinkPacket::Host, ZantLinkPacket::Platform, arguments, 2),
            packet);
    }

    void sendAfterSetValue()
    {
        ModelTestApplication application;
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        Model::Database::ModelDatabase database(&application, &values, &actions);

        database.settings().softstartEnable().setValue(true);
        database.settings().softstartEnable().send();
        database.settings().tripClass().setValue(
            Model::Interfaces::ModelTypes::Settings::TripClass::Class20);
        database.settings().tripClass().send();
        QCOMPARE(application.link0()->writes(),
                 QVector<QByteArray>({setModelValue(4, "01"), setModelValue(0, "05")}));
    }

    void requestWritesGetModelValue()
    {
        ModelTestApplication application;
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        Model::Database::ModelDatabase database(&application, &values, &actions);

        database.settings().nominalCurrent().request();
        database.information().productionYear().request();
        // Values outside the request lists can still be asked for one by one.
        database.housingLighting().housingType().request();
        QCOMPARE(application.link0()->writes(),
                 QVector<QByteArray>({hostToPlatform(7, {QByteArray::fromHex("0200")}),
                                      hostToPlatform(7, {QByteArray::fromHex("3100")}),
                                      hostToPlatform(7, {QByteArray::fromHex("2c00")})}));
    }

    void requestAllSends47RequestsInOrder()
    {
        ModelTestApplication application;
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        Model::Database::ModelDatabase database(&application, &values, &actions);

        database.requestAll();
        const QVector<int> expected = {11, 1,  0,  3,  2,  4,  5,  6,  7,  12, 25, 26,
                                       27, 16, 28, 29, 30, 43, 31, 32, 33, 52, 53, 54, // settings
                                       10, 9, // operation
                                       17, 19, 18, // faults
                                       21, 22, 23, // housing lighting
                                       24, // boot-up state
                                       35, 34, 20, // measurement
                                       39, 40, 41, 42, 15, 45, 46, 47, 50, 48, 49}; // information
        QCOMPARE(expected.size(), 47);

        const QVector<QByteArray> &writes = application.link0()->writes();
        QCOMPARE(writes.size(), 47);
        QVector<int> ids;
        for (const QByteArray &write : writes) {
            const ZantLinkPacket packet(write);
            QCOMPARE(packet.getCommand(), quint16(7));
            QCOMPARE(packet.argumentCount(), 1);
            QCOMPARE(packet.argument(0).count, quint16(2));
            ids.append(packet.argument(0).data[0] | packet.argument(0).data[1] << 8);
            QCOMPARE(write, getModelValue(ids.last()));
        }
        QCOMPARE(ids, expected);
        QCOMPARE(ids.first(), 11);
        QCOMPARE(ids.last(), 49);
    }

    void fireFactoryReset()
    {
        ModelTestApplication application;
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        Model::Database::ModelDatabase database(&application, &values, &actions);

        database.actions().factoryReset().fire();
        QCOMPARE(application.link0()->writes(),
                 QVector<QByteArray>({hostToPlatform(8, {QByteArray::fromHex("0500")})}));
        QCOMPARE(application.link0()->writes().first().mid(11, 4), QByteArray::fromHex("02000500"));
    }

    void everyActionFiresItsIdentifier()
    {
        ModelTestApplication application;
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        Model::Database::ModelDatabase database(&application, &values, &actions);

        Model::Database::ModelActions &group = database.actions();
        Model::Interfaces::ModelAction *inOrder[] = {&group.resetError(),
                                                     &group.startVoltageMeasurement(),
                                                     &group.startCurrentMeasurement(),
                                                     &group.startPowerMeasurement(),
                                                     &group.stopMeasurement(),
                                                     &group.factoryReset(),
                                                     &group.motorLeftOn(),
                                                     &group.motorRightOn(),
                                                     &group.motorStop(),
                                                     &group.startDisplayUpdate(),
                                                     &group.stopDisplayUpdate()};
        QVector<QByteArray> expected;
        for (Model::Interfaces::ModelAction *action : inOrder) {
            action->fire();
            expected.append(hostToPlatform(8, {id16(action->getId())}));
        }
        QCOMPARE(application.link0()->writes(), expected);
        QCOMPARE(expected.last(), hostToPlatform(8, {QByteArray::fromHex("0c00")}));
        QCOMPARE(inOrder[1]->getId(), quint16(1));
        QCOMPARE(inOrder[8]->getId(), quint16(8));

        // requestAll and resetAll of the action group send nothing.
        application.link0()->clear();
        group.requestAll();
        group.resetAll();
        QVERIFY(application.link0()->writes().isEmpty());
    }

    void eventsOfTypeOneReachTheLinkOnlyForValues()
    {
        ModelTestApplication application;
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        Model::Database::ModelDatabase database(&application, &values, &actions);

        database.settings().overloadReset().setValue(true);
        Model::Interfaces::ModelValueEvent write(Model::Interfaces::ModelValueEvent::SendToDevice,
                                                 43);
        values.update(Model::Interfaces::ModelValueEvent::Channel, write);
        QCOMPARE(application.link0()->writes(), QVector<QByteArray>({setModelValue(43, "01")}));

        // An action event only reaches the action's send hook, which sends nothing.
        Model::Interfaces::ModelActionEvent motorStop(8);
        actions.update(Model::Interfaces::ModelActionEvent::Channel, motorStop);
        values.update(Model::Interfaces::ModelActionEvent::Channel, write);
        QCOMPARE(application.link0()->writes().size(), 1);
    }

    void secondLinkIsServedFirst()
    {
        ModelTestApplication application(ModelTestApplication::Links0And1);
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        Model::Database::ModelDatabase database(&application, &values, &actions);

        database.settings().nominalCurrent().request();
        database.settings().nominalCurrent().send();
        database.actions().motorStop().fire();
        const QVector<TestSupport::RecordingLinkComponent::Write> &journal = application.journal();
        QCOMPARE(journal.size(), 6);
        const QByteArray packets[] = {getModelValue(2), setModelValue(2, "0000803f"),
                                      hostToPlatform(8, {QByteArray::fromHex("0800")})};
        for (int index = 0; index < 3; ++index) {
            QCOMPARE(journal.at(2 * index).componentId, 1u);
            QCOMPARE(journal.at(2 * index + 1).componentId, 0u);
            QCOMPARE(journal.at(2 * index).bytes, packets[index]);
            QCOMPARE(journal.at(2 * index + 1).bytes, packets[index]);
        }
    }

    void linksAreLookedUpAtConstruction()
    {
        ModelTestApplication application(ModelTestApplication::NoLink);
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        Model::Database::ModelDatabase database(&application, &values, &actions);

        // A link added after the model exists is never used by it.
        TestSupport::RecordingLinkComponent lateLink(0);
        application.addComponent(&lateLink);
        database.requestAll();
        database.settings().nominalCurrent().send();
        database.actions().factoryReset().fire();
        QVERIFY(lateLink.writes().isEmpty());
        // The values still work locally.
        database.settings().nominalCurrent().request();
        QCOMPARE(database.settings().nominalCurrent().upperNeighbour(), 1.1f);
    }
};

K27_TEST_GUILESS_MAIN(TestModelLink)
#include "tst_modellink.moc"
