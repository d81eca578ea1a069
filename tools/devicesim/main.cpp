// k27-devicesim: one simulated TORVEX®K27 on a pseudo-terminal. Prints the port name, serves
// until interrupted (SIGINT, SIGTERM or "quit" on standard input) and removes its port.

#include "DeviceSimulator.h"
#include "DeviceSimulatorOptions.h"
#include "component/ZantLinkPacket.h"
#include "tools/common/ConsoleStreams.h"
#include "utilities/VersionText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace DeviceSim;
using Console::err;
using Console::out;

namespace {

int signalPipe[2] = {-1, -1};

void handleSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

bool parseCount(const QString &text, int lowest, int highest, int *result)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest)
        return false;
    *result = value;
    return true;
}

// Commands typed on standard input while the device serves.
void runCommand(DeviceSimulator &device, const QString &line)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return;
    const QString &command = words.first();
    InjectedFault fault;
    int count = 0;
    if (command == QLatin1String("quit")) {
        QCoreApplication::quit();
    } else if (command == QLatin1String("away") && words.size() <= 2
               && (words.size() == 1 || parseCount(words.at(1), 0, 3600000, &count))) {
        device.goAway(count);
        out() << "away" << Qt::endl;
    } else if (command == QLatin1String("back") && words.size() == 1) {
        out() << (device.comeBack() ? "back" : "cannot come back: " + device.errorString())
              << Qt::endl;
    } else if ((command == QLatin1String("warning") || command == QLatin1String("error"))
               && words.size() == 2 && DeviceSimulatorOptions::parseFault(words.at(1), &fault)) {
        if (command == QLatin1String("warning"))
            device.injectWarning(fault);
        else
            device.injectError(fault);
    } else if (command == QLatin1String("bootloader") && words.size() == 2
               && (words.at(1) == QLatin1String("platform")
                   || words.at(1) == QLatin1String("display"))) {
        // As an update that broke off leaves it: the controller's bootloader runs and waits
        // for an image.
        device.controller(words.at(1) == QLatin1String("platform") ? 0 : 1)->jumpToBootloader();
        out() << "bootloader " << words.at(1) << Qt::endl;
    } else if (command == QLatin1String("set") && words.size() == 3) {
        DeviceSimulatorOptions parsed;
        QString message;
        const int valueId = DeviceSimulatorOptions::identifierOf(words.at(1));
        if (!parsed.setModelValue(words.at(1), words.at(2), &message)) {
            err() << message << Qt::endl;
            return;
        }
        device.setModelValue(quint16(valueId),
                             valueId == 39 ? parsed.platform.application
                                           : parsed.model.value(quint16(valueId)));
    } else {
        err() << "commands: away [ms] | back | warning type[,phase[,capacity]] | "
                 "error type[,phase[,capacity]] | set identifier value | "
                 "bootloader platform|display | quit"
              << Qt::endl;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("k27-devicesim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A simulated TORVEX(R)K27 motor starter on a pseudo-terminal. Prints the port name on "
        "the first line and serves until interrupted."));
    parser.addHelpOption();
    const QCommandLineOption config({"c", "config"}, "Options from a JSON file.", "file");
    const QCommandLineOption folder(
        "folder", "Folder of the port link (default: a new temporary folder).", "dir");
    const QCommandLineOption portName(
        "port-name", "Name of the port link (must contain \"tty\"; default ttyK27SIM0).", "name");
    const QCommandLineOption seed("seed", "Seed of every random choice (default 1).", "n");
    const QCommandLineOption period("measurement-period",
                                    "Streaming period of measurements (default 200).", "ms");
    const QCommandLineOption set(
        "set", "Start content of a model value, by name or number (repeatable).", "id=value");
    const QCommandLineOption article("article-number", "ArticleNumber, e.g. 36262.", "n");
    const QCommandLineOption serial("serial-number", "SerialNumber.", "n");
    const QCommandLineOption platformVersion(
        "platform-version", "Platform application version, e.g. V1.2.3.4.", "version");
    const QCommandLineOption displayVersion("display-version", "Display application version.",
                                            "version");
    const QCommandLineOption bootloaderVersion(
        "bootloader-version", "Bootloader version of both controllers.", "version");
    const QCommandLineOption halVersion("hal-version", "HAL version of both controllers.",
                                        "version");
    const QCommandLineOption hardwareIds(
        "hardware-ids", "HardwareIDControllerBoard, PowerBoard, DisplayBoard.", "c,p,d");
    const QCommandLineOption updateVersion(
        "update-version",
        "Application version after an update, both controllers (default: old version + 1).",
        "version");
    const QCommandLineOption platformUpdateVersion(
        "platform-update-version", "Platform application version after an update.", "version");
    const QCommandLineOption displayUpdateVersion(
        "display-update-version", "Display application version after an update.", "version");
    const QCommandLineOption usbAway(
        "usb-away",
        "Time the USB port is away when the Platform restarts; 0 keeps it (default 1500).", "ms");
    const QCommandLineOption stall("stall-after-block",
                                   "Stop requesting blocks after this block (-1: never).", "n");
    const QCommandLineOption repeat("repeat-block", "Request this block twice (-1: none).", "n");
    const QCommandLineOption beyond("request-beyond-count",
                                    "After the last block, request one beyond the count.");
    const QCommandLineOption resetSettings(
        "reset-settings-on-update",
        "After a Platform update, the protection settings are back to their defaults.");
    const QCommandLineOption corrupt(
        "corrupt-block", "The first copy of this block arrives damaged (-1: none).", "n");
    const QCommandLineOption bitFlip("bit-flip", "Probability of a flipped bit per sent packet.",
                                     "p");
    const QCommandLineOption dropByte("drop-byte", "Probability of a dropped byte per sent packet.",
                                      "p");
    const QCommandLineOption garbage("garbage", "Probability of garbage before a sent packet.",
                                     "p");
    const QCommandLineOption garbageMaxBytes("garbage-max-bytes",
                                             "At most this many garbage bytes (default 8).", "n");
    const QCommandLineOption split(
        "split", "Send packets in pieces of this many bytes (0: whole packets).", "n");
    const QCommandLineOption splitDelay("split-delay", "Pause between pieces.", "ms");
    const QCommandLineOption flowControl("flow-control-bytes",
                                         "Precede answers with a packet holding XOFF/XON bytes.");
    const QCommandLineOption faultCommands(
        "fault-commands", "Apply line faults only to these command codes.", "a,b,...");
    const QCommandLineOption warning("warning", "Start with this warning.",
                                     "type[,phase[,capacity]]");
    const QCommandLineOption error("error", "Start with this error.", "type[,phase[,capacity]]");
    const QCommandLineOption answerWidth(
        "answer-width",
        "Report this model value with this many content bytes (0-8), as a faulty firmware "
        "would (repeatable).",
        "id=bytes");
    const QCommandLineOption ignoreWrite(
        "ignore-write", "Neither store nor answer SetModelValue for this model value (repeatable).",
        "id");
    const QCommandLineOption log("log", "Print every received packet.");
    parser.addOptions({config,
                       folder,
                       portName,
                       seed,
                       period,
                       set,
                       article,
                       serial,
                       platformVersion,
                       displayVersion,
                       bootloaderVersion,
                       halVersion,
                       hardwareIds,
                       updateVersion,
                       platformUpdateVersion,
                       displayUpdateVersion,
                       usbAway,
                       stall,
                       repeat,
                       beyond,
                       resetSettings,
                       corrupt,
                       bitFlip,
                       dropByte,
                       garbage,
                       garbageMaxBytes,
                       split,
                       splitDelay,
                       flowControl,
                       faultCommands,
                       warning,
                       error,
                       answerWidth,
                       ignoreWrite,
                       log});
    parser.process(application);

    DeviceSimulatorOptions options;
    options.usbAwayMs = 1500;
    QString message;
    const auto usage = [&message](const QString &text) {
        err() << "k27-devicesim: " << text << Qt::endl;
        return 2;
    };

    if (parser.isSet(config)) {
        QFile file(parser.value(config));
        if (!file.open(QIODevice::ReadOnly))
            return usage(
                QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
        if (!options.mergeJson(file.readAll(), &message))
            return usage(QStringLiteral("%1: %2").arg(file.fileName(), message));
    }
    if (parser.isSet(folder))
        options.folder = parser.value(folder);
    if (parser.isSet(portName)) {
        if (!parser.value(portName).contains(QLatin1String("tty")))
            return usage(QStringLiteral("the port name must contain \"tty\""));
        options.portName = parser.value(portName);
    }
    // Every number option is checked against the same table as its JSON key.
    for (const auto &option : DeviceSim::DeviceSimulatorOptions::numberOptions()) {
        const QString name = QString::fromLatin1(option.option);
        if (parser.isSet(name) && !options.setNumberOption(name, parser.value(name), &message))
            return usage(message);
    }

    QList<QPair<QString, QString>> values;
    for (const QString &assignment : parser.values(set)) {
        const int equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return usage(QStringLiteral("--set needs identifier=value, not %1").arg(assignment));
        values.append({assignment.left(equals), assignment.mid(equals + 1)});
    }
    if (parser.isSet(article))
        values.append({QStringLiteral("ArticleNumber"), parser.value(article)});
    if (parser.isSet(serial))
        values.append({QStringLiteral("SerialNumber"), parser.value(serial)});
    if (parser.isSet(platformVersion))
        values.append({QStringLiteral("PlatformVersion"), parser.value(platformVersion)});
    if (parser.isSet(hardwareIds)) {
        const QStringList ids = parser.value(hardwareIds).split(QLatin1Char(','));
        if (ids.size() != 3)
            return usage(QStringLiteral("--hardware-ids needs three numbers c,p,d"));
        values.append({QStringLiteral("HardwareIDControllerBoard"), ids.at(0)});
        values.append({QStringLiteral("HardwareIDPowerBoard"), ids.at(1)});
        values.append({QStringLiteral("HardwareIDDisplayBoard"), ids.at(2)});
    }
    for (const auto &value : values) {
        if (!options.setModelValue(value.first, value.second, &message))
            return usage(message);
    }
    for (const QString &assignment : parser.values(answerWidth)) {
        if (!options.setAnswerWidth(assignment, &message))
            return usage(message);
    }
    for (const QString &identifier : parser.values(ignoreWrite)) {
        if (!options.setIgnoredWrite(identifier, &message))
            return usage(message);
    }

    const std::pair<const QCommandLineOption *, std::vector<quint32 *>> versions[]
        = {{&displayVersion, {&options.display.application}},
           {&bootloaderVersion, {&options.platform.bootloader, &options.display.bootloader}},
           {&halVersion, {&options.platform.hal, &options.display.hal}},
           {&updateVersion, {&options.platform.afterUpdate, &options.display.afterUpdate}},
           {&platformUpdateVersion, {&options.platform.afterUpdate}},
           {&displayUpdateVersion, {&options.display.afterUpdate}}};
    for (const auto &version : versions) {
        if (!parser.isSet(*version.first))
            continue;
        quint32 number = 0;
        if (!DeviceSimulatorOptions::parseVersion(parser.value(*version.first), &number))
            return usage(QStringLiteral("--%1 needs a version such as V1.2.3.4")
                             .arg(version.first->names().first()));
        for (quint32 *target : version.second)
            *target = number;
    }

    if (parser.isSet(beyond))
        options.updateFaults.requestBeyondCount = true;
    if (parser.isSet(resetSettings))
        options.resetSettingsOnUpdate = true;

    if (parser.isSet(flowControl))
        options.lineFaults.flowControlBytes = true;
    if (parser.isSet(faultCommands)) {
        options.lineFaults.commands.clear();
        for (const QString &code : parser.value(faultCommands).split(QLatin1Char(','))) {
            int number = 0;
            if (!parseCount(code, 0, 45, &number))
                return usage(QStringLiteral("--fault-commands needs command codes 0 … 45"));
            options.lineFaults.commands.insert(quint16(number));
        }
    }
    if (parser.isSet(warning)) {
        if (!DeviceSimulatorOptions::parseFault(parser.value(warning), &options.warning))
            return usage(
                QStringLiteral("--warning needs type[,phase[,capacity]] within 16, 3, 100"));
        options.hasWarning = true;
    }
    if (parser.isSet(error)) {
        if (!DeviceSimulatorOptions::parseFault(parser.value(error), &options.error))
            return usage(QStringLiteral("--error needs type[,phase[,capacity]] within 16, 3, 100"));
        options.hasError = true;
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return usage(QStringLiteral("cannot set up signal handling"));
    std::signal(SIGINT, handleSignal);
    std::signal(SIGTERM, handleSignal);
    std::signal(SIGHUP, handleSignal);
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &application,
                     [] { QCoreApplication::quit(); });

    DeviceSimulator device(options);
    if (!device.start()) {
        err() << "k27-devicesim: " << device.errorString() << Qt::endl;
        return 1;
    }
    out() << device.portName() << Qt::endl;

    if (parser.isSet(log)) {
        QObject::connect(
            &device, &DeviceSimulator::packetReceived,
            [](const ReceivedPacket &packet) { out() << packet.toString() << Qt::endl; });
    }
    QObject::connect(&device, &DeviceSimulator::updateCompleted, [](quint8 node, quint32 version) {
        out() << Component::Interfaces::ZantLinkPacket::nodeName(node) << " updated to "
              << Utilities::versionText(version) << Qt::endl;
    });
    QObject::connect(&device, &DeviceSimulator::transferFailed,
                     [](quint8 node, const QString &reason) {
                         out() << Component::Interfaces::ZantLinkPacket::nodeName(node)
                               << " update failed: " << reason << Qt::endl;
                     });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray typed;
    QObject::connect(&input, &QSocketNotifier::activated, [&input, &typed, &device] {
        char buffer[256];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            // No more input (for example /dev/null): serve on until a signal arrives.
            input.setEnabled(false);
            return;
        }
        typed.append(buffer, int(count));
        int newline = 0;
        while ((newline = typed.indexOf('\n')) >= 0) {
            runCommand(device, QString::fromLocal8Bit(typed.left(newline)));
            typed.remove(0, newline + 1);
        }
    });

    const int result = QCoreApplication::exec();
    device.stop();
    return result;
}
