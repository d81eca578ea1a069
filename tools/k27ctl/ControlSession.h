#pragma once

#include "PackageInstall.h"
#include "ValueArrivals.h"

#include <QObject>
#include <QSet>
#include <QSharedPointer>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

class QTextStream;

namespace Application::K27 {
class Application;
class SerialPortManager;
} // namespace Application::K27

namespace Model::Interfaces {
class ModelValueIntf;
} // namespace Model::Interfaces

// One run of k27ctl: opens the device port through a port manager, builds a device application
// on it (no window) and carries out one command. Every command ends with finished(exit code).
class ControlSession : public QObject
{
    Q_OBJECT

public:
    enum ExitCode {
        Success = 0,
        BadArguments = 2,
        PortUnavailable = 3,
        TimedOut = 4,
        DeviceDisagreed = 5,
        Interrupted = 6, // SIGINT, SIGTERM or SIGHUP before the command finished
        PackageRefused = 7, // unusable, tampered or not newer than the device: nothing sent
        UpdateFailed = 8, // the update began but did not end: a stall, a device that stayed away
    };

    ControlSession(const QString &portPath, int timeoutMs, QTextStream &out, QTextStream &err);
    ~ControlSession() override;

    // Opens the port and builds the application; sends nothing. False, with the reason on
    // standard error, when the port cannot be opened.
    bool open();

    // Each returns false (reason on standard error) for arguments it cannot accept, before
    // anything is sent; otherwise the command runs and finished() follows.
    void dump();
    bool get(const QString &name);
    bool set(const QString &name, const QString &text);
    bool fire(const QString &action);
    // Runs until the program is interrupted; says on standard error when the device goes
    // away and when it is back.
    void monitor();
    // Installs an update package once the device has reported its platform software version.
    // waits: the update's waits in milliseconds (after the platform's and the display's
    // bootloader jumps, after the device came back, before "StopDisplayUpdate"); empty for the
    // usual ones.
    bool update(const QString &packagePath, bool allowDowngrade, const QList<int> &waits);

signals:
    void finished(int exitCode);

private:
    // The model value of a name ("NominalCurrent", case ignored) or identifier.
    Model::Interfaces::ModelValueIntf *findValue(const QString &nameOrNumber);
    // Starts the application: greetings and the model read. Records which values were asked
    // for.
    void runApplication();
    // Asks for the value unless the model read already did.
    void ensureRequested(Model::Interfaces::ModelValueIntf *value);
    void handleArrival(quint16 identifier);
    void handleTimeout();
    // Waits until the port has passed every byte on, then reports the exit code.
    void finish(int exitCode);
    void fail(const QString &message, int exitCode);
    void printDump();

    void handlePackageInstalled(PackageInstall::Result result);

    enum class Waiting { Nothing, Dump, Get, SetInitial, SetReport, UpdateVersion, Update };

    const QString m_portPath;
    const int m_timeoutMs;
    QTextStream &m_out;
    QTextStream &m_err;
    // Holds the link through which a port of another name is presented; removed at the end.
    std::unique_ptr<QTemporaryDir> m_linkFolder;
    QSharedPointer<Application::K27::SerialPortManager> m_manager;
    std::unique_ptr<Application::K27::Application> m_application;
    ValueArrivals m_arrivals;
    QSet<quint16> m_requested;
    QTimer m_timer;
    Waiting m_waiting = Waiting::Nothing;
    Model::Interfaces::ModelValueIntf *m_value = nullptr;
    QString m_text;
    int m_arrivalsBeforeSend = 0;
    QByteArray m_sentContent;
    std::unique_ptr<PackageInstall> m_install;
    bool m_allowDowngrade = false;
};
