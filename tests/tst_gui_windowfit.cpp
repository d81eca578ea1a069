// The main window on a field laptop's screen: it can be made as small as 1280x720 whatever
// page it shows, every widget of a page is reached by scrolling the page, a long drop-down list
// scrolls instead of filling the screen, and a page's result line tells a failure from a
// success.

#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/MainScreen.h"
#include "application/windows/ResultText.h"
#include "support/ConfigHome.h"
#include "support/FileAnswers.h"
#include "support/GermanTranslation.h"
#include "support/SubScreenHarness.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QtTest>
#include <memory>

using Application::K27::ResultText;
using TestSupport::SubScreenHarness;

namespace {

const QSize fieldLaptop(1280, 720);

// The widgets a person reads or uses on a page; a scroll area's own parts and the insides of
// composite widgets are left out.
bool isPagePart(const QWidget *widget)
{
    return qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QLabel *>(widget)
        || qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget)
        || (qobject_cast<const QAbstractScrollArea *>(widget)
            && !qobject_cast<const QComboBox *>(widget->parentWidget()));
}

void clickButton(QWidget *window, const QString &name)
{
    auto *button = window->findChild<QPushButton *>(name);
    QVERIFY2(button, qPrintable(name));
    QVERIFY2(button->isEnabled(), qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestWindowFit : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void everyPageFitsAFieldLaptop_data();
    void everyPageFitsAFieldLaptop();
    void longDropDownListScrolls();
    void resultLineTellsFailureFromSuccess();
};

void TestWindowFit::everyPageFitsAFieldLaptop_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("pageButton");
    QTest::addColumn<QString>("settingsButton");
    QTest::addColumn<bool>("german");

    const struct
    {
        const char *name;
        int level;
        const char *pageButton;
        const char *settingsButton;
    } pages[] {
        {"Information", UserLogin::Admin, "pushButtonInformations", ""},
        {"Configuration general", UserLogin::Admin, "pushButtonConfiguration", ""},
        {"Configuration undercurrent", UserLogin::Admin, "pushButtonConfiguration",
         "pushButtonUndercurrentSettings"},
        {"Configuration load asymmetry", UserLogin::Admin, "pushButtonConfiguration",
         "pushButtonAsymmetrySettings"},
        {"Data", UserLogin::Admin, "pushButtonData", ""},
        {"Control", UserLogin::Admin, "pushButtonControl", ""},
        {"About", UserLogin::Admin, "pushButtonAbout", ""},
        {"Service mode", UserLogin::Admin, "pushButtonServiceMode", ""},
        {"Demo", UserLogin::Demo, "pushButtonServiceMode", ""},
    };
    for (const bool german : {false, true}) {
        for (const auto &page : pages) {
            QTest::addRow("%s%s", page.name, german ? " (German)" : "")
                << page.level << QString::fromLatin1(page.pageButton)
                << QString::fromLatin1(page.settingsButton) << german;
        }
    }
}

void TestWindowFit::everyPageFitsAFieldLaptop()
{
    QFETCH(int, level);
    QFETCH(QString, pageButton);
    QFETCH(QString, settingsButton);
    QFETCH(bool, german);

    std::unique_ptr<TestSupport::GermanTranslation> translation;
    if (german) {
        translation = std::make_unique<TestSupport::GermanTranslation>();
        QVERIFY(translation->isInstalled());
    }
    TestSupport::ConfigHome home;
    QVERIFY(home.isValid());
    QTemporaryDir folder;
    DeviceSim::SimulatedPortList ports;
    DeviceSim::DeviceSimulatorOptions options;
    options.folder = folder.path();
    DeviceSim::DeviceSimulator device(options, &ports);
    QVERIFY2(device.start(), qPrintable(device.errorString()));
    const auto manager = QSharedPointer<Application::K27::SerialPortManager>::create(
        [&ports] { return ports.ports(); });
    manager->handleTimeout();
    const auto login = QSharedPointer<UserLogin>::create();
    login->setLevel(level);
    MainScreen mainScreen(manager, login, QSharedPointer<Application::K27::Config>::create());
    mainScreen.resize(fieldLaptop);
    mainScreen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainScreen));
    K27SubScreen *const window = mainScreen.deviceWindows().value(0);
    QVERIFY(window);

    clickButton(window, pageButton);
    if (!settingsButton.isEmpty())
        clickButton(window, settingsButton);
    QApplication::processEvents();

    // The window can be made that small with this page shown, and is.
    const QSize smallest = mainScreen.minimumSizeHint().expandedTo(mainScreen.minimumSize());
    QVERIFY2(smallest.width() <= fieldLaptop.width() && smallest.height() <= fieldLaptop.height(),
             qPrintable(QStringLiteral("%1x%2").arg(smallest.width()).arg(smallest.height())));
    mainScreen.resize(fieldLaptop);
    QApplication::processEvents();
    QCOMPARE(mainScreen.size(), fieldLaptop);

    // Every widget of the page is reached by scrolling the page, and then shown whole (or, if
    // it is larger than the page's view, from its top left corner).
    const auto *stack = window->findChild<QStackedWidget *>(QStringLiteral("stackedWidgetMain"));
    QVERIFY(stack);
    auto *area
        = stack->currentWidget()->findChild<QScrollArea *>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(area);
    QWidget *const content = area->widget();
    QVERIFY(content);
    const QWidget *const view = area->viewport();
    int checked = 0;
    const QList<QWidget *> widgets = content->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (!isPagePart(widget) || !widget->isVisibleTo(content) || widget->size().isEmpty())
            continue;
        // Scrolled by the widget's rectangle: ensureWidgetVisible would only bring a text
        // field's cursor into view.
        const QRect rect(widget->mapTo(content, QPoint(0, 0)), widget->size());
        // Its bottom right corner, then its top left, which wins for a widget taller than the
        // view.
        area->ensureVisible(rect.x() + rect.width(), rect.y() + rect.height(), 0, 0);
        area->ensureVisible(rect.x(), rect.y(), 0, 0);
        QApplication::processEvents();
        const QRect shown(widget->mapTo(view, QPoint(0, 0)), widget->size());
        const bool fits = widget->width() <= view->width() && widget->height() <= view->height();
        const bool reached
            = fits ? view->rect().contains(shown) : view->rect().contains(shown.topLeft());
        QVERIFY2(reached,
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 in a view of %6x%7")
                                .arg(widget->objectName())
                                .arg(shown.x())
                                .arg(shown.y())
                                .arg(shown.width())
                                .arg(shown.height())
                                .arg(view->width())
                                .arg(view->height())));
        ++checked;
    }
    QVERIFY(checked > 0);
}

