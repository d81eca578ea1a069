// k27ctl: the command-line client for one TORVEX®K27 device port. It runs a device application
// on the port without any window and carries out one command:
//
//   k27ctl --port PATH [--timeout SECONDS] dump | get NAME | set NAME VALUE | fire ACTION
//          | monitor | settings export FILE | settings import FILE | settings diff FILE
//          | measure voltage|current|power [--seconds N] | report FILE.pdf
//   k27ctl --port PATH [--allow-downgrade] [--update-waits A,B,C,D[,E,F]] [--settings-folder DIR]
//          [--restore-settings] update PACKAGE
//
// Exit codes: 0 success, 1 settings diff found the device's settings other than the file's,
// 2 bad arguments, a refused value or a refused or unwritable settings
// file, 3 the port cannot be opened, 4 time-out, 5 the device kept another content than the
// one set, 6 interrupted by a signal, 7 the device went away during a measurement, 8 a package
// refused before anything was sent, 9 an update that began and did not end, 10 a settings
// import the device did not confirm whole, 11 an answer of the wrong width for the value's
// type, 12 the platform runs its bootloader (no model: dump, get, set, settings and report end
// with it; update completes such a device). report: 0 written, 2 the file cannot be written,
// 4 the device did not report its model and its display's software in time (no file).
// update: 0 installed with the settings as before (or restored), 1 installed but the settings
// differ from those saved before it (printed; not restored), 4 the device did not report its
// settings in time (before the update: nothing sent), 5 or 10 a restore the device did not
// confirm, 8, 9, 13 the settings could not be saved before the update (nothing sent).

#include "ControlSession.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalSockets[2] = {-1, -1};

void handleSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
}

const char *const usage
    = "usage: k27ctl --port PATH [--timeout SECONDS] COMMAND\n"
      "commands:\n"
      "  dump              every model value as a JSON array, once the model has been read\n"
      "  get NAME          one model value as a JSON object\n"
      "  set NAME VALUE    write a model value; prints the content the device reports back\n"
      "  fire ACTION       send a model action (name or number 0-12)\n"
      "  monitor           print every packet sent and received until interrupted\n"
      "  settings export FILE  save the protection settings to a JSON settings file\n"
      "  settings import FILE  check a settings file whole, then write the settings it holds\n"
      "  settings diff FILE    print each setting the device holds otherwise than the file\n"
      "                    (name, device value, file value); sends no setting; exit 0 when\n"
      "                    the device matches the file, 1 when it differs, 2 for a refused\n"
      "                    file, 3 no device, 4 time-out, 12 platform in its bootloader\n"
      "  measure voltage|current|power [--seconds N]\n"
      "                    start the measurement and print one CSV row per measured value\n"
      "                    for N seconds or until interrupted, then stop it on the device\n"
      "  report FILE       write the service report of the device as a one-page PDF\n"
      "                    (\".pdf\" added to a name without one); exit 0 written, 2 the file\n"
      "                    cannot be written, 4 the device did not report in time, 12 the\n"
      "                    platform runs its bootloader; no file in every failure\n"
      "  update PACKAGE    install an update package (.tar); only a package newer than the\n"
      "                    device's platform software unless --allow-downgrade, any package\n"
      "                    with a platform image when the platform runs its bootloader;\n"
      "                    done only once the device reports the package's software;\n"
      "                    the settings are saved first as SERIAL-yyyyMMdd-HHmmss-before-\n"
      "                    update.json, compared with the device after the update and each\n"
      "                    difference printed; exit 0 installed and settings as before (or\n"
      "                    restored), 1 installed but settings differ, 4 no settings in\n"
      "                    time, 8 package refused, 9 update broke off, 5/10 restore not\n"
      "                    confirmed, 13 settings not saved (nothing sent)\n"
      "options of update:\n"
      "  --allow-downgrade       install a package that is not newer than the device, or\n"
      "                          that has no platform image to compare\n"
      "  --update-waits A,B,C,D[,E,F]  the update's waits in ms (2000,1000,1000,5000,\n"
      "                          30000,5000): after the platform's bootloader jump, after\n"
      "                          the display's, after the device came back, before the\n"
      "                          display update ends; the longest the device may take to\n"
      "                          ask for its first block, and between two blocks\n"
      "  --settings-folder DIR   where the settings are saved before the update (the\n"
      "                          current folder if not given)\n"
      "  --restore-settings      write the saved settings that the update changed back\n"
      "                          and wait for the device to confirm them\n"
      "PATH may be relative; a signal (SIGINT, SIGTERM, SIGHUP) ends any command cleanly;\n"
      "a closed standard output (| head) ends monitor and measure with 0\n";

