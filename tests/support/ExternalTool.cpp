#include "ExternalTool.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

namespace TestSupport {

QString findTool(const QString &program)
{
    return QStandardPaths::findExecutable(program);
}

namespace {

bool startProcess(QProcess &process, const QString &path, const QStringList &arguments,
                  const QString &workingDirectory)
{
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(path, arguments);
    return process.waitForStarted(30000);
}

// What a started program left: its exit code and output, or (killed) nothing when it did not
// finish in time.
ToolRun collect(QProcess &process, bool finished)
{
    ToolRun run;
    run.started = true;
    if (!finished) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.standardOutput = process.readAllStandardOutput();
    run.standardError = process.readAllStandardError();
    return run;
}

} // namespace

ToolRun runTool(const QString &program, const QStringList &arguments,
                const QString &workingDirectory, const QByteArray &input)
{
    const QString path = program.contains(QLatin1Char('/')) ? program : findTool(program);
    QProcess process;
    if (path.isEmpty() || !startProcess(process, path, arguments, workingDirectory))
        return ToolRun();
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    return collect(process, process.waitForFinished(120000));
}

ToolRun runServedTool(const QString &program, const QStringList &arguments,
                      const QString &workingDirectory, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    if (!startProcess(process, program, arguments, workingDirectory))
        return ToolRun();
    // Not waitForFinished: that would stop this thread's event loop, and the device with it.
    for (int round = 0; round < 600 && finished.isEmpty(); ++round)
        finished.wait(100);
    return collect(process, !finished.isEmpty());
}

} // namespace TestSupport
