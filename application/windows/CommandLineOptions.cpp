#include "application/windows/CommandLineOptions.h"

#include <QCommandLineParser>

namespace Application::K27 {

bool CommandLineOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Service tool for TORVEX\u00aeK27 motor starters. Devices are detected by their USB "
           "identifiers; --port opens any other serial port as a device."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        tr("Show this list of options."));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        tr("Open the serial port PATH as a device beside the detected ones: a USB-serial "
           "adapter of another make, a serial server's device or a pseudo-terminal. May be "
           "given more than once."),
        QStringLiteral("PATH"));
    parser.addOption(helpOption);
    parser.addOption(portOption);

    m_helpText = parser.helpText();
    m_helpRequested = false;
    m_ports.clear();
    m_errorText.clear();
    if (!parser.parse(arguments)) {
        m_errorText = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        m_errorText = tr("Unexpected argument: %1").arg(parser.positionalArguments().constFirst());
        return false;
    }
    m_helpRequested = parser.isSet(helpOption);
    for (const QString &port : parser.values(portOption)) {
        if (port.isEmpty()) {
            m_errorText = tr("--port needs the path of a serial port.");
            return false;
        }
        if (!m_ports.contains(port))
            m_ports.append(port);
    }
    return true;
}

} // namespace Application::K27
