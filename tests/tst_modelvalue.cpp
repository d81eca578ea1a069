#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelValueEvent.h"
#include "model/observer/ModelActionObserver.h"
#include "model/observer/ModelValueObserver.h"
#include "support/ModelTestApplication.h"
#include "support/ModelValueProbe.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <cstring>
#include <memory>
#include <vector>

using Component::Interfaces::ZantLinkPacket;
using Model::Interfaces::ModelValueEvent;
using Model::Interfaces::ModelValueIntf;

namespace {
QByteArray floatBytes(float number)
{
    QByteArray bytes(4, '\0');
    quint32 bits;
    std::memcpy(&bits, &number, sizeof bits);
    for (int index = 0; index < 4; ++index)
        bytes[index] = char(bits >> (8 * index));
    return bytes;
}

// Receives the bytes from a buffer of exactly their size, so that a read past the end of
// the argument shows under the address sanitizer.
bool receiveExactly(ModelValueIntf *value, const QByteArray &bytes)
{
    std::vector<uint8_t> buffer(bytes.begin(), bytes.end());
    const ZantLinkPacket::Argument argument(buffer.empty() ? nullptr : buffer.data(),
                                            uint16_t(buffer.size()));
    return value->receive(argument);
}

// Records what the value observer republishes, and the content the value held by then.
class RepublishRecorder : public Utilities::Events::EventObserver
{
public:
    explicit RepublishRecorder(Model::Interfaces::ModelIPCValueObserver *registry)
        : EventObserver(ModelValueEvent::Channel)
        , m_registry(registry)
    {
    }

    void update(uint32_t, Utilities::Events::BaseEvent &event) override
    {
        const auto &valueEvent = dynamic_cast<const ModelValueEvent &>(event);
        ids.append(valueEvent.getId());
        texts.append(m_registry->valueText(valueEvent.getId()));
    }

    QVector<int> ids;
    QVector<QByteArray> texts;

private:
    Model::Interfaces::ModelIPCValueObserver *m_registry;
};
} // namespace

// The value framework: decoding by argument length, text forms, neighbours, registries and
// the routing of model value events.
class TestModelValue : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    TestSupport::ModelTestApplication m_application {TestSupport::ModelTestApplication::NoLink};
    Model::Observer::ModelValueObserver m_valueObserver;
    Model::Observer::ModelActionObserver m_actionObserver;
    std::unique_ptr<Model::Database::ModelDatabase> m_database;

    ModelValueIntf *value(int id) { return m_valueObserver.findValue(quint16(id)); }

protected:
    void setUp() override
    {
        m_database = std::make_unique<Model::Database::ModelDatabase>(
            &m_application, &m_valueObserver, &m_actionObserver);
    }
    void tearDown() override { m_database.reset(); }

