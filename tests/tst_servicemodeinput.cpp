// The service mode's logic without widgets: argument typing and the packets items make, the
// packet log with its line cap and its file, and the Demo page's index-to-kind tables.

#include "application/core/DemoFaultKinds.h"
#include "application/core/PacketLog.h"
#include "component/ZantLinkPacket.h"
#include "service/TerminalArgumentInput.h"
#include "service/TerminalCommandItem.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

using Application::K27::DemoFaultKinds;
using Application::K27::PacketLog;
using Application::K27::TerminalArgumentInput;
using Application::K27::TerminalCommandItem;
using Component::Interfaces::ZantLinkPacket;
using Arg = TerminalCommandItem::Arg;

class tst_ServiceModeInput : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void spinBoxSetup_data();
    void spinBoxSetup();
    void assign_data();
    void assign();
    void identifierNames();
    void packetOfItem();
    void logCap();
    void logSave();
    void logSaveFailure();
    void lineText_data();
    void lineText();
    void demoKinds_data();
    void demoKinds();
};

void tst_ServiceModeInput::spinBoxSetup_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<int>("widget");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    const double floatMax = 3.4028234663852886e38;
    const int spin = int(TerminalArgumentInput::Widget::SpinBox);
    QTest::newRow("u8") << quint32(0) << spin << 0 << 0.0 << 255.0;
    QTest::newRow("u16") << quint32(1) << spin << 0 << 0.0 << 65535.0;
    QTest::newRow("u32") << quint32(2) << spin << 0 << 0.0 << 4294967295.0;
    QTest::newRow("f32") << quint32(3) << spin << 3 << -floatMax << floatMax;
    QTest::newRow("value id") << quint32(4) << int(TerminalArgumentInput::Widget::ValueNames) << 0
                              << 0.0 << 0.0;
    QTest::newRow("action id") << quint32(5) << int(TerminalArgumentInput::Widget::ActionNames) << 0
                               << 0.0 << 0.0;
    QTest::newRow("unknown") << quint32(6) << int(TerminalArgumentInput::Widget::None) << 0 << 0.0
                             << 0.0;
}

void tst_ServiceModeInput::spinBoxSetup()
{
    QFETCH(quint32, type);
    QFETCH(int, widget);
    QFETCH(int, decimals);
    QFETCH(double, minimum);
    QFETCH(double, maximum);

    QCOMPARE(int(TerminalArgumentInput::widget(type)), widget);
    const TerminalArgumentInput::SpinBoxSetup setup = TerminalArgumentInput::spinBoxSetup(type);
    QCOMPARE(setup.decimals, decimals);
    QCOMPARE(setup.minimum, minimum);
    QCOMPARE(setup.maximum, maximum);
}

void tst_ServiceModeInput::assign_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<double>("spinValue");
    QTest::addColumn<int>("comboIndex");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("u8 255") << quint32(0) << 255.0 << 7 << QByteArray("\xff", 1);
    QTest::newRow("u8 toward zero") << quint32(0) << 2.99 << 0 << QByteArray("\x02", 1);
    QTest::newRow("u8 low bits") << quint32(0) << 258.0 << 0 << QByteArray("\x02", 1);
    QTest::newRow("u16") << quint32(1) << 513.7 << 0 << QByteArray("\x01\x02", 2);
    QTest::newRow("u32 largest") << quint32(2) << 4294967295.0 << 0
                                 << QByteArray("\xff\xff\xff\xff", 4);
    QTest::newRow("u32 negative is 0") << quint32(2) << -5.0 << 0 << QByteArray(4, '\0');
    QTest::newRow("f32") << quint32(3) << 195.5 << 0 << QByteArray("\x00\x80\x43\x43", 4);
    QTest::newRow("value id from the index")
        << quint32(4) << 9.0 << 29 << QByteArray("\x1d\x00", 2);
    QTest::newRow("action id from the index")
        << quint32(5) << 0.0 << 8 << QByteArray("\x08\x00", 2);
}

void tst_ServiceModeInput::assign()
{
    QFETCH(quint32, type);
    QFETCH(double, spinValue);
    QFETCH(int, comboIndex);
    QFETCH(QByteArray, bytes);

    QSharedPointer<Arg> argument;
    switch (type) {
    case 0:
        argument = QSharedPointer<TerminalCommandItem::UInt8Arg>::create("a", 99);
        break;
    case 1:
        argument = QSharedPointer<TerminalCommandItem::UInt16Arg>::create("a", 99);
        break;
    case 2:
        argument = QSharedPointer<TerminalCommandItem::UInt32Arg>::create("a", 99);
        break;
    case 3:
        argument = QSharedPointer<TerminalCommandItem::FloatArg>::create("a", 99.0f);
        break;
    case 4:
        argument = QSharedPointer<TerminalCommandItem::ModelValueIDArg>::create("a", 99);
        break;
    default:
        argument = QSharedPointer<TerminalCommandItem::ModelActionIDArg>::create("a", 99);
        break;
    }
    QVERIFY(TerminalArgumentInput::assign(*argument, spinValue, comboIndex));
    QCOMPARE(QByteArray(static_cast<const char *>(argument->data()), argument->size()), bytes);
}

void tst_ServiceModeInput::identifierNames()
{
    const QStringList values = TerminalArgumentInput::valueNames();
    QCOMPARE(values.size(), 55);
    QCOMPARE(values.at(0), QStringLiteral("TripClass"));
    QCOMPARE(values.at(2), QStringLiteral("NominalCurrent"));
    QCOMPARE(values.at(29), QStringLiteral("UndervoltageThreshold"));
    QCOMPARE(values.at(54), QStringLiteral("LoadAsymmetryFaultType"));
    QCOMPARE(TerminalArgumentInput::actionNames(),
             QStringList({"ResetError", "StartVoltageMeasurement", "StartCurrentMeasurement",
                          "StartPowerMeasurement", "StopMeasurement", "FactoryReset", "MotorLeftOn",
                          "MotorRightOn", "MotorStop", "MaintenanceSet", "MaintenanceReset",
                          "StartDisplayUpdate", "StopDisplayUpdate"}));
}

