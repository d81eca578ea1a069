#include "component/SerialPort.h"
#include "component/SerialPortManager.h"
#include "support/PtyPair.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

using Application::K27::SerialPort;
using Application::K27::SerialPortDescription;
using Application::K27::SerialPortManager;
using TestSupport::PtyPair;

// The manager polls a port list the test controls; the ports behind it are pseudo-terminals
// linked under names containing "tty". Polls are driven by calling handleTimeout directly.
class TestSerialPortManager : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QList<SerialPortDescription> m_listed;
    QSharedPointer<SerialPortManager> m_manager;
    // What the manager announced, in order: "opened <name>" / "closed <name>".
    QStringList m_events;

    QString deviceName(int number) const
    {
        return m_dir.filePath(QStringLiteral("ttyK27SIM%1").arg(number));
    }
    void list(const QStringList &names)
    {
        m_listed.clear();
        for (const QString &name : names)
            m_listed.append({name, 0x03EB, 0x2404});
    }
    QStringList poll()
    {
        m_events.clear();
        m_manager->handleTimeout();
        return m_events;
    }
    static QStringList events(std::initializer_list<QString> events) { return events; }
    static bool lineSettingsApplied(const PtyPair &pty)
    {
        const termios settings = pty.slaveSettings();
        return cfgetispeed(&settings) == B115200 && (settings.c_cflag & CSIZE) == CS8
            && (settings.c_iflag & (IXON | IXOFF)) == 0;
    }
    // The port carries bytes both ways between the program and the device end.
    static bool carries(SerialPort &port, PtyPair &pty)
    {
        QSignalSpy received(&port, &SerialPort::dataReceived);
        if (!port.write(QByteArray("\x13ping\x11", 6)) || pty.readMaster(6) != "\x13ping\x11")
            return false;
        if (!pty.writeMaster("pong") || !received.wait(5000))
            return false;
        return received.at(0).at(0).toByteArray() == "pong";
    }

protected:
    void setUpTestCase() override { QVERIFY(m_dir.isValid()); }
    void setUp() override
    {
        m_listed.clear();
        m_events.clear();
        m_manager = QSharedPointer<SerialPortManager>::create([this] { return m_listed; });
        m_manager->findChild<QTimer *>(QStringLiteral("pollTimer"))->stop();
        connect(m_manager.data(), &SerialPortManager::portOpened, this,
                [this](const QString &name) { m_events << QStringLiteral("opened ") + name; });
        connect(m_manager.data(), &SerialPortManager::portClosed, this,
                [this](const QString &name) { m_events << QStringLiteral("closed ") + name; });
    }
    void tearDown() override { m_manager.reset(); }