private slots:
    void decodingByArgumentLength_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("expected");
        // A width that fits no content of the type: the value keeps what it held.
        const double kept = qQNaN();

        QTest::newRow("u16 from two bytes") << 49 << QByteArray::fromHex("3412") << double(0x1234);
        QTest::newRow("u8 keeps the low byte of two") << 48 << QByteArray::fromHex("3412") << 52.0;
        QTest::newRow("u8 keeps the low byte of four")
            << 48 << QByteArray::fromHex("abcdef01") << double(0xab);
        QTest::newRow("u8 from 00 01") << 48 << QByteArray::fromHex("0001") << 0.0;
        QTest::newRow("bool from 00 01") << 4 << QByteArray::fromHex("0001") << 1.0;
        QTest::newRow("bool from four bytes, high set")
            << 4 << QByteArray::fromHex("00000080") << 1.0;
        QTest::newRow("bool from 00") << 4 << QByteArray::fromHex("00") << 0.0;
        QTest::newRow("u16 from three bytes is no content")
            << 49 << QByteArray::fromHex("010203") << kept;
        QTest::newRow("u16 from nothing is no content") << 49 << QByteArray() << kept;
        QTest::newRow("u16 from eight bytes is no content")
            << 49 << QByteArray::fromHex("0102030405060708") << kept;
        QTest::newRow("u32 from four bytes")
            << 45 << QByteArray::fromHex("78563412") << double(0x12345678);
        QTest::newRow("u32 from one byte") << 45 << QByteArray::fromHex("ff") << 255.0;
        QTest::newRow("u32 from two bytes") << 45 << QByteArray::fromHex("ffff") << 65535.0;
        QTest::newRow("enum out of its range") << 17 << QByteArray::fromHex("0f") << 15.0;
        QTest::newRow("enum from four bytes") << 0 << QByteArray::fromHex("09000000") << 9.0;
        QTest::newRow("32-bit enum") << 46 << QByteArray::fromHex("a68d0000") << 36262.0;
        QTest::newRow("char") << 47 << QByteArray::fromHex("43") << double('C');
        QTest::newRow("float 1.0") << 2 << QByteArray::fromHex("0000803f") << 1.0;
        QTest::newRow("float from five bytes is no content")
            << 2 << QByteArray::fromHex("0000803fff") << kept;
        QTest::newRow("float from three bytes is no content")
            << 2 << QByteArray::fromHex("00803f") << kept;
        QTest::newRow("float from one byte is no content")
            << 2 << QByteArray::fromHex("3f") << kept;
        QTest::newRow("float from nothing is no content") << 2 << QByteArray() << kept;
    }
    void decodingByArgumentLength()
    {
        QFETCH(int, id);
        QFETCH(QByteArray, bytes);
        QFETCH(double, expected);

        ModelValueIntf *target = value(id);
        QVERIFY(target != nullptr);
        // A content that none of the rows decodes to, so that "0" cannot be the old content.
        QVERIFY(receiveExactly(target, floatBytes(7.0f).right(target->linkWidth())));
        const double before = TestSupport::probeValue(target).value;
        QVERIFY(before != 0.0);
        const bool taken = receiveExactly(target, bytes);
        const TestSupport::ModelValueProbe probe = TestSupport::probeValue(target);
        QCOMPARE(taken, !qIsNaN(expected));
        QCOMPARE(probe.value, taken ? expected : before);
    }

    void textForms_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("text");

        const auto f = floatBytes;
        const auto hex = [](const char *digits) { return QByteArray::fromHex(digits); };
        QTest::newRow("one decimal is cut, not rounded") << 2 << f(9.99f) << QByteArray("9.9");
        QTest::newRow("one decimal 2.96") << 2 << f(2.96f) << QByteArray("2.9");
        QTest::newRow("one decimal 0.1") << 26 << f(0.1f) << QByteArray("0.1");
        QTest::newRow("one decimal negative") << 35 << f(-0.55f) << QByteArray("-0.5");
        QTest::newRow("whole number 207.5") << 29 << f(207.5f) << QByteArray("207");
        QTest::newRow("whole number 207.9") << 32 << f(207.9f) << QByteArray("207");
        QTest::newRow("power capped") << 36 << f(12345.0f) << QByteArray("9.99");
        QTest::newRow("power 1234") << 37 << f(1234.0f) << QByteArray("1.23");
        QTest::newRow("power 999") << 38 << f(999.0f) << QByteArray("0.99");
        QTest::newRow("voltage rounded") << 34 << f(400.6f) << QByteArray("401");
        QTest::newRow("voltage half away from zero") << 34 << f(400.5f) << QByteArray("401");
        QTest::newRow("voltage 400.4") << 34 << f(400.4f) << QByteArray("400");
        QTest::newRow("voltage capped") << 34 << f(700.0f) << QByteArray("600");
        QTest::newRow("voltage negative") << 34 << f(-3.0f) << QByteArray("0");
        QTest::newRow("version") << 39 << hex("04030201") << QByteArray("V1.2.3.4");
        QTest::newRow("version of the tool") << 39 << hex("04030400") << QByteArray("V0.4.3.4");
        QTest::newRow("operating mode 7") << 10 << hex("07") << QByteArray("Idle");
        QTest::newRow("operating mode 3") << 10 << hex("03") << QByteArray("Safety Stop");
        QTest::newRow("trip class 9") << 0 << hex("09") << QByteArray("");
        QTest::newRow("trip class 3") << 1 << hex("03") << QByteArray("10A");
        QTest::newRow("warning 15") << 17 << hex("0f") << QByteArray(" ");
        QTest::newRow("error 14") << 18 << hex("0e") << QByteArray("Security Clearance");
        QTest::newRow("menu 6") << 11 << hex("06") << QByteArray(" ");
        QTest::newRow("menu 10") << 11 << hex("0a") << QByteArray(" ");
        QTest::newRow("menu 7") << 11 << hex("07") << QByteArray("Over. Res.");
        QTest::newRow("menu 12") << 11 << hex("0c") << QByteArray(" ");
        QTest::newRow("softstart menu 4") << 12 << hex("04") << QByteArray("MinVolt");
        QTest::newRow("softstart menu 5") << 12 << hex("05") << QByteArray(" ");
        QTest::newRow("limit menu 2") << 16 << hex("02") << QByteArray("Thresh.");
        QTest::newRow("limit menu 4") << 16 << hex("04") << QByteArray(" ");
        QTest::newRow("about menu 2") << 15 << hex("02") << QByteArray("SW");
        QTest::newRow("about menu 3") << 15 << hex("03") << QByteArray(" ");
        QTest::newRow("fault type 1") << 27 << hex("01") << QByteArray("Error");
        QTest::newRow("fault type 2") << 30 << hex("02") << QByteArray(" ");
        QTest::newRow("fault phase 3") << 19 << hex("03") << QByteArray("L1 / L2 / L3");
        QTest::newRow("fault phase 4") << 19 << hex("04") << QByteArray(" ");
        QTest::newRow("platform state 0") << 24 << hex("00") << QByteArray(" ");
        QTest::newRow("platform state 3") << 24 << hex("03") << QByteArray("Run");
        QTest::newRow("housing type") << 44 << hex("05") << QByteArray("");
        QTest::newRow("measurement phase") << 20 << hex("02") << QByteArray("2");
        QTest::newRow("housing edge") << 21 << hex("03") << QByteArray("3");
        QTest::newRow("enable") << 52 << hex("01") << QByteArray("Enable");
        QTest::newRow("automatic") << 43 << hex("01") << QByteArray("Automatic");
        QTest::newRow("article index") << 47 << hex("43") << QByteArray("C");
        QTest::newRow("article number") << 46 << hex("968d0000") << QByteArray("36246");
        QTest::newRow("serial number above 2^31")
            << 45 << hex("005ed0b2") << QByteArray("3000000000");
        QTest::newRow("production year") << 49 << hex("e807") << QByteArray("2024");
    }
    void textForms()
    {
        QFETCH(int, id);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, text);

        ModelValueIntf *target = value(id);
        QVERIFY(target != nullptr);
        receiveExactly(target, bytes);
        QCOMPARE(target->toString(), text);
        QCOMPARE(m_valueObserver.valueText(quint16(id)), text);
    }

    void neighbours_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");

        const auto f = floatBytes;
        const auto hex = [](const char *digits) { return QByteArray::fromHex(digits); };
        QTest::newRow("tenths at the maximum") << 2 << f(9.9f) << 9.8 << 0.1;
        QTest::newRow("tenths at the minimum") << 2 << f(0.1f) << 9.9 << 0.2;
        QTest::newRow("tenths 1.0") << 3 << f(1.0f) << 0.9 << 1.1;
        QTest::newRow("tenths round half away from zero") << 5 << f(2.25f) << 2.2 << 2.4;
        QTest::newRow("tenths from the default 0.01") << 53 << f(0.01f) << 1.0 << 0.1;
        QTest::newRow("tenths voltage at the maximum") << 34 << f(600.0f) << 599.9 << 0.0;
        QTest::newRow("units 207") << 29 << f(207.0f) << 206.0 << 208.0;
        QTest::newRow("units half away from zero") << 29 << f(207.5f) << 207.0 << 209.0;
        QTest::newRow("units below zero") << 32 << f(-0.5f) << 600.0 << 1.0;
        QTest::newRow("units at the maximum") << 32 << f(600.0f) << 599.0 << 0.0;
        QTest::newRow("units at the minimum") << 29 << f(0.0f) << 600.0 << 1.0;
        QTest::newRow("whole at the maximum") << 36 << f(9999.0f) << 9998.0 << 0.0;
        QTest::newRow("whole truncates") << 37 << f(12.7f) << 11.0 << 13.0;
        QTest::newRow("whole at the minimum") << 38 << f(0.0f) << 9999.0 << 1.0;
        QTest::newRow("integer at the maximum") << 0 << hex("07") << 6.0 << 0.0;
        QTest::newRow("integer at the minimum") << 0 << hex("00") << 7.0 << 1.0;
        QTest::newRow("integer inside") << 7 << hex("32") << 49.0 << 51.0;
        QTest::newRow("integer above the maximum") << 17 << hex("c8") << 199.0 << 0.0;
        QTest::newRow("enum starting at 1") << 21 << hex("01") << 3.0 << 2.0;
        QTest::newRow("bool true") << 4 << hex("01") << 0.0 << 0.0;
        QTest::newRow("bool false") << 4 << hex("00") << 1.0 << 1.0;
        QTest::newRow("char Z") << 47 << hex("5a") << double('Y') << double('A');
        QTest::newRow("empty range") << 45 << hex("00000000") << 0.0 << 0.0;
        QTest::newRow("minimum above maximum") << 46 << hex("a28d0000") << 36250.0 << 36258.0;
        QTest::newRow("u32 at its top") << 39 << hex("ffffffff") << 4294967294.0 << 0.0;
    }
    void neighbours()
    {
        QFETCH(int, id);
        QFETCH(QByteArray, bytes);
        QFETCH(double, lower);
        QFETCH(double, upper);

        ModelValueIntf *target = value(id);
        QVERIFY(target != nullptr);
        receiveExactly(target, bytes);
        const TestSupport::ModelValueProbe probe = TestSupport::probeValue(target);
        if (probe.isFloat) {
            QCOMPARE(float(probe.lowerNeighbour), float(lower));
            QCOMPARE(float(probe.upperNeighbour), float(upper));
        } else {
            QCOMPARE(probe.lowerNeighbour, lower);
            QCOMPARE(probe.upperNeighbour, upper);
        }
    }

    void neighboursFollowLimitsResetAndRequest()
    {
        auto &nominalCurrent = m_database->settings().nominalCurrent();
        // At construction both neighbours are the default content.
        QCOMPARE(nominalCurrent.lowerNeighbour(), 1.0f);
        QCOMPARE(nominalCurrent.upperNeighbour(), 1.0f);
        nominalCurrent.request();
        QCOMPARE(nominalCurrent.lowerNeighbour(), 0.9f);
        QCOMPARE(nominalCurrent.upperNeighbour(), 1.1f);

        // Setting a content alone leaves the neighbours; setting a limit and recomputing moves
        // them.
        nominalCurrent.setValue(5.0f);
        QCOMPARE(nominalCurrent.upperNeighbour(), 1.1f);
        nominalCurrent.setMaximum(5.0f);
        nominalCurrent.recomputeNeighbours();
        QCOMPARE(nominalCurrent.lowerNeighbour(), 4.9f);
        QCOMPARE(nominalCurrent.upperNeighbour(), 0.1f);

        nominalCurrent.reset();
        QCOMPARE(nominalCurrent.value(), 1.0f);
        QCOMPARE(nominalCurrent.lowerNeighbour(), 0.9f);
        QCOMPARE(nominalCurrent.upperNeighbour(), 1.1f);
    }

    void contentsOutsideTheRangeAreStoredUnchanged()
    {
        auto &tripClass = m_database->settings().tripClass();
        tripClass.setValue(Model::Interfaces::ModelTypes::Settings::TripClass(200));
        QCOMPARE(int(tripClass.value()), 200);
        auto &nominalCurrent = m_database->settings().nominalCurrent();
        nominalCurrent.setValue(55.5f);
        QCOMPARE(nominalCurrent.value(), 55.5f);
        QCOMPARE(nominalCurrent.toString(), QByteArray("55.5"));
    }

    void resetAllRestoresTheRequestedValues()
    {
        auto &settings = m_database->settings();
        settings.nominalCurrent().setValue(3.3f);
        settings.overloadReset().setValue(true);
        m_database->measurement().activePower().setValue(12.0f);
        settings.resetAll();
        m_database->measurement().resetAll();
        QCOMPARE(settings.nominalCurrent().value(), 1.0f);
        QCOMPARE(settings.overloadReset().value(), false);
        // Not on the measurement group's request list, so not reset either.
        QCOMPARE(m_database->measurement().activePower().value(), 12.0f);
    }

    void plainDeviceValueHasNoText()
    {
        Model::Interfaces::ModelIPCValue<quint8> plain(200, 5, &m_application, nullptr);
        QCOMPARE(plain.toString(), QByteArray());
        QCOMPARE(plain.value(), quint8(5));
        receiveExactly(&plain, QByteArray::fromHex("09"));
        QCOMPARE(plain.value(), quint8(9));
        plain.reset();
        QCOMPARE(plain.value(), quint8(5));
    }

    void registryKeepsOneEntryPerValueAndAtMost55()
    {
        Model::Observer::ModelValueObserver registry;
        using Plain = Model::Interfaces::ModelIPCValue<quint8>;
        std::vector<std::unique_ptr<Plain>> values;
        for (int id = 0; id < 55; ++id)
            values.push_back(std::make_unique<Plain>(quint16(100 + id), 0, nullptr, &registry));
        QCOMPARE(registry.valueCount(), 55);

        registry.registerValue(values.front().get());
        QCOMPARE(registry.valueCount(), 55);

        Plain extra(quint16(300), 0, nullptr, &registry);
        QCOMPARE(registry.valueCount(), 55);
        QVERIFY(registry.findValue(quint16(300)) == nullptr);

        // Leaving keeps the order of the others, and frees a place.
        values.erase(values.begin() + 1);
        QCOMPARE(registry.valueCount(), 54);
        QCOMPARE(int(registry.valueAt(0)->getId()), 100);
        QCOMPARE(int(registry.valueAt(1)->getId()), 102);
        QCOMPARE(int(registry.valueAt(53)->getId()), 154);
        registry.registerValue(&extra);
        QCOMPARE(registry.findValue(quint16(300)), &extra);
        // extra leaves on its own destruction; the same value twice was not entered twice.
        registry.unregisterValue(&extra);
        QVERIFY(registry.findValue(quint16(300)) == nullptr);
        QCOMPARE(registry.valueCount(), 54);
    }

    void receivedContentIsStoredThenRepublished()
    {
        RepublishRecorder recorder(&m_valueObserver);
        m_valueObserver.attach(&recorder);
        const QByteArray bytes = floatBytes(4.2f);
        const ZantLinkPacket::Argument argument(bytes.constData(), uint16_t(bytes.size()));

        ModelValueEvent received(ModelValueEvent::ReceivedFromDevice, 2, argument);
        m_valueObserver.update(ModelValueEvent::Channel, received);
        QCOMPARE(m_database->settings().nominalCurrent().value(), 4.2f);
        QCOMPARE(recorder.ids, QVector<int>({2}));
        QCOMPARE(recorder.texts, QVector<QByteArray>({"4.2"}));

        // No value for 8: nothing stored, nothing republished.
        ModelValueEvent unknown(ModelValueEvent::ReceivedFromDevice, 8, argument);
        m_valueObserver.update(ModelValueEvent::Channel, unknown);
        QCOMPARE(recorder.ids.size(), 1);
        QVERIFY(!unknown.refused());

        // One byte is no float: refused, kept, not republished.
        const QByteArray narrow = QByteArray::fromHex("3f");
        ModelValueEvent malformed(ModelValueEvent::ReceivedFromDevice, 2,
                                  ZantLinkPacket::Argument(narrow.constData(), 1));
        m_valueObserver.update(ModelValueEvent::Channel, malformed);
        QVERIFY(malformed.refused());
        QVERIFY(!received.refused());
        QCOMPARE(m_database->settings().nominalCurrent().value(), 4.2f);
        QCOMPARE(recorder.ids.size(), 1);

        // The action channel and unknown types change nothing.
        const QByteArray other = floatBytes(7.7f);
        const ZantLinkPacket::Argument otherArgument(other.constData(), uint16_t(other.size()));
        ModelValueEvent onActionChannel(ModelValueEvent::ReceivedFromDevice, 2, otherArgument);
        m_valueObserver.update(25, onActionChannel);
        ModelValueEvent unknownType(4, 2, otherArgument);
        m_valueObserver.update(ModelValueEvent::Channel, unknownType);
        QCOMPARE(m_database->settings().nominalCurrent().value(), 4.2f);
        QCOMPARE(recorder.ids.size(), 1);

        // Through the subject, as the terminal service delivers it.
        Utilities::Events::EventSubject terminal;
        terminal.attach(&m_valueObserver);
        ModelValueEvent viaSubject(ModelValueEvent::ReceivedFromDevice, 2, otherArgument);
        terminal.notify(ModelValueEvent::Channel, viaSubject);
        QCOMPARE(m_database->settings().nominalCurrent().value(), 7.7f);
        QCOMPARE(recorder.ids, QVector<int>({2, 2}));
        m_valueObserver.detach(&recorder);
    }
};

K27_TEST_GUILESS_MAIN(TestModelValue)
#include "tst_modelvalue.moc"
