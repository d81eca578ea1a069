// The floor for a console tool's run on a device port: a Qt console program that opens the
// port it is given as the tools do (115200 8N1, no flow control, read and write), drops what the
// line held and exits. Given a file of request bytes and a count as well, it sends those bytes,
// cuts the answers (FloorModelRead) until that many contents have arrived, prints each as a
// number and exits: a model read and nothing else. Started as a process by the benches next to
// the tool they time.

#include "FloorModelRead.h"

#include <QCoreApplication>
#include <QFile>
#include <QSerialPort>
#include <QStringList>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2 && arguments.size() != 4)
        return 2;
    QSerialPort port(arguments.at(1));
    port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite))
        return 3;
    port.clear(QSerialPort::Input);
    if (arguments.size() == 2)
        return 0;

    QFile requests(arguments.at(2));
    const int expected = arguments.at(3).toInt();
    if (!requests.open(QIODevice::ReadOnly) || expected <= 0)
        return 2;
    QByteArray received;
    int contents = 0;
    QObject::connect(&port, &QSerialPort::readyRead, [&] {
        received += port.readAll();
        FloorModelRead::cut(received, [&](quint32 content) {
            std::printf("%u\n", content);
            if (++contents == expected)
                QCoreApplication::quit();
        });
    });
    QTimer::singleShot(10000, &application, &QCoreApplication::quit);
    port.write(requests.readAll());
    QCoreApplication::exec();
    return contents == expected ? 0 : 4;
}