void TestWindowFit::longDropDownListScrolls()
{
    // The offscreen platform cannot raise the list's popup nor give it the keyboard, and says
    // so; the list opens and takes keys all the same.
    warnings().ignore(QStringLiteral("This plugin does not support raise()"));
    warnings().ignore(QStringLiteral("This plugin does not support grabbing the keyboard"));
    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    K27SubScreen &window = harness.window();
    window.resize(fieldLaptop);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    clickButton(&window, QStringLiteral("pushButtonServiceMode"));

    // The command whose first argument is a value identifier, chosen with the mouse.
    auto *commands = harness.child<QListWidget>("listWidgetCommands");
    QVERIFY(commands);
    QTRY_VERIFY(commands->count() > 0);
    const QList<QListWidgetItem *> items
        = commands->findItems(QStringLiteral("ModelSetValue \u00b7 Platform"), Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    commands->scrollToItem(items.first());
    QTest::mouseClick(commands->viewport(), Qt::LeftButton, Qt::NoModifier,
                      commands->visualItemRect(items.first()).center());
    auto *identifiers = harness.child<QComboBox>("comboBoxArg1");
    QVERIFY(identifiers);
    QVERIFY(identifiers->isVisible());
    QVERIFY(identifiers->count() > 40);

    QTest::mouseClick(identifiers, Qt::LeftButton);
    QAbstractItemView *const list = identifiers->view();
    QTRY_VERIFY(list->isVisible());
    const auto rowsShown = [list] {
        int rows = 0;
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            if (list->visualRect(list->model()->index(row, 0)).intersects(list->viewport()->rect()))
                ++rows;
        }
        return rows;
    };
    QVERIFY(rowsShown() >= 5);
    QVERIFY2(rowsShown() <= 15, qPrintable(QString::number(rowsShown())));

    // The last identifier is reached by scrolling the list, and chosen with the keyboard.
    QTest::keyClick(list, Qt::Key_End);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!list->isVisible());
    QCOMPARE(identifiers->currentIndex(), identifiers->count() - 1);
}

void TestWindowFit::resultLineTellsFailureFromSuccess()
{
    SubScreenHarness harness(UserLogin::Supervisor);
    QVERIFY(harness.start());
    QVERIFY(harness.barrier());
    K27SubScreen &window = harness.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    clickButton(&window, QStringLiteral("pushButtonConfiguration"));
    auto *result = harness.child<QLabel>("labelSettingsFileResult");
    QVERIFY(result);

    // A folder that does not exist cannot take the file.
    const QString missing = QDir(harness.folder()).filePath(QStringLiteral("gone/settings.json"));
    const QString written = QDir(harness.folder()).filePath(QStringLiteral("settings.json"));
    {
        TestSupport::FileAnswers answers;
        answers.choose(missing);
        clickButton(&window, QStringLiteral("pushButtonExport"));
    }
    QVERIFY2(
        result->text().startsWith(
            QStringLiteral("Settings not exported to %1").arg(QDir::toNativeSeparators(missing))),
        qPrintable(result->text()));
    QVERIFY(ResultText::isError(result));
    QVERIFY(result->wordWrap());

    {
        TestSupport::FileAnswers answers;
        answers.choose(written);
        clickButton(&window, QStringLiteral("pushButtonExport"));
    }
    QCOMPARE(result->text(),
             QStringLiteral("Settings exported to %1").arg(QDir::toNativeSeparators(written)));
    QVERIFY(QFile::exists(written));
    QVERIFY(!ResultText::isError(result));

    // The line spans the page below its buttons, not a column beside them.
    const auto *exportButton = harness.child<QPushButton>("pushButtonExport");
    QVERIFY(result->mapTo(&window, QPoint(0, 0)).y()
            >= exportButton->mapTo(&window, QPoint(0, exportButton->height())).y());
}

K27_TEST_MAIN(TestWindowFit)
#include "tst_gui_windowfit.moc"
