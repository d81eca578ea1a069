#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace TestSupport {

// Result of running a real command-line program (tar, openssl, python3, our tools).
struct ToolRun
{
    bool started = false;
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;

    bool succeeded() const { return started && exitCode == 0; }
};

// Runs program (looked up on PATH unless it is a path) in workingDirectory,
// feeding input to its standard input, and waits up to two minutes.
ToolRun runTool(const QString &program, const QStringList &arguments,
                const QString &workingDirectory = QString(),
                const QByteArray &input = QByteArray());

// Runs program while this thread's event loop goes on, so that a simulated device living on
// this thread keeps answering it; waits up to a minute. The environment is the test's own
// unless given.
ToolRun runServedTool(const QString &program, const QStringList &arguments,
                      const QString &workingDirectory = QString(),
                      const QProcessEnvironment &environment
                      = QProcessEnvironment::systemEnvironment());

// The path of a program on PATH, or empty.
QString findTool(const QString &program);

} // namespace TestSupport
