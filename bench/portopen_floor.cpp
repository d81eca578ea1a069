// The floor for a console tool's run on a device port: a Qt console program that opens the
// port it is given as the tools do (115200 8N1, no flow control, read and write), drops what the
// line held and exits. Started as a process by the benches next to the tool they time.

#include <QCoreApplication>
#include <QSerialPort>
#include <QStringList>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2)
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
    port.close();
    return 0;
}
