#include "component/SerialPort.h"
#include "support/PtyPair.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdarg>
#include <dlfcn.h>
#include <memory>
#include <sys/ioctl.h>
#include <termios.h>
#include <vector>

using Application::K27::SerialPort;
using TestSupport::PtyPair;

// Pseudo-terminals carry no modem lines, so DTR cannot be read back from one. The test watches
// what the port asks of the kernel instead: every modem-line request passes through here on its
// way to the real ioctl.
namespace {
struct ModemLineRequest
{
    int fd;
    unsigned long request;
    int bits;
};
std::vector<ModemLineRequest> modemLineRequests;
} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list arguments;
    va_start(arguments, request);
    void *argument = va_arg(arguments, void *);
    va_end(arguments);
    using Ioctl = int (*)(int, unsigned long, ...);
    static const auto next = reinterpret_cast<Ioctl>(dlsym(RTLD_NEXT, "ioctl"));
    if (request == TIOCMBIS || request == TIOCMBIC || request == TIOCMSET)
        modemLineRequests.push_back({fd, request, *static_cast<const int *>(argument)});
    return next(fd, request, argument);
}

namespace {
QSerialPort *innerPort(SerialPort &port)
{
    return port.findChild<QSerialPort *>();
}

// Collects dataReceived until count bytes have arrived.
QByteArray receive(QSignalSpy &spy, int count)
{
    QByteArray received;
    int taken = 0;
    QDeadlineTimer deadline(10000);
    while (received.size() < count && !deadline.hasExpired()) {
        if (taken == spy.count())
            spy.wait(100);
        for (; taken < spy.count(); ++taken)
            received += spy.at(taken).at(0).toByteArray();
    }
    return received;
}

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}
} // namespace

class TestSerialPort : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    const QByteArray barrier {"\x13"
                              "barrier\x11"};

    QString linkPath(const QString &name) const { return m_dir.filePath(name); }
    // The line is first-in first-out: a barrier the port sends now is the next thing the
    // device end reads only if nothing else is on its way.
    bool nothingElseSent(SerialPort &port, PtyPair &pty) const
    {
        return port.write(barrier) && pty.readMaster(barrier.size()) == barrier;
    }

protected:
    void setUpTestCase() override
    {
        QVERIFY(m_dir.isValid());
        qRegisterMetaType<QSerialPort::SerialPortError>();
    }

