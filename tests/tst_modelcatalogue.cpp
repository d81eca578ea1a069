#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelValueID.h"
#include "model/observer/ModelActionObserver.h"
#include "model/observer/ModelValueObserver.h"
#include "support/ModelTestApplication.h"
#include "support/ModelValueProbe.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <cstring>
#include <memory>

using Model::Interfaces::ModelValueIntf;

namespace {
QByteArray floatBytes(float number)
{
    quint32 bits;
    std::memcpy(&bits, &number, sizeof bits);
    QByteArray bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes.append(char(bits >> shift));
    return bytes;
}
} // namespace

// The whole catalogue against a table written from the device's data model description:
// for every identifier its name, the group that holds it, the content type with its link
// width, default, range and the text of the default.
class TestModelCatalogue : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    TestSupport::ModelTestApplication m_application;
    Model::Observer::ModelValueObserver m_valueObserver;
    Model::Observer::ModelActionObserver m_actionObserver;
    std::unique_ptr<Model::Database::ModelDatabase> m_database;

    Model::Interfaces::Model *groupByNumber(int groupNumber)
    {
        Model::Interfaces::Model *groups[] = {
            &m_database->settings(),        &m_database->operation(),   &m_database->faults(),
            &m_database->housingLighting(), &m_database->bootupState(), &m_database->measurement(),
            &m_database->information(),     &m_database->actions()};
        for (Model::Interfaces::Model *group : groups) {
            if (int(group->getGroupNumber()) == groupNumber)
                return group;
        }
        return nullptr;
    }

protected:
    void setUp() override
    {
        m_database = std::make_unique<Model::Database::ModelDatabase>(
            &m_application, &m_valueObserver, &m_actionObserver);
    }
    void tearDown() override { m_database.reset(); }

