#pragma once

#include "LineFaults.h"
#include "SimulatedController.h"
#include "UpdateFaults.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <vector>

namespace DeviceSim {

// An injected warning or error: the fault kind (0 … 16), its phase (0 L1, 1 L2, 2 L3,
// 3 all) and the thermal capacity the device shows with it.
struct InjectedFault
{
    quint8 type = 0;
    quint8 phase = 0;
    quint8 capacity = 0;
};

// Everything that makes one simulated device. The defaults give a device of the catalogue's
// defaults that answers at once and never fails.
struct DeviceSimulatorOptions
{
    // Where the port link is made; empty: a fresh temporary folder owned by the simulator.
    QString folder;
    // The link's name; it must contain "tty" for the port manager to accept it.
    QString portName = QStringLiteral("ttyK27SIM0");

    quint32 seed = 1;
    int measurementPeriodMs = 200;

    // Start contents by identifier; they also become the factory defaults.
    QMap<quint16, double> model;

    SimulatedController::Versions platform {0x01000000, 0x01000000, 0x01000000, 0};
    SimulatedController::Versions display {0x01000000, 0x01000000, 0x01000000, 0};

    // How long the USB port stays away when the Platform restarts (its jump to the
    // bootloader, its return to the application after an update, "Reset" and
    // "JumpToApplication"); 0 keeps the port present throughout.
    int usbAwayMs = 0;

    UpdateFaults updateFaults;
    LineFaults lineFaults;

    // New Platform firmware that forgets the protection settings: once an update of the
    // Platform completes, every setting is back to its factory default.
    bool resetSettingsOnUpdate = false;

    // A faulty firmware's answers: these values are reported with this many content bytes
    // (0 … 8) instead of their link width: the content's first bytes, zero bytes beyond it.
    QMap<quint16, int> answerWidths;
    // A device that ignores a write: "SetModelValue" for these values is neither stored nor
    // answered.
    QSet<quint16> ignoredWrites;

    bool hasWarning = false;
    InjectedFault warning;
    bool hasError = false;
    InjectedFault error;

    // Merges a JSON object (see README.md) into these options. False with a message naming
    // the offending key when something does not fit; the options are then unchanged.
    bool mergeJson(const QByteArray &json, QString *errorMessage);
    // One start content given as identifier name or number and a value ("ArticleNumber",
    // "36262"); versions may be written as "V1.2.3.4".
    bool setModelValue(const QString &identifier, const QString &value, QString *errorMessage);

    // A number option, the same whether it comes from the command line or from the JSON
    // file: one table holds its names, its range and where it goes, and both readers check it
    // there.
    struct NumberOption
    {
        const char *option; // command-line name without "--"
        const char *section; // the JSON object holding the key: "" (top level), "update", "line"
        const char *key; // the JSON key
        double lowest;
        double highest;
        bool whole; // a whole number; otherwise any number within the range (probabilities)
        void (*apply)(DeviceSimulatorOptions &options, double value);

        // For example "--split" or "\"splitSize\" in \"line\"".
        QString commandLineName() const;
        QString jsonName() const;
        // For example "a whole number 0 … 60000".
        QString rangeText() const;
        bool accepts(double value) const;
    };
    static const std::vector<NumberOption> &numberOptions();
    static const NumberOption *numberOption(const QString &commandLineName);

    // Sets a number option from its command-line text. False, with a message naming the
    // option and its range, when the text is not a number of that range; nothing changes then.
    bool setNumberOption(const QString &commandLineName, const QString &text,
                         QString *errorMessage);

    // "NominalCurrent=1" or "2=5": a value answered with another width (0 … 8 bytes).
    bool setAnswerWidth(const QString &assignment, QString *errorMessage);
    // "NominalCurrent" or "2": a value whose writes are ignored.
    bool setIgnoredWrite(const QString &identifier, QString *errorMessage);
    static constexpr int widestAnswer = 8;

    // "V1.2.3.4", "1.2.3.4" or a plain number.
    static bool parseVersion(const QString &text, quint32 *version);
    // "type[,phase[,capacity]]".
    static bool parseFault(const QString &text, InjectedFault *fault);
    // The identifier of a name of the catalogue or a decimal number, -1 if neither.
    static int identifierOf(const QString &nameOrNumber);
};

} // namespace DeviceSim