private slots:
    void openAppliesLineSettings_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("device path") << false;
        QTest::newRow("link named tty") << true;
    }
    void openAppliesLineSettings()
    {
        QFETCH(bool, throughLink);
        PtyPair pty(throughLink ? linkPath("ttyK27LINE0") : QString());
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));

        // Leave the line as another program might: slow, 7 bits, even parity, two stop bits,
        // XON/XOFF and hardware handshake. Opening must replace every one of them.
        termios previous = pty.slaveSettings();
        cfsetispeed(&previous, B9600);
        cfsetospeed(&previous, B9600);
        previous.c_cflag = (previous.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS;
        previous.c_iflag |= IXON | IXOFF;
        QCOMPARE(tcsetattr(pty.masterFd(), TCSANOW, &previous), 0);

        SerialPort port(nullptr, pty.portName());
        QVERIFY(port.isOpen());
        QCOMPARE(port.portName(), pty.portName());
        const termios settings = pty.slaveSettings();
        QCOMPARE(cfgetispeed(&settings), speed_t(B115200));
        QCOMPARE(cfgetospeed(&settings), speed_t(B115200));
        QCOMPARE(settings.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(settings.c_iflag & (IXON | IXOFF | IXANY), tcflag_t(0));
        QVERIFY(innerPort(port)->openMode() == QIODevice::ReadWrite);
    }

    void openSetsDataTerminalReadyEachTime()
    {
        PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        modemLineRequests.clear();
        SerialPort port(nullptr, pty.portName());
        QVERIFY(port.isOpen());
        // The pseudo-terminal refuses the request; the port stays open and usable all the same.
        const auto requestedDtr = [&port] {
            const int fd = int(innerPort(port)->handle());
            return std::count_if(modemLineRequests.begin(), modemLineRequests.end(),
                                 [fd](const ModemLineRequest &request) {
                                     return request.fd == fd && request.request == TIOCMBIS
                                         && (request.bits & TIOCM_DTR) != 0;
                                 });
        };
        QCOMPARE(requestedDtr(), 1);

        QVERIFY(port.open()); // already open: nothing is set again
        QCOMPARE(requestedDtr(), 1);

        QVERIFY(port.close());
        modemLineRequests.clear();
        QVERIFY(port.open());
        QCOMPARE(requestedDtr(), 1);
        QVERIFY(port.write(QByteArray("x")));
        QCOMPARE(pty.readMaster(1), QByteArray("x"));
    }

    void openAndCloseReportState()
    {
        PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        SerialPort port(nullptr, pty.portName());
        QVERIFY(port.open());
        QVERIFY(port.close());
        QVERIFY(!port.isOpen());
        QVERIFY(!port.close());
        QVERIFY(port.open());
        QVERIFY(port.isOpen());

        SerialPort missing(nullptr, linkPath("ttyMissing0"));
        QVERIFY(!missing.isOpen());
        QVERIFY(!missing.open());
        QVERIFY(!missing.close());
    }

    // The protocol is binary; 0x11 and 0x13 (XON and XOFF) turn up in lengths, CRCs and values
    // and must pass both ways untouched.
    void binaryBytesPassBothWays_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("XON XOFF alone") << QByteArray("\x11\x13\x13\x11", 4);
        QTest::newRow("XOFF then text") << QByteArray("\x13"
                                                      "after a stop character");
        QTest::newRow("every byte value") << allByteValues();
        QTest::newRow("every value, many times") << allByteValues().repeated(64);
    }
    void binaryBytesPassBothWays()
    {
        QFETCH(QByteArray, bytes);
        PtyPair pty(linkPath("ttyK27BIN0"));
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        SerialPort port(nullptr, pty.portName());
        QVERIFY(port.isOpen());
        QSignalSpy received(&port, &SerialPort::dataReceived);

        QVERIFY(pty.writeMaster(bytes));
        QCOMPARE(receive(received, bytes.size()), bytes);

        QVERIFY(port.write(bytes));
        QCOMPARE(pty.readMaster(bytes.size()), bytes);
        // Nothing was held back or repeated in either direction: the line is first-in
        // first-out, so a barrier sent behind the bytes is the next thing each end reads.
        QVERIFY(nothingElseSent(port, pty));
        QVERIFY(pty.writeMaster(barrier));
        QCOMPARE(receive(received, bytes.size() + barrier.size()), bytes + barrier);
    }

    void writeSendsAndAnnounces_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray text = QStringLiteral("Z\u00e4hler 1").toUtf8();
        QTest::newRow("bytes") << "write bytes" << QByteArray("\x00\x11\x13\xff", 4)
                               << QByteArray("\x00\x11\x13\xff", 4);
        QTest::newRow("text as UTF-8") << "write text" << text << text;
        QTest::newRow("line of bytes")
            << "writeLine bytes" << QByteArray("AB") << QByteArray("AB\r\n");
        QTest::newRow("line of text")
            << "writeLine text" << QByteArray("AB") << QByteArray("AB\r\n");
        QTest::newRow("empty line") << "writeLine bytes" << QByteArray() << QByteArray("\r\n");
    }
    void writeSendsAndAnnounces()
    {
        QFETCH(QString, call);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, expected);
        PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        SerialPort port(nullptr, pty.portName());
        QSignalSpy transmitted(&port, &SerialPort::dataTransmitted);

        bool written = false;
        if (call == "write bytes")
            written = port.write(bytes);
        else if (call == "write text")
            written = port.write(QString::fromUtf8(bytes));
        else if (call == "writeLine bytes")
            written = port.writeLine(bytes);
        else
            written = port.writeLine(QString::fromUtf8(bytes));
        QVERIFY(written);
        // Announced at once, in one piece, before the bytes have left.
        QCOMPARE(transmitted.count(), 1);
        QCOMPARE(transmitted.at(0).at(0).toByteArray(), expected);
        QCOMPARE(pty.readMaster(expected.size()), expected);
        QVERIFY(nothingElseSent(port, pty));
    }

    void writeOnClosedPortFails()
    {
        PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        SerialPort port(nullptr, pty.portName());
        QSignalSpy transmitted(&port, &SerialPort::dataTransmitted);
        QVERIFY(port.close());

        QVERIFY(!port.write(QByteArray("data")));
        QVERIFY(!port.write(QStringLiteral("text")));
        QVERIFY(!port.writeLine(QByteArray("AB")));
        QVERIFY(!port.writeLine(QStringLiteral("AB")));
        QCOMPARE(transmitted.count(), 0);
        QVERIFY(port.open());
        QVERIFY(nothingElseSent(port, pty));

        SerialPort missing(nullptr, linkPath("ttyMissing1"));
        QSignalSpy missingTransmitted(&missing, &SerialPort::dataTransmitted);
        QVERIFY(!missing.write(QByteArray("data")));
        QCOMPARE(missingTransmitted.count(), 0);
    }

    // Writes go to the line at once while nothing waits in the port; what a full line does not
    // take waits in the port and is written from the event loop. A write that follows must
    // queue behind those bytes even when the line has room again by then, never overtake them.
    void writesBeyondWhatTheLineTakesKeepTheirOrder()
    {
        PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        SerialPort port(nullptr, pty.portName());
        QSignalSpy transmitted(&port, &SerialPort::dataTransmitted);
        QByteArray sent;
        QByteArray received;
        bool heldBack = false;
        for (int piece = 0; piece < 64; ++piece) {
            // Each piece more than the line takes at once while nobody reads it.
            const QByteArray bytes = QByteArray::number(piece % 10).repeated(64 * 1024 + piece);
            QVERIFY(port.write(bytes));
            sent += bytes;
            heldBack = heldBack || innerPort(port)->bytesToWrite() > 0;
            // The device end reads what has arrived, without turning the event loop: the line
            // has room again while the rest of the piece still waits in the port.
            received += pty.readMasterNow();
        }
        QVERIFY(heldBack);
        QCOMPARE(transmitted.count(), 64);
        received += pty.readMaster(sent.size() - received.size(), 30000);
        QCOMPARE(received.size(), sent.size());
        QVERIFY(received == sent);
        QVERIFY(nothingElseSent(port, pty));
    }

    void receivedDataArrivesInOrder()
    {
        PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        SerialPort port(nullptr, pty.portName());
        QSignalSpy received(&port, &SerialPort::dataReceived);
        QByteArray sent;
        for (int block = 0; block < 16; ++block) {
            const QByteArray bytes = QByteArray::number(block).repeated(1000);
            QVERIFY(pty.writeMaster(bytes));
            sent += bytes;
            // Let the port read between the blocks, so that they arrive in many reads.
            QVERIFY(received.wait(5000));
        }
        QCOMPARE(receive(received, sent.size()), sent);
    }

    // A slot that waits in a local event loop while the device sends more: the port announces
    // nothing during the wait, and hands the bytes out once the slot has returned, without
    // waiting for the device's next bytes.
    void bytesArrivingWhileASlotWaitsAreHandedOut()
    {
        PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        SerialPort port(nullptr, pty.portName());
        const QByteArray later("the bytes that came during the wait");
        QByteArray received;
        bool first = true;
        connect(&port, &SerialPort::dataReceived, this, [&](const QByteArray &data) {
            received += data;
            if (!first)
                return;
            first = false;
            QVERIFY(pty.writeMaster(later));
            // The port reads the bytes during this wait.
            QDeadlineTimer deadline(10000);
            while (innerPort(port)->bytesAvailable() < later.size() && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
            QCOMPARE(received, QByteArray("first"));
        });
        QVERIFY(pty.writeMaster("first"));
        QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("first") + later, 10000);
    }

    // A device pulled out: the other end vanishes while the port is open. The port closes
    // itself instead of spinning on an error it can never clear.
    void vanishedLineClosesPort()
    {
        PtyPair pty(linkPath("ttyK27GONE0"));
        QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
        SerialPort port(nullptr, pty.portName());
        QVERIFY(port.isOpen());
        QSignalSpy received(&port, &SerialPort::dataReceived);
        QSignalSpy errors(innerPort(port), &QSerialPort::errorOccurred);
        QSignalSpy readyReads(innerPort(port), &QSerialPort::readyRead);

        QVERIFY(pty.writeMaster("last words"));
        QCOMPARE(receive(received, 10), QByteArray("last words"));
        pty.closeMaster();
        QVERIFY(port.write(QByteArray("into the void"))); // queued before the loss is noticed

        QTRY_VERIFY_WITH_TIMEOUT(!port.isOpen(), 10000);
        const int errorsAtClose = errors.count();
        const int readyReadsAtClose = readyReads.count();
        QVERIFY(errorsAtClose <= 3);
        QVERIFY(!port.write(QByteArray("more")));

        // Once closed, the port is quiet: no stream of errors or read notifications follows.
        // A round trip on a second line turns the event loop, which delivers whatever the
        // closed port would still report.
        PtyPair other;
        QVERIFY2(other.isValid(), qPrintable(other.errorString()));
        SerialPort otherPort(nullptr, other.portName());
        QSignalSpy otherReceived(&otherPort, &SerialPort::dataReceived);
        QVERIFY(other.writeMaster(barrier));
        QCOMPARE(receive(otherReceived, barrier.size()), barrier);
        QCOMPARE(errors.count(), errorsAtClose);
        QCOMPARE(readyReads.count(), readyReadsAtClose);

        // The device comes back under the same name: the same port opens again and works.
        PtyPair again(linkPath("ttyK27GONE0"));
        QVERIFY2(again.isValid(), qPrintable(again.errorString()));
        QVERIFY(port.open());
        QVERIFY(again.writeMaster("\x13hello\x11"));
        QCOMPARE(receive(received, 10 + 7).mid(10), QByteArray("\x13hello\x11"));
        QVERIFY(port.writeLine(QByteArray("AB")));
        QCOMPARE(again.readMaster(4), QByteArray("AB\r\n"));
    }
};

K27_TEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