private slots:
    void everyIdentifier_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("group"); // 0: no value in the model
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("width");
        QTest::addColumn<double>("defaultValue");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QByteArray>("defaultText");

        const auto row
            = [](int id, const char *name, int group, const char *type, int width,
                 double defaultValue, double minimum, double maximum, const char *defaultText) {
                  QTest::addRow("%d %s", id, name)
                      << id << QByteArray(name) << group << QString::fromLatin1(type) << width
                      << defaultValue << minimum << maximum << QByteArray(defaultText);
              };
        const auto none = [](int id, const char *name) {
            QTest::addRow("%d %s", id, name) << id << QByteArray(name) << 0 << QString() << 0 << 0.0
                                             << 0.0 << 0.0 << QByteArray();
        };

        row(0, "TripClass", 1, "Settings::TripClass", 1, 0, 0, 7, "2E");
        row(1, "TripClassMax", 1, "Settings::TripClass", 1, 7, 0, 7, "40E");
        row(2, "NominalCurrent", 1, "float", 4, 1.0, 0.1, 9.9, "1.0");
        row(3, "NominalCurrentMax", 1, "float", 4, 9.9, 0.1, 9.9, "9.9");
        row(4, "SoftstartEnable", 1, "bool", 1, 0, 0, 1, "Disable");
        row(5, "SoftstartRampUpTime", 1, "float", 4, 2.0, 0.0, 20.0, "2.0");
        row(6, "SoftstartRampDownTime", 1, "float", 4, 2.0, 0.0, 20.0, "2.0");
        row(7, "SoftstartMinVoltage", 1, "u8", 1, 50, 0, 100, "50");
        none(8, "CapacityDevice");
        row(9, "CapacityIndicator", 2, "u8", 1, 0, 0, 100, "0");
        row(10, "OperatingMode", 2, "Operation::Mode", 1, 0, 0, 3, "Idle");
        row(11, "Settings", 1, "GFX::Setting", 1, 1, 0, 11, "Trip Class");
        row(12, "SubSettingSoftstart", 1, "GFX::SoftstartSubSetting", 1, 1, 0, 4, "Enable");
        none(13, "SubSettingUndercurrent");
        none(14, "SubSettingUndervoltage");
        row(15, "SubSettingAbout", 9, "GFX::AboutSubSetting", 1, 1, 0, 3, "HW");
        row(16, "SubSettingLimit", 1, "GFX::LimitSubSetting", 1, 1, 0, 3, "Enable");
        row(17, "Warning", 3, "Fault::Type", 1, 0, 0, 16, "Device OK");
        row(18, "Error", 3, "Fault::Type", 1, 0, 0, 16, "Device OK");
        row(19, "FaultPhase", 3, "Fault::Phase", 1, 0, 0, 3, "L1");
        row(20, "MeasurementPhase", 7, "Measurement::Phase", 1, 0, 0, 3, "0");
        row(21, "HousingEdge", 4, "HousingLighting::Edge", 1, 1, 1, 3, "1");
        row(22, "HousingBrightnessRed", 4, "u8", 1, 0, 0, 100, "0");
        row(23, "HousingBrightnessYellow", 4, "u8", 1, 0, 0, 100, "0");
        row(24, "PlatformState", 5, "Bootup::PlatformState", 1, 1, 1, 3, "Startup");
        row(25, "UndercurrentEnable", 1, "bool", 1, 0, 0, 1, "Disable");
        row(26, "UndercurrentThreshold", 1, "float", 4, 0.1, 0.0, 9.9, "0.1");
        row(27, "UndercurrentFaultType", 1, "Settings::FaultType", 1, 0, 0, 1, "Warning");
        row(28, "UndervoltageEnable", 1, "bool", 1, 0, 0, 1, "Disable");
        row(29, "UndervoltageThreshold", 1, "float", 4, 207.0, 0.0, 600.0, "207");
        row(30, "UndervoltageFaultType", 1, "Settings::FaultType", 1, 0, 0, 1, "Warning");
        row(31, "OvervoltageEnable", 1, "bool", 1, 0, 0, 1, "Disable");
        row(32, "OvervoltageThreshold", 1, "float", 4, 253.0, 0.0, 600.0, "253");
        row(33, "OvervoltageFaultType", 1, "Settings::FaultType", 1, 0, 0, 1, "Warning");
        row(34, "MeasurementVoltage", 7, "float", 4, 0.0, 0.0, 600.0, "0");
        row(35, "MeasurementCurrent", 7, "float", 4, 0.0, 0.0, 100.0, "0.0");
        row(36, "MeasurementActivePower", 7, "float", 4, 0.0, 0.0, 9999.0, "0.00");
        row(37, "MeasurementApparentPower", 7, "float", 4, 0.0, 0.0, 9999.0, "0.00");
        row(38, "MeasurementReactivePower", 7, "float", 4, 0.0, 0.0, 9999.0, "0.00");
        row(39, "PlatformVersion", 9, "u32", 4, 0, 0, 4294967295.0, "V0.0.0.0");
        row(40, "HardwareIDControllerBoard", 9, "u8", 1, 0, 0, 15, "0");
        row(41, "HardwareIDPowerBoard", 9, "u8", 1, 0, 0, 15, "0");
        row(42, "HardwareIDDisplayBoard", 9, "u8", 1, 0, 0, 15, "0");
        row(43, "OverloadReset", 1, "bool", 1, 0, 0, 1, "Manual");
        row(44, "HousingType", 4, "HousingLighting::Type", 1, 0, 0, 8, "");
        row(45, "SerialNumber", 9, "u32", 4, 0, 0, 0, "0");
        row(46, "ArticleNumber", 9, "Information::DeviceType", 4, 36258, 36258, 36250, "36258");
        row(47, "ArticleIndex", 9, "char", 1, 'A', 'A', 'Z', "A");
        row(48, "ProductionWeek", 9, "u8", 1, 0, 0, 0, "0");
        row(49, "ProductionYear", 9, "u16", 2, 0, 0, 0, "0");
        row(50, "ProductionDay", 9, "u8", 1, 0, 0, 0, "0");
        none(51, "SettingChanged");
        row(52, "LoadAsymmetryEnable", 1, "bool", 1, 0, 0, 1, "Disable");
        row(53, "LoadAsymmetryThreshold", 1, "float", 4, 0.01, 0.01, 1.0, "0.0");
        row(54, "LoadAsymmetryFaultType", 1, "Settings::FaultType", 1, 0, 0, 1, "Warning");
    }
    void everyIdentifier()
    {
        QFETCH(int, id);
        QFETCH(QByteArray, name);
        QFETCH(int, group);
        QFETCH(QString, type);
        QFETCH(int, width);
        QFETCH(double, defaultValue);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QByteArray, defaultText);

        QCOMPARE(QByteArray(Model::Interfaces::modelValueName(quint16(id))), name);

        ModelValueIntf *value = m_valueObserver.findValue(quint16(id));
        if (group == 0) {
            QVERIFY(value == nullptr);
            return;
        }
        QVERIFY(value != nullptr);
        QCOMPARE(int(value->getId()), id);

        Model::Interfaces::Model *owner = groupByNumber(group);
        QVERIFY(owner != nullptr);
        bool member = false;
        for (int index = 0; index < owner->memberCount(); ++index)
            member = member || owner->memberAt(index) == value;
        QVERIFY2(member, "the value belongs to another group");

        const TestSupport::ModelValueProbe probe = TestSupport::probeValue(value);
        QVERIFY(probe.found);
        QCOMPARE(probe.typeName, type);
        QCOMPARE(value->linkWidth(), width);
        if (probe.isFloat) {
            // Contents are single precision: compare with the float nearest the written number.
            QCOMPARE(float(probe.defaultValue), float(defaultValue));
            QCOMPARE(float(probe.minimum), float(minimum));
            QCOMPARE(float(probe.maximum), float(maximum));
        } else {
            QCOMPARE(probe.defaultValue, defaultValue);
            QCOMPARE(probe.minimum, minimum);
            QCOMPARE(probe.maximum, maximum);
        }
        QCOMPARE(probe.value, probe.defaultValue);
        QCOMPARE(value->toString(), defaultText);
    }

    // For every value, the step its neighbours follow (integer rule, whole, tenths or units,
    // each wrapping at the range's ends), seen from the default, and the kind of its text form,
    // seen from a content chosen to tell the kinds apart (cut versus rounded, capped, an
    // enumeration's fallback).
    void everyValueStepAndTextForm_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<QByteArray>("sample");
        QTest::addColumn<QByteArray>("sampleText");

        const auto row = [](int id, double lower, double upper, const QByteArray &sample,
                            const char *sampleText) {
            QTest::addRow("%d %s", id, Model::Interfaces::modelValueName(quint16(id)))
                << id << lower << upper << sample << QByteArray(sampleText);
        };
        const auto hex = [](const char *digits) { return QByteArray::fromHex(digits); };
        const auto f = floatBytes;

        row(0, 7, 1, hex("08"), "");
        row(1, 6, 0, hex("08"), "");
        row(2, 0.9, 1.1, f(9.99f), "9.9");
        row(3, 9.8, 0.1, f(2.96f), "2.9");
        row(4, 1, 1, hex("01"), "Enable");
        row(5, 1.9, 2.1, f(19.99f), "19.9");
        row(6, 1.9, 2.1, f(0.55f), "0.5");
        row(7, 49, 51, hex("4d"), "77");
        row(9, 100, 1, hex("64"), "100");
        row(10, 3, 1, hex("04"), "Idle");
        row(11, 0, 2, hex("06"), " ");
        row(12, 0, 2, hex("05"), " ");
        row(15, 0, 2, hex("03"), " ");
        row(16, 0, 2, hex("04"), " ");
        row(17, 16, 1, hex("0f"), " ");
        row(18, 16, 1, hex("10"), " ");
        row(19, 3, 1, hex("04"), " ");
        row(20, 3, 1, hex("03"), "3");
        row(21, 3, 2, hex("02"), "2");
        row(22, 100, 1, hex("64"), "100");
        row(23, 100, 1, hex("32"), "50");
        row(24, 3, 2, hex("00"), " ");
        row(25, 1, 1, hex("01"), "Enable");
        row(26, 0.0, 0.2, f(9.99f), "9.9");
        row(27, 1, 1, hex("02"), " ");
        row(28, 1, 1, hex("01"), "Enable");
        row(29, 206, 208, f(207.9f), "207");
        row(30, 1, 1, hex("02"), " ");
        row(31, 1, 1, hex("01"), "Enable");
        row(32, 252, 254, f(253.5f), "253");
        row(33, 1, 1, hex("02"), " ");
        row(34, 600, 0.1, f(400.6f), "401");
        row(35, 100, 0.1, f(9.99f), "9.9");
        row(36, 9999, 1, f(1234.0f), "1.23");
        row(37, 9999, 1, f(12345.0f), "9.99");
        row(38, 9999, 1, f(999.0f), "0.99");
        row(39, 4294967295.0, 1, hex("04030201"), "V1.2.3.4");
        row(40, 15, 1, hex("0f"), "15");
        row(41, 15, 1, hex("0a"), "10");
        row(42, 15, 1, hex("03"), "3");
        row(43, 1, 1, hex("01"), "Automatic");
        row(44, 8, 1, hex("05"), "");
        row(45, 0, 0, hex("78563412"), "305419896");
        row(46, 36250, 36258, hex("a68d0000"), "36262");
        row(47, 'Z', 'B', hex("43"), "C");
        row(48, 0, 0, hex("0c"), "12");
        row(49, 0, 0, hex("e807"), "2024");
        row(50, 0, 0, hex("1f"), "31");
        row(52, 1, 1, hex("01"), "Enable");
        row(53, 1.0, 0.1, f(0.99f), "0.9");
        row(54, 1, 1, hex("01"), "Error");
    }
    void everyValueStepAndTextForm()
    {
        QFETCH(int, id);
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(QByteArray, sample);
        QFETCH(QByteArray, sampleText);

        ModelValueIntf *value = m_valueObserver.findValue(quint16(id));
        QVERIFY(value != nullptr);
        QCOMPARE(sample.size(), value->linkWidth());

        // reset recomputes the neighbours of the default content.
        value->reset();
        TestSupport::ModelValueProbe probe = TestSupport::probeValue(value);
        QVERIFY(probe.found);
        if (probe.isFloat) {
            QCOMPARE(float(probe.lowerNeighbour), float(lower));
            QCOMPARE(float(probe.upperNeighbour), float(upper));
        } else {
            QCOMPARE(probe.lowerNeighbour, lower);
            QCOMPARE(probe.upperNeighbour, upper);
        }

        value->receive(Component::Interfaces::ZantLinkPacket::Argument(sample.constData(),
                                                                       uint16_t(sample.size())));
        QCOMPARE(value->toString(), sampleText);
    }

    void namesBeyondTheCatalogue_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("count") << 55 << QByteArray("MaxCount");
        QTest::newRow("first past the count") << 56 << QByteArray("Unknown");
        QTest::newRow("largest") << 65535 << QByteArray("Unknown");
    }
    void namesBeyondTheCatalogue()
    {
        QFETCH(int, id);
        QFETCH(QByteArray, name);
        QCOMPARE(QByteArray(Model::Interfaces::modelValueName(quint16(id))), name);
        QVERIFY(m_valueObserver.findValue(quint16(id)) == nullptr);
    }

    void groupsInOrderWithTheirMembers()
    {
        struct Expected
        {
            Model::Interfaces::Model *group;
            quint32 number;
            QVector<int> members;
        };
        const Expected groups[] = {
            {&m_database->settings(), 1, {11, 12, 16, 1,  0,  3,  2,  4,  5,  6,  7,  25,
                                          26, 27, 28, 29, 30, 31, 32, 33, 43, 52, 53, 54}},
            {&m_database->operation(), 2, {10, 9}},
            {&m_database->faults(), 3, {17, 19, 18}},
            {&m_database->housingLighting(), 4, {21, 22, 23, 44}},
            {&m_database->bootupState(), 5, {24}},
            {&m_database->measurement(), 7, {35, 34, 36, 37, 38, 20}},
            {&m_database->information(), 9, {39, 40, 41, 42, 15, 45, 46, 47, 50, 48, 49}},
            {&m_database->actions(), 8, {}},
        };
        QVector<int> registryOrder;
        for (const Expected &expected : groups) {
            QCOMPARE(expected.group->getGroupNumber(), expected.number);
            QCOMPARE(expected.group->getApplication(), &m_application);
            QVector<int> members;
            for (int index = 0; index < expected.group->memberCount(); ++index)
                members.append(expected.group->memberAt(index)->getId());
            QCOMPARE(members, expected.members);
            registryOrder += members;
        }
        QCOMPARE(registryOrder.size(), 51);
        QCOMPARE(m_valueObserver.valueCount(), 51);
        for (int index = 0; index < registryOrder.size(); ++index)
            QCOMPARE(int(m_valueObserver.valueAt(index)->getId()), registryOrder.at(index));
    }

    void accessorsReachTheirValue()
    {
        using Model::Interfaces::ModelValueID;
        const QVector<QPair<ModelValueIntf *, ModelValueID>> values = {
            {&m_database->settings().setting(), ModelValueID::Settings},
            {&m_database->settings().nominalCurrent(), ModelValueID::NominalCurrent},
            {&m_database->settings().maxNominalCurrent(), ModelValueID::NominalCurrentMax},
            {&m_database->settings().loadAsymmetryFault(), ModelValueID::LoadAsymmetryFaultType},
            {&m_database->operation().operatingMode(), ModelValueID::OperatingMode},
            {&m_database->faults().phase(), ModelValueID::FaultPhase},
            {&m_database->housingLighting().housingType(), ModelValueID::HousingType},
            {&m_database->bootupState().platformState(), ModelValueID::PlatformState},
            {&m_database->measurement().phase(), ModelValueID::MeasurementPhase},
            {&m_database->measurement().reactivePower(), ModelValueID::MeasurementReactivePower},
            {&m_database->information().subSettingAbout(), ModelValueID::SubSettingAbout},
            {&m_database->information().productionYear(), ModelValueID::ProductionYear},
        };
        for (const auto &pair : values) {
            QCOMPARE(pair.first->getId(), Model::Interfaces::toNumber(pair.second));
            QCOMPARE(m_valueObserver.findValue(pair.second), pair.first);
        }
        QCOMPARE(m_database->settings().nominalCurrent().value(), 1.0f);
    }

    void actionsRegisteredInMemberOrder()
    {
        const QVector<int> expected = {0, 2, 3, 1, 4, 5, 6, 7, 8, 11, 12};
        QVector<int> registered;
        for (int index = 0; index < m_actionObserver.actionCount(); ++index)
            registered.append(m_actionObserver.actionAt(index)->getId());
        QCOMPARE(registered, expected);
        QVERIFY(m_actionObserver.findAction(quint16(9)) == nullptr);
        QVERIFY(m_actionObserver.findAction(quint16(10)) == nullptr);
        QCOMPARE(m_actionObserver.findAction(quint16(5)), &m_database->actions().factoryReset());
        QCOMPARE(QByteArray(Model::Interfaces::modelActionName(quint16(9))),
                 QByteArray("MaintenanceSet"));
        QCOMPARE(QByteArray(Model::Interfaces::modelActionName(quint16(12))),
                 QByteArray("StopDisplayUpdate"));
        QCOMPARE(QByteArray(Model::Interfaces::modelActionName(quint16(13))),
                 QByteArray("Unknown"));
    }

    void destroyingTheDatabaseEmptiesTheRegistries()
    {
        m_database.reset();
        QCOMPARE(m_valueObserver.valueCount(), 0);
        QCOMPARE(m_actionObserver.actionCount(), 0);
        QVERIFY(m_valueObserver.findValue(quint16(2)) == nullptr);
    }
};

K27_TEST_GUILESS_MAIN(TestModelCatalogue)
#include "tst_modelcatalogue.moc"
