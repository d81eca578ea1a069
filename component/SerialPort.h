#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QSharedPointer>
#include <QString>
#include <QWeakPointer>

namespace Application::K27 {

class SerialPortManager;

// One device port: opened with the device's line settings, it hands every received byte out as
// dataReceived and announces every byte it queued for sending as dataTransmitted.
class SerialPort : public QObject
{
    Q_OBJECT

public:
    // Why the last open failed, as far as the system tells: Qt reports a port another program
    // holds and a port the user may not open both as a permission error.
    enum class OpenFailure {
        None, // the port is open, or was never refused
        Busy, // another program has it open (or holds its lock)
        Permission, // the user may not open the device node
        Gone, // the device node does not exist (any more)
        Other, // anything else; openFailureText() has the system's words
    };

    // Creates the port for portName (a system port name such as "ttyACM0", or a full path) and
    // opens it at once.
    SerialPort(const QSharedPointer<SerialPortManager> &manager, const QString &portName,
               QObject *parent = nullptr);
    ~SerialPort() override;

    // Opens with 115200 baud, 8 data bits, no parity, one stop bit and no flow control,
    // discards whatever input the line still holds, then sets DTR. True at once if already
    // open.
    bool open();
    // Returns whether the port was open.
    bool close();
    bool isOpen() const;
    // Takes whatever the line holds now and hands it out as dataReceived, without waiting for
    // the event loop to notice it.
    void readPending();

    // Queue the bytes for sending in one piece; false (and nothing announced) if the port is
    // closed or did not take all of them.
    bool write(const QByteArray &data);
    bool write(const QString &text);
    // The same, followed by CR LF.
    bool writeLine(const QByteArray &data);
    bool writeLine(const QString &text);

    QString portName() const;
    // The device node the name stands for: "/dev/ttyACM0" for "ttyACM0", a path as it is.
    QString devicePath() const;
    static QString devicePath(const QString &portName);

    OpenFailure openFailure() const { return m_openFailure; }
    // The system's or Qt's own text of the last failed open; empty while open.
    QString openFailureText() const { return m_openFailureText; }
    // The group that owns the device node (Linux and other Unix systems), empty if unknown.
    QString deviceGroup() const;

    // Tells a refused open apart. qtError is what QSerialPort reported, nodeExists whether the
    // device node exists, and systemError the error number of opening the node directly (0 when
    // that worked, so the serial-port layer refused for a reason of its own: another program's
    // lock).
    static OpenFailure classifyOpenFailure(QSerialPort::SerialPortError qtError, bool nodeExists,
                                           int systemError);
    // The manager that created the port; null for a port made on its own or once the manager
    // is gone.
    QSharedPointer<SerialPortManager> manager() const;

signals:
    void dataReceived(const QByteArray &data);
    void dataTransmitted(const QByteArray &data);
    // After every open attempt, successful or not, and after the port closed.
    void openStateChanged();

public slots:
    void handleReadyRead();
    void handleBytesWritten(qint64 bytes);
    void handleError(QSerialPort::SerialPortError error);

private:
    // Weak: the manager's table holds this port, so a strong pointer back would keep both
    // alive for ever and the port would never be closed by its destructor.
    QWeakPointer<SerialPortManager> m_manager;
    QString m_portName;
    QSerialPort *m_port;
    OpenFailure m_openFailure = OpenFailure::None;
    QString m_openFailureText;

    void diagnoseOpenFailure(QSerialPort::SerialPortError qtError);
    bool writeNow(const QByteArray &data);
};

} // namespace Application::K27
