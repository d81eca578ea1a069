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

    // Queue the bytes for sending in one piece; false (and nothing announced) if the port is
    // closed or did not take all of them.
    bool write(const QByteArray &data);
    bool write(const QString &text);
    // The same, followed by CR LF.
    bool writeLine(const QByteArray &data);
    bool writeLine(const QString &text);

    QString portName() const;
    // The manager that created the port; null for a port made on its own or once the manager
    // is gone.
    QSharedPointer<SerialPortManager> manager() const;

signals:
    void dataReceived(const QByteArray &data);
    void dataTransmitted(const QByteArray &data);

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
};

} // namespace Application::K27
