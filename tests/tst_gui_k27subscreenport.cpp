// A device port the manager lists but cannot open: the device window says why on its
// Information page (busy, permission, gone) and clears the text once the port opens.

#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "component/SerialPort.h"
#include "support/SubScreenHarness.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QSerialPort>
#include <QtTest>
#include <memory>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using Application::K27::SerialPort;
using TestSupport::SubScreenHarness;

namespace {

#ifdef Q_OS_LINUX
// While it exists, the calling thread acts without the capabilities that let the superuser
// open any file; the permitted set stays, so they come back afterwards. Does nothing for an
// ordinary user, whom the file's mode stops anyway.
class NoFileOverride
{
public:
    NoFileOverride()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_dropped = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~NoFileOverride()
    {
        if (m_dropped)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    NoFileOverride(const NoFileOverride &) = delete;
    NoFileOverride &operator=(const NoFileOverride &) = delete;

private:
    __user_cap_header_struct m_header {};
    __user_cap_data_struct m_saved[2] {};
    bool m_dropped = false;
};
#endif

} // namespace

class TestK27SubScreenPort : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void openPortShowsNothing();
    void busyPort();
    void forbiddenPort();
    void gonePort();
    void portGoesWithTheWindow();
    void failureTexts_data();
    void failureTexts();
};

void TestK27SubScreenPort::openPortShowsNothing()
{
    SubScreenHarness harness(UserLogin::Customer);
    QVERIFY(harness.start());
    const auto *label = harness.child<QLabel>("labelPortError");
    QVERIFY(label->text().isEmpty());
    QVERIFY(label->isHidden());
}

void TestK27SubScreenPort::busyPort()
{
    SubScreenHarness harness(UserLogin::Customer);
    QVERIFY(harness.startDevice(false));

    // Another program has the port: it holds the port's lock.
    auto other = std::make_unique<QSerialPort>(harness.device().portName());
    QVERIFY(other->open(QIODevice::ReadWrite));
    harness.manager()->handleTimeout();
    const QSharedPointer<SerialPort> port
        = harness.manager()->serialPort(harness.device().portName());
    QVERIFY(port != nullptr);
    QVERIFY(!port->isOpen());
    QCOMPARE(port->openFailure(), SerialPort::OpenFailure::Busy);

    harness.makeWindow();
    const auto *label = harness.child<QLabel>("labelPortError");
    QVERIFY2(label->text().contains(QLatin1String("in use by another program")),
             qPrintable(label->text()));
    QVERIFY(label->text().contains(harness.device().portName()));
    QVERIFY(!label->isHidden());

    // The other program lets go; the manager's next poll opens the port and the text goes.
    other.reset();
    harness.manager()->handleTimeout();
    QVERIFY(port->isOpen());
    QVERIFY(label->text().isEmpty());
    QVERIFY(label->isHidden());
    // And the window talks to the device through it.
    harness.run();
    QVERIFY(harness.barrier());
}

void TestK27SubScreenPort::forbiddenPort()
{
    SubScreenHarness harness(UserLogin::Customer);
    QVERIFY(harness.startDevice(false));
    const QString portName = harness.device().portName();
    const QString node = QFileInfo(portName).canonicalFilePath();
    const QFile::Permissions permissions = QFile::permissions(node);
    const QString group = QFileInfo(node).group();

    {
#ifdef Q_OS_LINUX
        const NoFileOverride asUser;
#endif
        QVERIFY(QFile::setPermissions(node, QFile::Permissions()));
        harness.manager()->handleTimeout();
        QVERIFY(QFile::setPermissions(node, permissions));
    }
    const QSharedPointer<SerialPort> port = harness.manager()->serialPort(portName);
    QVERIFY(port != nullptr);
    QVERIFY(!port->isOpen());
    QCOMPARE(port->openFailure(), SerialPort::OpenFailure::Permission);
    QCOMPARE(port->deviceGroup(), group);

    harness.makeWindow();
    const auto *label = harness.child<QLabel>("labelPortError");
    QVERIFY2(label->text().contains(QLatin1String("no permission")), qPrintable(label->text()));
#ifdef Q_OS_LINUX
    QVERIFY2(label->text().contains(QStringLiteral("group \"%1\"").arg(group)),
             qPrintable(label->text()));
    QVERIFY(label->text().contains(QLatin1String("udev rule")));
#endif

    harness.manager()->handleTimeout();
    QVERIFY(port->isOpen());
    QVERIFY(label->text().isEmpty());
}

void TestK27SubScreenPort::gonePort()
{
    SubScreenHarness harness(UserLogin::Customer);
    // Listed by the system, but its device node is gone.
    const QString portName = harness.folder() + QStringLiteral("/ttyK27GONE0");
    harness.ports().add(portName);
    harness.manager()->handleTimeout();
    const QSharedPointer<SerialPort> port = harness.manager()->serialPort(portName);
    QVERIFY(port != nullptr);
    QCOMPARE(port->openFailure(), SerialPort::OpenFailure::Gone);

    harness.makeWindow(portName);
    const auto *label = harness.child<QLabel>("labelPortError");
    QVERIFY2(label->text().contains(QLatin1String("is gone")), qPrintable(label->text()));
    // A device that never names its serial number is still told apart by its port.
    QCOMPARE(harness.window().windowTitle(), QStringLiteral("ttyK27GONE0"));
}

void TestK27SubScreenPort::portGoesWithTheWindow()
{
    SubScreenHarness harness(UserLogin::Customer);
    QVERIFY(harness.start());
    const QPointer<SerialPort> port
        = harness.manager()->serialPort(harness.device().portName()).data();
    QVERIFY(!port.isNull());
    // The window holds the last reference to the manager and so to the port: the port closes
    // while the window is being destroyed, after the window's own part is gone.
    harness.releaseManager();
    harness.destroyWindow();
    QVERIFY(port.isNull());
}

void TestK27SubScreenPort::failureTexts_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("none") << int(SerialPort::OpenFailure::None) << "" << QStringList();
    QTest::newRow("busy") << int(SerialPort::OpenFailure::Busy) << "dialout"
                          << QStringList {"ttyACM0", "in use by another program",
                                          "Close the other program"};
#ifdef Q_OS_LINUX
    QTest::newRow("permission with group")
        << int(SerialPort::OpenFailure::Permission) << "dialout"
        << QStringList {"ttyACM0",           "no permission",
                        "group \"dialout\"", "sudo usermod -aG dialout $USER",
                        "udev rule",         "README"};
    QTest::newRow("permission without group")
        << int(SerialPort::OpenFailure::Permission) << ""
        << QStringList {"ttyACM0", "no permission", "udev rule", "README"};
#endif
    QTest::newRow("gone") << int(SerialPort::OpenFailure::Gone) << "dialout"
                          << QStringList {"ttyACM0", "gone", "Plug the device in again"};
    QTest::newRow("other") << int(SerialPort::OpenFailure::Other) << ""
                           << QStringList {"ttyACM0", "cannot be opened", "Input/output error"};
}

void TestK27SubScreenPort::failureTexts()
{
    QFETCH(int, failure);
    QFETCH(QString, group);
    QFETCH(QStringList, parts);

    const QString text
        = K27SubScreen::portFailureText(SerialPort::OpenFailure(failure), QStringLiteral("ttyACM0"),
                                        group, QStringLiteral("Input/output error"));
    QCOMPARE(text.isEmpty(), parts.isEmpty());
    for (const QString &part : parts)
        QVERIFY2(text.contains(part), qPrintable(text));
}

K27_TEST_MAIN(TestK27SubScreenPort)
#include "tst_gui_k27subscreenport.moc"
