// The file chooser the windows ask through: Qt's dialog beside a window answers later and only
// with a chosen file; an answerer in the dialogs' place answers every request, and a test's
// queued answers run out loudly instead of opening a dialog.

#include "application/windows/FileChooser.h"
#include "support/FileAnswers.h"
#include "support/TrappedTest.h"

#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using Application::K27::FileChooser;
using TestSupport::FileAnswers;

class TestFileChooser : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void besideDialogAnswersOnceChosen_data();
    void besideDialogAnswersOnceChosen();
    void queuedAnswersAnswerInOrder();
    void answersRunningOutFailLoudly();

private:
    // The offscreen platform cannot size a dialog's window and says so; nothing else may be
    // said.
    void dropSizeHintWarnings();
};

void TestFileChooser::dropSizeHintWarnings()
{
    QStringList messages = warnings().take();
    messages.removeAll(QStringLiteral("This plugin does not support propagateSizeHints()"));
    for (const QString &message : qAsConst(messages))
        qWarning("%s", qPrintable(message));
}

void TestFileChooser::besideDialogAnswersOnceChosen_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");

    QTest::newRow("name with its suffix") << "run.csv"
                                          << "run.csv";
    QTest::newRow("name without a suffix takes the default") << "run"
                                                             << "run.csv";
    QTest::newRow("cancelled") << QString() << QString();
}

void TestFileChooser::besideDialogAnswersOnceChosen()
{
    QFETCH(QString, typed);
    QFETCH(QString, chosen);

    QTemporaryDir folder;
    QWidget window;
    window.show();
    QStringList answers;
    FileChooser::chooseBeside(&window,
                              {FileChooser::Purpose::Save, QStringLiteral("Record"),
                               QDir(folder.path()).filePath(QStringLiteral("suggested.csv")),
                               QStringLiteral("CSV files (*.csv)")},
                              QStringLiteral("csv"),
                              [&answers](const QString &path) { answers.append(path); });
    // The window goes on while the dialog is open: no answer yet.
    auto *dialog = window.findChild<QFileDialog *>();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Record"));
    QVERIFY(answers.isEmpty());

    if (typed.isEmpty()) {
        dialog->reject();
        QCOMPARE(answers, QStringList());
    } else {
        dialog->selectFile(QDir(folder.path()).filePath(typed));
        static_cast<QDialog *>(dialog)->accept();
        QCOMPARE(answers, QStringList {QDir(folder.path()).filePath(chosen)});
    }
    dropSizeHintWarnings();
}

void TestFileChooser::queuedAnswersAnswerInOrder()
{
    QWidget window;
    QStringList beside;
    {
        FileAnswers answers;
        answers.choose(QStringLiteral("/a/first.json"));
        answers.cancel();
        answers.cancel();
        answers.choose(QStringLiteral("/a/record.csv"));
        QCOMPARE(FileChooser::choose(&window,
                                     {FileChooser::Purpose::Save, QStringLiteral("Export"),
                                      QStringLiteral("/a"), QStringLiteral("JSON (*.json)")}),
                 QStringLiteral("/a/first.json"));
        QCOMPARE(FileChooser::choose(&window,
                                     {FileChooser::Purpose::Open, QStringLiteral("Import"),
                                      QStringLiteral("/a/first.json"), QString()}),
                 QString());
        // Beside the window a cancel is no answer at all, a choice comes at once.
        const auto keep = [&beside](const QString &path) { beside.append(path); };
        FileChooser::chooseBeside(
            &window, {FileChooser::Purpose::Save, QStringLiteral("Record"), QString(), QString()},
            QStringLiteral("csv"), keep);
        FileChooser::chooseBeside(
            &window, {FileChooser::Purpose::Save, QStringLiteral("Record"), QString(), QString()},
            QStringLiteral("csv"), keep);
        QCOMPARE(beside, QStringList {QStringLiteral("/a/record.csv")});
        QCOMPARE(answers.pending(), 0);
        QCOMPARE(answers.askedTexts(),
                 QStringList({"Save|Export|/a|JSON (*.json)", "Open|Import|/a/first.json|",
                              "Save|Record||", "Save|Record||"}));
    }
    // Gone with the object: the dialogs are back.
    QVERIFY(!FileChooser::setAnswerer(nullptr));
    QVERIFY(window.findChildren<QFileDialog *>().isEmpty());
}

void TestFileChooser::answersRunningOutFailLoudly()
{
    QWidget window;
    {
        FileAnswers answers;
        answers.choose(QStringLiteral("/a/one.json"));
        QCOMPARE(
            FileChooser::choose(
                &window, {FileChooser::Purpose::Open, QStringLiteral("One"), QString(), QString()}),
            QStringLiteral("/a/one.json"));
        // No dialog opens in place of a missing answer: the request is cancelled, and said.
        QCOMPARE(
            FileChooser::choose(
                &window, {FileChooser::Purpose::Open, QStringLiteral("Two"), QString(), QString()}),
            QString());
        QCOMPARE(warnings().take(),
                 QStringList {QStringLiteral("File request \"Two\" with no answer left")});
        // An answer nobody took is said when the answers go.
        answers.choose(QStringLiteral("/a/three.json"));
    }
    QCOMPARE(warnings().take(), QStringList {QStringLiteral("1 file answer(s) nobody asked for")});
    QVERIFY(window.findChildren<QFileDialog *>().isEmpty());
}

QTEST_MAIN(TestFileChooser)
#include "tst_gui_filechooser.moc"