void tst_ServiceModeInput::packetOfItem()
{
    const TerminalCommandItem item(
        QIcon(), "MeasurementSetStaticOffset", 23, 0, ZantLinkPacket::Host,
        ZantLinkPacket::Platform,
        {QSharedPointer<TerminalCommandItem::UInt8Arg>::create("Phase", 1),
         QSharedPointer<TerminalCommandItem::UInt8Arg>::create("Unit", 2),
         QSharedPointer<TerminalCommandItem::FloatArg>::create("Value", 0.5f)});
    const ZantLinkPacket packet(TerminalArgumentInput::packet(item).encode());
    QCOMPARE(packet.getCommand(), quint16(23));
    QCOMPARE(packet.getSource(), quint8(ZantLinkPacket::Host));
    QCOMPARE(packet.getDestination(), quint8(ZantLinkPacket::Platform));
    QCOMPARE(packet.argumentCount(), 3);
    QCOMPARE(packet.argument(0).toByteArray(), QByteArray("\x01", 1));
    QCOMPARE(packet.argument(1).toByteArray(), QByteArray("\x02", 1));
    QCOMPARE(packet.argument(2).toByteArray(), QByteArray("\x00\x00\x00\x3f", 4));

    const TerminalCommandItem bare(QIcon(), "GetName", 5, 2, ZantLinkPacket::Host,
                                   ZantLinkPacket::Display);
    const ZantLinkPacket name(TerminalArgumentInput::packet(bare).encode());
    QCOMPARE(name.getArgCount(), quint8(0));
    QCOMPARE(name.getLength(), quint16(15));
}

void tst_ServiceModeInput::logCap()
{
    PacketLog log(100);
    for (int i = 0; i < 250; ++i)
        log.append(QString::number(i));
    QCOMPARE(log.lineCount(), 100);
    QCOMPARE(log.line(0), QStringLiteral("150"));
    QCOMPARE(log.line(99), QStringLiteral("249"));
    QCOMPARE(log.droppedLines(), quint64(150));
    QVERIFY(log.text().startsWith("150\n151\n"));
    QVERIFY(log.text().endsWith("\n249"));
    log.clear();
    QCOMPARE(log.lineCount(), 0);
    QCOMPARE(log.text(), QString());
    QCOMPARE(log.droppedLines(), quint64(0));
    QCOMPARE(PacketLog().lineCap(), 10000);
}

void tst_ServiceModeInput::logSave()
{
    QTemporaryDir folder;
    PacketLog log(3);
    for (const char *line : {"one", "two", "drei \xc3\xa4", "four"})
        log.append(QString::fromUtf8(line));
    const QString path = folder.filePath("log.txt");
    QString error;
    QVERIFY2(log.save(path, &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("two\ndrei \xc3\xa4\nfour\n"));

    // An empty log makes an empty file.
    log.clear();
    QVERIFY(log.save(path, &error));
    QCOMPARE(QFileInfo(path).size(), qint64(0));
}

void tst_ServiceModeInput::logSaveFailure()
{
    QTemporaryDir folder;
    PacketLog log;
    log.append("line");
    // A folder where the file should go: nothing can be written, the folder stays.
    const QString path = folder.filePath("taken");
    QVERIFY(QDir(folder.path()).mkdir("taken"));
    QString error;
    QVERIFY(!log.save(path, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(!log.save(folder.filePath("missing/log.txt"), &error));
    QVERIFY(!error.isEmpty());
}

void tst_ServiceModeInput::lineText_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");

    QTest::newRow("plain") << QByteArray("GetName: Host -> Platform")
                           << "GetName: Host -> Platform";
    QTest::newRow("up to the first zero") << QByteArray("ab\0cd", 5) << "ab";
    QTest::newRow("UTF-8") << QByteArray("25.5\xc2\xb0"
                                         "C")
                           << QString::fromUtf8("25.5\xc2\xb0"
                                                "C");
    QTest::newRow("empty") << QByteArray() << "";
}

void tst_ServiceModeInput::lineText()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    QCOMPARE(PacketLog::lineText(data), text);
}

void tst_ServiceModeInput::demoKinds_data()
{
    QTest::addColumn<QList<int>>("modes");
    QTest::addColumn<QList<int>>("warnings");
    QTest::addColumn<QList<int>>("errors");

    // Indexes -1 … 12; the last entries lie outside the lists.
    QTest::newRow("tables") << QList<int> {0, 0, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0}
                            << QList<int> {0, 0, 2, 3, 5, 6, 7, 8, 9, 10, 11, 14, 15, 0}
                            << QList<int> {0, 0, 1, 2, 12, 3, 5, 7, 8, 9, 10, 11, 0, 0};
}

void tst_ServiceModeInput::demoKinds()
{
    QFETCH(QList<int>, modes);
    QFETCH(QList<int>, warnings);
    QFETCH(QList<int>, errors);
    for (int index = -1; index <= 12; ++index) {
        QCOMPARE(int(DemoFaultKinds::operatingMode(index)), modes.at(index + 1));
        QCOMPARE(int(DemoFaultKinds::warningKind(index)), warnings.at(index + 1));
        QCOMPARE(int(DemoFaultKinds::errorKind(index)), errors.at(index + 1));
    }
}

K27_TEST_GUILESS_MAIN(tst_ServiceModeInput)
#include "tst_servicemodeinput.moc"
