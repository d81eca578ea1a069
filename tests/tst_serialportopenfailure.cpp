// Why a serial port could not be opened, from what Qt reported, whether the device node exists
// and what opening the node directly said.

#include "component/SerialPort.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <cerrno>

using Application::K27::SerialPort;

Q_DECLARE_METATYPE(SerialPort::OpenFailure)

class TestSerialPortOpenFailure : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void classify_data();
    void classify();
    void devicePath_data();
    void devicePath();
};

void TestSerialPortOpenFailure::classify_data()
{
    QTest::addColumn<QSerialPort::SerialPortError>("qtError");
    QTest::addColumn<bool>("nodeExists");
    QTest::addColumn<int>("systemError");
    QTest::addColumn<SerialPort::OpenFailure>("failure");

    using F = SerialPort::OpenFailure;
    QTest::newRow("no node") << QSerialPort::PermissionError << false << 0 << F::Gone;
    QTest::newRow("not found") << QSerialPort::DeviceNotFoundError << true << ENOENT << F::Gone;
#ifdef Q_OS_UNIX
    QTest::newRow("lock held") << QSerialPort::PermissionError << true << 0 << F::Busy;
    QTest::newRow("access denied")
        << QSerialPort::PermissionError << true << EACCES << F::Permission;
    QTest::newRow("not permitted")
        << QSerialPort::PermissionError << true << EPERM << F::Permission;
    QTest::newRow("exclusive") << QSerialPort::PermissionError << true << EBUSY << F::Busy;
    QTest::newRow("no device behind") << QSerialPort::OpenError << true << ENXIO << F::Gone;
    QTest::newRow("node vanished") << QSerialPort::PermissionError << true << ENOENT << F::Gone;
    QTest::newRow("input/output") << QSerialPort::OpenError << true << EIO << F::Other;
    QTest::newRow("settings refused")
        << QSerialPort::UnsupportedOperationError << true << 0 << F::Other;
#else
    QTest::newRow("access denied") << QSerialPort::PermissionError << true << 0 << F::Busy;
#endif
}

void TestSerialPortOpenFailure::classify()
{
    QFETCH(QSerialPort::SerialPortError, qtError);
    QFETCH(bool, nodeExists);
    QFETCH(int, systemError);
    QFETCH(SerialPort::OpenFailure, failure);
    QCOMPARE(SerialPort::classifyOpenFailure(qtError, nodeExists, systemError), failure);
}

void TestSerialPortOpenFailure::devicePath_data()
{
    QTest::addColumn<QString>("portName");
    QTest::addColumn<QString>("path");
#ifdef Q_OS_UNIX
    QTest::newRow("system name") << "ttyACM0"
                                 << "/dev/ttyACM0";
    QTest::newRow("absolute") << "/tmp/k27/ttyK27SIM0"
                              << "/tmp/k27/ttyK27SIM0";
    QTest::newRow("relative") << "./ttyK27SIM0"
                              << "./ttyK27SIM0";
#else
    QTest::newRow("system name") << "COM3"
                                 << "COM3";
#endif
}

void TestSerialPortOpenFailure::devicePath()
{
    QFETCH(QString, portName);
    QFETCH(QString, path);
    QCOMPARE(SerialPort::devicePath(portName), path);
}

K27_TEST_GUILESS_MAIN(TestSerialPortOpenFailure)
#include "tst_serialportopenfailure.moc"
