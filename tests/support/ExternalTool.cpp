#include "ExternalTool.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

namespace TestSupport {

QString findTool(const QString &program)
{
    return QStandardPaths::findExecutable(program);
}

ToolRun runTool(const QString &program, const QStringList &arguments,
                const QString &workingDirectory, const QByteArray &input)
{
    ToolRun run;
    const QString path = program.contains(QLatin1Char('/')) ? program : findTool(program);
    if (path.isEmpty())
        return run;
    QProcess process;
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(path, arguments);
    if (!process.waitForStarted(30000))
        return run;
    run.started = true;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.standardOutput = process.readAllStandardOutput();
    run.standardError = process.readAllStandardError();
    return run;
}

ToolRun runServedTool(const QString &program, const QStringList &arguments,
                      const QString &workingDirectory, const QProcessEnvironment &environment)
{
    ToolRun run;
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    process.start(program, arguments);
    if (!process.waitForStarted(30000))
        return run;
    run.started = true;
    // Not waitForFinished: that would stop this thread's event loop, and the device with it.
    for (int round = 0; round < 600 && finished.isEmpty(); ++round)
        finished.wait(100);
    if (finished.isEmpty()) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.standardOutput = process.readAllStandardOutput();
    run.standardError = process.readAllStandardError();
    return run;
}

} // namespace TestSupport
