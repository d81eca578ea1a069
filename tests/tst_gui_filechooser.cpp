// The file chooser the windows ask through: Qt's dialog beside a window answers later and only
// with a chosen file; an answerer in the dialogs' place answers every request, and a test's
// queued answers run out loudly instead of opening a dialog.

#include "application/windows/FileChooser.h"
#include "support/FileAnswers.h"
#include "support/TestRegistry.h"
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
    void savedNameTakesItsExtension_data();
    void savedNameTakesItsExtension();
    void suggestedPlaceThatIsGone_data();
    void suggestedPlaceThatIsGone();

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
                 QStringList({"Save|Export|/a|JSON (*.json)",
                              "Open|Import|" + QDir::home().filePath("first.json") + "|",
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

void TestFileChooser::savedNameTakesItsExtension_data()
{
    QTest::addColumn<int>("purpose");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("chosen");

    const int save = int(FileChooser::Purpose::Save);
    const int open = int(FileChooser::Purpose::Open);
    QTest::newRow("export without extension") << save << "/a/export1"
                                              << "json"
                                              << "/a/export1.json";
    QTest::newRow("export with its extension") << save << "/a/export1.json"
                                               << "json"
                                               << "/a/export1.json";
    QTest::newRow("log without extension") << save << "/a/service"
                                           << "txt"
                                           << "/a/service.txt";
    QTest::newRow("another extension stays") << save << "/a/service.log"
                                             << "txt"
                                             << "/a/service.log";
    QTest::newRow("a dot in the folder only") << save << "/a.b/export"
                                              << "json"
                                              << "/a.b/export.json";
    QTest::newRow("a hidden name is no extension") << save << "/a/.k27"
                                                   << "json"
                                                   << "/a/.k27.json";
    QTest::newRow("cancelled") << save << QString() << "json" << QString();
    QTest::newRow("no default") << save << "/a/export1" << QString() << "/a/export1";
    QTest::newRow("opened as chosen") << open << "/a/export1"
                                      << "json"
                                      << "/a/export1";
}

// A file to save whose name was chosen without an extension gets the default one: "export1"
// becomes "export1.json", which IMPORT's filter then shows.
void TestFileChooser::savedNameTakesItsExtension()
{
    QFETCH(int, purpose);
    QFETCH(QString, answer);
    QFETCH(QString, suffix);
    QFETCH(QString, chosen);

    QWidget window;
    FileAnswers answers;
    if (answer.isEmpty())
        answers.cancel();
    else
        answers.choose(answer);
    QCOMPARE(FileChooser::choose(
                 &window,
                 {FileChooser::Purpose(purpose), QStringLiteral("Export"), QString(), QString()},
                 suffix),
             chosen);

    // Beside the window the same.
    QStringList beside;
    if (answer.isEmpty())
        answers.cancel();
    else
        answers.choose(answer);
    FileChooser::chooseBeside(
        &window, {FileChooser::Purpose(purpose), QStringLiteral("Record"), QString(), QString()},
        suffix, [&beside](const QString &path) { beside.append(path); });
    QCOMPARE(beside, chosen.isEmpty() ? QStringList() : QStringList {chosen});
}

void TestFileChooser::suggestedPlaceThatIsGone_data()
{
    QTest::addColumn<QString>("suggested");
    QTest::addColumn<QString>("offered");

    // "@" stands for the test's existing folder, "~" for the home folder.
    QTest::newRow("nothing suggested") << QString() << QString();
    QTest::newRow("existing folder") << "@"
                                     << "@";
    QTest::newRow("file in an existing folder") << "@/record.csv"
                                                << "@/record.csv";
    QTest::newRow("file in a folder that is gone") << "@/Documents/record.csv"
                                                   << "~/record.csv";
    QTest::newRow("file two folders down that are gone") << "@/gone/too/settings.json"
                                                         << "~/settings.json";
}

// A suggested folder that does not exist (a standard folder never made, a remembered one
// removed since) would make the dialog fail or the write after it: the home folder stands in.
void TestFileChooser::suggestedPlaceThatIsGone()
{
    QFETCH(QString, suggested);
    QFETCH(QString, offered);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const auto place = [&folder](QString path) {
        if (path.startsWith(QLatin1Char('@')))
            path.replace(0, 1, folder.path());
        else if (path.startsWith(QLatin1Char('~')))
            path.replace(0, 1, QDir::homePath());
        return path;
    };
    QCOMPARE(FileChooser::existingPlace(place(suggested)), place(offered));

    // The dialog (here its stand-in) is offered that place, for opening and for saving alike.
    QWidget window;
    FileAnswers answers;
    answers.cancel();
    answers.cancel();
    FileChooser::choose(
        &window,
        {FileChooser::Purpose::Save, QStringLiteral("Record"), place(suggested), QString()});
    FileChooser::chooseBeside(
        &window, {FileChooser::Purpose::Open, QStringLiteral("Open"), place(suggested), QString()},
        QString(), [](const QString &) {});
    QCOMPARE(answers.asked().size(), 2);
    QCOMPARE(answers.asked().at(0).suggested, place(offered));
    QCOMPARE(answers.asked().at(1).suggested, place(offered));
}

K27_TEST_MAIN(TestFileChooser)
#include "tst_gui_filechooser.moc"