private slots:
    void appearDisappearReappear_data()
    {
        QTest::addColumn<bool>("portNoticesFirst");
        QTest::newRow("unlisted before the port notices") << false;
        QTest::newRow("port notices the loss first") << true;
    }
    void appearDisappearReappear()
    {
        QFETCH(bool, portNoticesFirst);
        const QString name = deviceName(0);
        auto pty = std::make_unique<PtyPair>(name);
        QVERIFY2(pty->isValid(), qPrintable(pty->errorString()));
        QVERIFY(!m_manager->hasPorts());

        // Plugged in.
        list({name});
        QCOMPARE(poll(), events({"opened " + name}));
        const QSharedPointer<SerialPort> port = m_manager->serialPort(name);
        QVERIFY(port);
        QVERIFY(port->isOpen());
        QCOMPARE(port->portName(), name);
        QCOMPARE(port->manager(), m_manager);
        QVERIFY(m_manager->hasPorts());
        QCOMPARE(m_manager->serialPorts(), QList<QSharedPointer<SerialPort>>({port}));
        QVERIFY(lineSettingsApplied(*pty));
        QVERIFY(carries(*port, *pty));
        QCOMPARE(poll(), QStringList());

        // Pulled out.
        pty->closeMaster();
        if (portNoticesFirst)
            QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), 10000);
        list({});
        QCOMPARE(poll(), events({"closed " + name}));
        QVERIFY(!port->isOpen());
        QCOMPARE(poll(), QStringList());
        QCOMPARE(m_manager->serialPort(name), port);

        // Plugged in again: the same object, opened again with the full line settings.
        pty = std::make_unique<PtyPair>(name);
        QVERIFY2(pty->isValid(), qPrintable(pty->errorString()));
        list({name});
        QCOMPARE(poll(), events({"opened " + name}));
        QCOMPARE(m_manager->serialPort(name), port);
        QCOMPARE(m_manager->serialPorts().size(), 1);
        QVERIFY(port->isOpen());
        QVERIFY(lineSettingsApplied(*pty));
        QVERIFY(carries(*port, *pty));
    }

    // One device replaced by another between two polls: the count stays the same, but the old
    // name closes and the new one opens in the same poll.
    void replacementWithinOnePoll()
    {
        auto first = std::make_unique<PtyPair>(deviceName(0));
        PtyPair second(deviceName(1));
        QVERIFY2(first->isValid() && second.isValid(), qPrintable(second.errorString()));
        list({deviceName(0)});
        QCOMPARE(poll(), events({"opened " + deviceName(0)}));

        first.reset();
        list({deviceName(1)});
        QCOMPARE(poll(), events({"closed " + deviceName(0), "opened " + deviceName(1)}));
        QVERIFY(!m_manager->serialPort(deviceName(0))->isOpen());
        QVERIFY(m_manager->serialPort(deviceName(1))->isOpen());
        QVERIFY(carries(*m_manager->serialPort(deviceName(1)), second));
        QCOMPARE(poll(), QStringList());
    }

    void failedOpenIsRetried()
    {
        const QString name = deviceName(2);
        list({name}); // listed, but nothing can be opened there yet
        QCOMPARE(poll(), QStringList());
        const QSharedPointer<SerialPort> port = m_manager->serialPort(name);
        QVERIFY(port);
        QVERIFY(!port->isOpen());
        QVERIFY(m_manager->hasPorts());
        QCOMPARE(poll(), QStringList());

        PtyPair pty(name);
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        QCOMPARE(poll(), events({"opened " + name}));
        QCOMPARE(m_manager->serialPort(name), port);
        QVERIFY(carries(*port, pty));

        // A never-opened port that goes away is still reported closed.
        const QString other = deviceName(3);
        list({name, other});
        QCOMPARE(poll(), QStringList());
        list({name});
        QCOMPARE(poll(), events({"closed " + other}));
    }

    // The line broke and the device came back under the same name before the next poll: the
    // loss is still reported, then the port opens again.
    void lineLostWhileListed()
    {
        const QString name = deviceName(4);
        auto pty = std::make_unique<PtyPair>(name);
        QVERIFY2(pty->isValid(), qPrintable(pty->errorString()));
        list({name});
        QCOMPARE(poll(), events({"opened " + name}));
        const QSharedPointer<SerialPort> port = m_manager->serialPort(name);

        pty->closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), 10000);
        pty = std::make_unique<PtyPair>(name);
        QVERIFY2(pty->isValid(), qPrintable(pty->errorString()));
        QCOMPARE(poll(), events({"closed " + name, "opened " + name}));
        QVERIFY(carries(*port, *pty));
    }

    void nameFilter_data()
    {
        QTest::addColumn<QString>("portName");
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("isDevice");
        QTest::newRow("tty name") << "ttyACM0" << 0x03EB << 0x2404 << true;
        QTest::newRow("tty in a full path") << "/tmp/k27/ttyK27SIM0" << 0x03EB << 0x2404 << true;
        QTest::newRow("COM name") << "COM7" << 0x03EB << 0x2404 << true;
        QTest::newRow("neither COM nor tty") << "cu.usbmodem14201" << 0x03EB << 0x2404 << false;
        QTest::newRow("lower-case com") << "com7" << 0x03EB << 0x2404 << false;
        QTest::newRow("upper-case TTY") << "TTYS0" << 0x03EB << 0x2404 << false;
        QTest::newRow("other vendor") << "ttyACM0" << 0x2341 << 0x2404 << false;
        QTest::newRow("other product") << "ttyACM0" << 0x03EB << 0x2405 << false;
        QTest::newRow("no USB identifiers") << "ttyS0" << 0 << 0 << false;
    }
    void nameFilter()
    {
        QFETCH(QString, portName);
        QFETCH(int, vendor);
        QFETCH(int, product);
        QFETCH(bool, isDevice);
        const SerialPortDescription description {portName, quint16(vendor), quint16(product)};
        QCOMPARE(SerialPortManager::isDevicePort(description), isDevice);

        m_listed = {description, {deviceName(9), 0x03EB, 0x2404}};
        QSet<QString> expected {deviceName(9)};
        if (isDevice)
            expected.insert(portName);
        QCOMPARE(m_manager->devicePorts(), expected);
    }

    // A real pseudo-terminal with the device's identifiers, under a name the filter refuses, is
    // left alone entirely.
    void refusedNameIsNeverOpened()
    {
        const QString name = m_dir.filePath(QStringLiteral("cuK27SIM0"));
        PtyPair pty(name);
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        list({name});
        QCOMPARE(poll(), QStringList());
        QVERIFY(!m_manager->hasPorts());
        QVERIFY(!m_manager->serialPort(name));
        QVERIFY(m_manager->serialPorts().isEmpty());
    }

    void systemPortsFollowTheSystemList()
    {
        const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
        const QList<SerialPortDescription> ports = SerialPortManager::systemPorts();
        QCOMPARE(ports.size(), infos.size());
        for (int index = 0; index < infos.size(); ++index) {
            QCOMPARE(ports.at(index).portName, infos.at(index).portName());
            QCOMPARE(SerialPortManager::isDevicePort(ports.at(index)),
                     SerialPortManager::isDevicePort(infos.at(index)));
        }
    }

    void lookupsLeaveNothingBehind()
    {
        QVERIFY(!m_manager->serialPort(QStringLiteral("Offline")));
        QVERIFY(!m_manager->hasPorts());
        QVERIFY(m_manager->serialPorts().isEmpty());

        PtyPair one(deviceName(1));
        PtyPair zero(deviceName(0));
        QVERIFY2(one.isValid() && zero.isValid(), qPrintable(zero.errorString()));
        list({deviceName(1), deviceName(0)});
        QCOMPARE(poll(), events({"opened " + deviceName(0), "opened " + deviceName(1)}));
        const QList<QSharedPointer<SerialPort>> ports = m_manager->serialPorts();
        QCOMPARE(ports.size(), 2);
        QCOMPARE(ports.at(0)->portName(), deviceName(0));
        QCOMPARE(ports.at(1)->portName(), deviceName(1));
    }

    // A slot that runs a local event loop may poll again before the first poll is done; the
    // nested poll must not repeat what the outer one already announced.
    void nestedPollRepeatsNothing()
    {
        auto pty = std::make_unique<PtyPair>(deviceName(5));
        QVERIFY2(pty->isValid(), qPrintable(pty->errorString()));
        const auto pollAgain = [this] { m_manager->handleTimeout(); };
        connect(m_manager.data(), &SerialPortManager::portOpened, this, pollAgain);
        connect(m_manager.data(), &SerialPortManager::portClosed, this, pollAgain);

        list({deviceName(5)});
        QCOMPARE(poll(), events({"opened " + deviceName(5)}));
        pty.reset();
        list({});
        QCOMPARE(poll(), events({"closed " + deviceName(5)}));
    }

    // The manager's own timer polls once an interval; its ticks are driven here instead of
    // waited for.
    void timerDrivesPolls()
    {
        PtyPair pty(deviceName(6));
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        list({deviceName(6)});
        m_manager = QSharedPointer<SerialPortManager>::create([this] { return m_listed; });
        QSignalSpy opened(m_manager.data(), &SerialPortManager::portOpened);
        QSignalSpy closed(m_manager.data(), &SerialPortManager::portClosed);
        auto *timer = m_manager->findChild<QTimer *>(QStringLiteral("pollTimer"));
        QVERIFY(timer != nullptr);
        QVERIFY(timer->isActive());
        QVERIFY(!timer->isSingleShot());
        QCOMPARE(timer->interval(), SerialPortManager::pollInterval);
        QVERIFY(!m_manager->hasPorts()); // the first poll comes one interval later

        const auto tick = [timer] { return QMetaObject::invokeMethod(timer, "timeout"); };
        QVERIFY(tick());
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), deviceName(6));
        list({});
        QVERIFY(tick());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(opened.count(), 1);
    }

    // Ports live on in the hands of device windows after the manager is gone.
    void portOutlivesManager()
    {
        PtyPair pty(deviceName(7));
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        list({deviceName(7)});
        poll();
        const QSharedPointer<SerialPort> port = m_manager->serialPort(deviceName(7));
        QVERIFY(port);
        m_manager.reset();
        QVERIFY(!port->manager());
        QVERIFY(carries(*port, pty));
    }
};

K27_TEST_GUILESS_MAIN(TestSerialPortManager)
#include "tst_serialportmanager.moc"
