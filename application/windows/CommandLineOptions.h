#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace Application::K27 {

// The program's command line: "--port PATH" (repeatable) names serial ports to open as devices
// beside the detected ones; "--help" asks for the list of options.
class CommandLineOptions
{
    Q_DECLARE_TR_FUNCTIONS(CommandLineOptions)

public:
    // Reads the arguments (the program's name first, as QCoreApplication::arguments gives
    // them). False, with errorText set, for arguments the program does not take.
    bool parse(const QStringList &arguments);

    bool helpRequested() const { return m_helpRequested; }
    // The named ports, in the order given, each once.
    const QStringList &ports() const { return m_ports; }
    // The usage and the options, for --help.
    const QString &helpText() const { return m_helpText; }
    const QString &errorText() const { return m_errorText; }

private:
    bool m_helpRequested = false;
    QStringList m_ports;
    QString m_helpText;
    QString m_errorText;
};

} // namespace Application::K27