// The report is laid out in fonts, which need a GUI application; every other command runs
// without one, so that k27ctl works where no platform plugin can be loaded.
bool wantsReport(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "report") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    std::unique_ptr<QCoreApplication> guiOrCore;
    if (wantsReport(argc, argv)) {
        // No window is opened: the report needs no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        guiOrCore = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        guiOrCore = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication &application = *guiOrCore;
    // The report speaks the user's language where the program's translation is installed
    // (Qt's translation folder, as the service tool finds it); k27ctl's own messages stay
    // English.
    QTranslator reportTranslation;
    if (reportTranslation.load(QLocale(), QStringLiteral("k27_servicetool"), QStringLiteral("_"),
                               QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&reportTranslation);
    QCoreApplication::setApplicationName(QStringLiteral("k27ctl"));
    // k27ctl speaks English to scripts as much as to people: its numbers keep the point under
    // any system locale. The report is for people and follows their language.
    if (!wantsReport(argc, argv))
        QLocale::setDefault(QLocale::c());
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("The device's serial port."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption timeoutOption(QStringLiteral("timeout"),
                                           QStringLiteral("Seconds to wait for answers (3)."),
                                           QStringLiteral("SECONDS"), QStringLiteral("3"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption secondsOption(
        QStringLiteral("seconds"), QStringLiteral("How long measure runs (until interrupted)."),
        QStringLiteral("N"));
    parser.addOption(portOption);
    parser.addOption(timeoutOption);
    parser.addOption(secondsOption);
    const QCommandLineOption allowDowngradeOption(
        QStringLiteral("allow-downgrade"),
        QStringLiteral("update: install a package that is not newer than the device, or that "
                       "has no platform image to compare."));
    const QCommandLineOption updateWaitsOption(QStringLiteral("update-waits"),
                                               QStringLiteral("update: the waits in ms."),
                                               QStringLiteral("A,B,C,D[,E,F]"));
    parser.addOption(helpOption);
    parser.addOption(allowDowngradeOption);
    parser.addOption(updateWaitsOption);
    const QCommandLineOption settingsFolderOption(
        QStringLiteral("settings-folder"),
        QStringLiteral("update: where the settings are saved before the update."),
        QStringLiteral("DIR"));
    const QCommandLineOption restoreSettingsOption(
        QStringLiteral("restore-settings"),
        QStringLiteral("update: write back the settings the update changed."));
    parser.addOption(settingsFolderOption);
    parser.addOption(restoreSettingsOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command."));

    const auto badArguments = [&err](const QString &message) {
        err << "k27ctl: " << message << "\n" << usage;
        err.flush();
        return static_cast<int>(ControlSession::BadArguments);
    };

    if (!parser.parse(QCoreApplication::arguments()))
        return badArguments(parser.errorText());
    if (parser.isSet(helpOption)) {
        out << usage;
        return 0;
    }
    if (!parser.isSet(portOption) || parser.value(portOption).isEmpty())
        return badArguments(QStringLiteral("no port given (--port PATH)"));
    bool timeoutOk = false;
    const double timeoutSeconds = parser.value(timeoutOption).toDouble(&timeoutOk);
    if (!timeoutOk || timeoutSeconds <= 0 || timeoutSeconds > 3600)
        return badArguments(QStringLiteral("--timeout takes a number of seconds above 0"));

    const QStringList arguments = parser.positionalArguments();
    const QString command = arguments.value(0);
    const QMap<QString, int> argumentCounts {
        {QStringLiteral("dump"), 0},    {QStringLiteral("get"), 1},
        {QStringLiteral("set"), 2},     {QStringLiteral("fire"), 1},
        {QStringLiteral("monitor"), 0}, {QStringLiteral("settings"), 2},
        {QStringLiteral("measure"), 1}, {QStringLiteral("update"), 1},
        {QStringLiteral("report"), 1}};
    if (command.isEmpty())
        return badArguments(QStringLiteral("no command given"));
    if (!argumentCounts.contains(command))
        return badArguments(QStringLiteral("unknown command '%1'").arg(command));
    if (arguments.size() - 1 != argumentCounts.value(command))
        return badArguments(QStringLiteral("'%1' takes %2 argument(s)")
                                .arg(command)
                                .arg(argumentCounts.value(command)));

    if (command == QLatin1String("settings") && arguments.at(1) != QLatin1String("export")
        && arguments.at(1) != QLatin1String("import") && arguments.at(1) != QLatin1String("diff"))
        return badArguments(
            QStringLiteral("'settings' takes export FILE, import FILE or diff FILE"));

    double measureSeconds = 0;
    if (parser.isSet(secondsOption)) {
        bool secondsOk = false;
        measureSeconds = parser.value(secondsOption).toDouble(&secondsOk);
        if (command != QLatin1String("measure"))
            return badArguments(QStringLiteral("--seconds belongs to measure"));
        if (!secondsOk || measureSeconds <= 0 || measureSeconds > 24 * 3600)
            return badArguments(QStringLiteral("--seconds takes a number of seconds above 0"));
    }

    QList<int> updateWaits;
    if (parser.isSet(updateWaitsOption)) {
        const QStringList parts = parser.value(updateWaitsOption).split(QLatin1Char(','));
        for (const QString &part : parts) {
            bool ok = false;
            const int milliseconds = part.trimmed().toInt(&ok);
            if (!ok || milliseconds < 0 || milliseconds > 600000)
                break;
            updateWaits.append(milliseconds);
        }
        if (updateWaits.size() != parts.size() || (parts.size() != 4 && parts.size() != 6))
            return badArguments(QStringLiteral(
                "--update-waits takes four or six numbers of milliseconds, 0 to 600000"));
    }

    // A signal ends the event loop normally, so that everything is cleaned up on the way out
    // (the temporary link folder above all): monitor ends with 0, any other command as
    // interrupted.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        err << "k27ctl: cannot watch for signals" << Qt::endl;
        return ControlSession::CannotStart;
    }
    const bool monitoring = command == QLatin1String("monitor");
    // A measurement is stopped on the device before the program ends.
    ControlSession *measuring = nullptr;
    QSocketNotifier signalNotifier(signalSockets[1], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &application,
                     [monitoring, &measuring, &err] {
                         if (measuring != nullptr) {
                             measuring->stopMeasuring();
                             return;
                         }
                         if (monitoring) {
                             QCoreApplication::exit(ControlSession::Success);
                             return;
                         }
                         err << "k27ctl: interrupted by a signal" << Qt::endl;
                         QCoreApplication::exit(ControlSession::Interrupted);
                     });
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signalNumber, handleSignal);
    // A closed output pipe is a failed write, not a death: the session stops the measurement
    // and removes its link folder on the way out.
    std::signal(SIGPIPE, SIG_IGN);

    ControlSession session(parser.value(portOption), qRound(timeoutSeconds * 1000), out, err);
    if (!session.open())
        return ControlSession::PortUnavailable;

    int exitCode = 0;
    QObject::connect(&session, &ControlSession::finished, &application, [&exitCode](int code) {
        exitCode = code;
        QCoreApplication::exit(code);
    });

    bool started = true;
    if (command == QLatin1String("dump")) {
        session.dump();
    } else if (command == QLatin1String("get")) {
        started = session.get(arguments.at(1));
    } else if (command == QLatin1String("set")) {
        started = session.set(arguments.at(1), arguments.at(2));
    } else if (command == QLatin1String("settings")) {
        if (arguments.at(1) == QLatin1String("export"))
            started = session.settingsExport(arguments.at(2));
        else if (arguments.at(1) == QLatin1String("diff"))
            started = session.settingsDiff(arguments.at(2));
        else
            started = session.settingsImport(arguments.at(2));
    } else if (command == QLatin1String("fire")) {
        // fire finishes at once, before the event loop runs.
        QObject::disconnect(&session, &ControlSession::finished, &application, nullptr);
        QObject::connect(&session, &ControlSession::finished,
                         [&exitCode](int code) { exitCode = code; });
        return session.fire(arguments.at(1)) ? exitCode : int(ControlSession::BadArguments);
    } else if (command == QLatin1String("measure")) {
        started = session.measure(arguments.at(1), measureSeconds);
        if (started)
            measuring = &session;
    } else if (command == QLatin1String("report")) {
        QString path = arguments.at(1);
        // ".profile" is a name, not an extension.
        if (QFileInfo(path).fileName().lastIndexOf(QLatin1Char('.')) <= 0)
            path += QStringLiteral(".pdf");
        started = session.report(path);
    } else if (command == QLatin1String("update")) {
        if (!session.update(arguments.at(1), parser.isSet(allowDowngradeOption), updateWaits,
                            parser.value(settingsFolderOption),
                            parser.isSet(restoreSettingsOption)))
            return ControlSession::PackageRefused;
    } else {
        // monitor: until SIGINT, SIGTERM or SIGHUP.
        session.monitor();
    }
    if (!started)
        return ControlSession::BadArguments;
    return QCoreApplication::exec();
}
